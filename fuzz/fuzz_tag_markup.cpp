// Any byte string as tag markup: the conversion either raises its markup error
// or gives a symbol text whose dictionaries agree with it, and for UTF-8 markup
// the XML parser's reading gives the very same; the diff of that text against a
// shortened copy must be a valid script.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Diff.h"
#include "InternalTagParseUnit.h"
#include "TagConversionOutcome.h"
#include "Utf8Unit.h"

using namespace lexmora;

using lexmora::test_support::TagConversionOutcome;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  const std::string Markup(reinterpret_cast<const char*>(AData), ASize);
  // Markup always comes from UTF-8 documents; for such markup the direct reading and the parser's agree.
  if (U32ToUtf8(Utf8ToU32(Markup)) == Markup &&
      TagConversionOutcome(&ConvertTagsToSymbols, Markup) != TagConversionOutcome(&ConvertTagsToSymbolsWithParser, Markup))
    std::abort();
  TTagDict Dict;
  TTagIDDict IDDict;
  std::u32string Symbols;
  try {
    Symbols = ConvertTagsToSymbols(Markup, Dict, IDDict);
  } catch (const TTagMarkupError&) {
    return 0;
  }
  if (Dict.size() > static_cast<std::size_t>(TagSymbolCount)) std::abort();
  for (const TTagIDDictRec& Rec : IDDict) {
    if (Rec.TagPos < 1 || static_cast<std::size_t>(Rec.TagPos) > Symbols.size()) std::abort();
    bool Known = false;
    for (const TTagDictRec& Entry : Dict) Known = Known || Entry.Symbol[0] == Symbols[static_cast<std::size_t>(Rec.TagPos - 1)];
    if (!Known) std::abort();
  }

  std::u32string Other = Symbols.substr(Symbols.size() / 3);
  if (!Other.empty()) Other[Other.size() / 2] = U'#';
  TDiff Diff;
  if (!Diff.Execute(Symbols, Other)) std::abort();
  std::size_t NextA = 0;
  std::size_t NextB = 0;
  for (const TCompareRec& R : Diff.CompareList()) {
    if (R.Kind != TChangeKind::ckAdd && (R.oldIndex1 != static_cast<int>(NextA++) || R.chr1 != Symbols[NextA - 1]))
      std::abort();
    if (R.Kind != TChangeKind::ckDelete && (R.oldIndex2 != static_cast<int>(NextB++) || R.chr2 != Other[NextB - 1]))
      std::abort();
  }
  if (NextA != Symbols.size() || NextB != Other.size()) std::abort();
  return 0;
}
