// Python's white space and lower-casing through ICU, with ASCII kept off the slow path.
#include "MetricTextUnit.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace lexmora {

bool IsMetricSpace(char32_t AChar) {
  if (AChar < 0x80) return (AChar >= 0x09 && AChar <= 0x0D) || (AChar >= 0x1C && AChar <= 0x20);
  const auto Code = static_cast<UChar32>(AChar);
  if (u_charType(Code) == U_SPACE_SEPARATOR) return true;
  const UCharDirection Direction = u_charDirection(Code);
  return Direction == U_WHITE_SPACE_NEUTRAL || Direction == U_BLOCK_SEPARATOR || Direction == U_SEGMENT_SEPARATOR;
}

void LowerFull(std::u32string_view AText, std::u32string& AOut) {
  AOut.assign(AText.begin(), AText.end());
  bool Ascii = true;
  for (char32_t& C : AOut) {
    if (C >= 0x80) {
      Ascii = false;
      break;
    }
    if (C >= 'A' && C <= 'Z') C += 'a' - 'A';
  }
  if (Ascii) return;
  // Note: the whole text goes through ICU, since a sigma's form depends on its neighbours.
  icu::UnicodeString Text =
      icu::UnicodeString::fromUTF32(reinterpret_cast<const UChar32*>(AText.data()), static_cast<int32_t>(AText.size()));
  Text.toLower(icu::Locale::getRoot());
  AOut.resize(static_cast<std::size_t>(Text.countChar32()));
  UErrorCode Status = U_ZERO_ERROR;
  Text.toUTF32(reinterpret_cast<UChar32*>(AOut.data()), static_cast<int32_t>(AOut.size()), Status);
}

void SplitOnSpace(std::u32string_view AText, std::vector<std::u32string_view>& AWords) {
  AWords.clear();
  std::size_t Start = 0;
  bool InWord = false;
  for (std::size_t I = 0; I < AText.size(); ++I) {
    const bool Space = IsMetricSpace(AText[I]);
    if (Space && InWord) AWords.push_back(AText.substr(Start, I - Start));
    if (!Space && !InWord) Start = I;
    InWord = !Space;
  }
  if (InWord) AWords.push_back(AText.substr(Start));
}

std::int64_t CountSpaceSeparated(std::u32string_view AText) {
  std::int64_t Count = 0;
  bool InWord = false;
  for (const char32_t C : AText) {
    const bool Space = IsMetricSpace(C);
    if (!Space && !InWord) ++Count;
    InWord = !Space;
  }
  return Count;
}

void RemoveSpace(std::u32string_view AText, std::u32string& AOut) {
  AOut.clear();
  for (const char32_t C : AText)
    if (!IsMetricSpace(C)) AOut.push_back(C);
}

}  // namespace lexmora
