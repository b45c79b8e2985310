// Any byte string as cell texts of the XLSX writer: the shared-string part must stay a document
// that spreadsheet programs load (well-formed, no character XML forbids, no cell longer than the
// limit), and the element texts, decoded, must be the written characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <pugixml.hpp>
#include <string>

#include "ExcelItemTextUnit.h"
#include "ExportToExcelUnit.h"
#include "Utf8Unit.h"

using namespace lexmora;

namespace {

bool IsForbidden(char32_t C) { return (C < 0x20 && C != 0x09 && C != 0x0A && C != 0x0D) || C == 0xFFFE || C == 0xFFFF; }

// The element text as a reader decodes it: "_xHHHH_" is one character. Counted in UTF-16 units.
std::size_t DecodedLength(const std::u32string& AText) {
  auto IsHex = [](char32_t C) { return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F'); };
  std::size_t Length = 0;
  for (std::size_t I = 0; I < AText.size(); ++I) {
    if (AText[I] == U'_' && I + 6 < AText.size() && AText[I + 1] == U'x' && IsHex(AText[I + 2]) &&
        IsHex(AText[I + 3]) && IsHex(AText[I + 4]) && IsHex(AText[I + 5]) && AText[I + 6] == U'_') {
      I += 6;
      ++Length;
    } else {
      Length += AText[I] > 0xFFFF ? 2 : 1;
    }
  }
  return Length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  if (ASize < 1) return 0;
  // First byte: the cut length for the direct check; the rest: characters with change flags.
  const std::size_t Limit = 1 + AData[0] % 40;
  const std::u32string Text = Utf8ToU32(std::string(reinterpret_cast<const char*>(AData + 1), ASize - 1));
  TDiffFileConstructorSettings Settings;
  Settings.ResultFileName = "/nonexistent/Result_";
  TExcelFileCreator Writer(Settings);
  std::string Tr, Ed;
  bool Last = true;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    const bool Kept = (Text[I] & 1) == 0;
    Writer.AddStrToStr(true, Tr, Text.substr(I, 1), static_cast<std::int32_t>(I + 1), Kept, Last, {}, {},
                       TShowTagsFlag::stfShowTagsOnly);
    Writer.AddStrToStr(false, Ed, (I % 3 == 0) ? std::u32string() : Text.substr(I, 1), static_cast<std::int32_t>(I + 1),
                       Kept, Last, {}, {}, TShowTagsFlag::stfShowTagsOnly);
    Last = Kept;
  }
  Writer.FinishStr(Tr, Last, {}, TShowTagsFlag::stfShowTagsOnly);
  Writer.FinishStr(Ed, Last, {}, TShowTagsFlag::stfShowTagsOnly);
  const std::string Plain = U32ToUtf8(Text);
  Writer.AddJoinRow(Plain);
  Writer.AddRow(false, false, "1", Tr, Plain, Tr, Ed, "");

  const std::string Part = Writer.BuildSharedStrings();
  pugi::xml_document Doc;
  if (!Doc.load_buffer(Part.data(), Part.size())) std::abort();
  for (const char32_t C : Utf8ToU32(Part))
    if (IsForbidden(C)) std::abort();

  // The cut, on a short limit so that fuzzing reaches it.
  const std::string Cut = PrepareItemText(Tr, Limit);
  const std::string Wrapped = "<si>" + Cut + "</si>";
  pugi::xml_document CutDoc;
  if (!CutDoc.load_buffer(Wrapped.data(), Wrapped.size())) std::abort();
  std::size_t Length = 0;
  for (const auto Node : CutDoc.select_nodes("//t")) Length += DecodedLength(Utf8ToU32(Node.node().text().get()));
  if (Length > Limit) std::abort();
  return 0;
}
