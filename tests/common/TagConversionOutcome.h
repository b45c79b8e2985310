// What a conversion of tag markup gives, as one text that compares: for the tests and the fuzzer
// that hold the direct reading of markup against the XML parser's.
#pragma once

#include <string>

#include "InternalTagParseUnit.h"
#include "Utf8Unit.h"

namespace lexmora::test_support {

using TTagConversion = std::u32string (*)(const std::string&, TTagDict&, TTagIDDict&);

// The symbol text and both dictionaries AConvert makes of AText, starting from ADict, or
// "refused" when it raises its markup error.
inline std::string TagConversionOutcome(TTagConversion AConvert, const std::string& AText, TTagDict ADict = {}) {
  TTagIDDict IDDict;
  std::string Out;
  try {
    Out = U32ToUtf8(AConvert(AText, ADict, IDDict));
  } catch (const TTagMarkupError&) {
    return "refused";
  }
  for (const TTagDictRec& R : ADict)
    Out += "|" + U32ToUtf8(R.Symbol) + std::to_string(static_cast<int>(R.TagType)) + R.TagContent;
  for (const TTagIDDictRec& R : IDDict) Out += "#" + std::to_string(R.TagPos) + "=" + R.TagID;
  return Out;
}

}  // namespace lexmora::test_support
