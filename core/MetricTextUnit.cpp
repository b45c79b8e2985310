// Python's white space and lower-casing through ICU, with ASCII kept off the slow path.
#include "MetricTextUnit.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>

namespace lexmora {

bool IsMetricSpaceBeyondLatin1(char32_t AChar) {
  const auto Code = static_cast<UChar32>(AChar);
  if (u_charType(Code) == U_SPACE_SEPARATOR) return true;
  const UCharDirection Direction = u_charDirection(Code);
  return Direction == U_WHITE_SPACE_NEUTRAL || Direction == U_BLOCK_SEPARATOR || Direction == U_SEGMENT_SEPARATOR;
}

void TWordIds::Clear() {
  FWords.clear();
  std::fill(FSlots.begin(), FSlots.end(), -1);
}

int TWordIds::IdOf(std::u32string_view AWord) {
  std::uint64_t Hash = kHashStart;
  for (const char32_t C : AWord) Hash = HashStep(Hash, C);
  return IdOfHashed(AWord, Hash);
}

void TWordIds::AppendSpaceSeparated(std::u32string_view AText, std::vector<int>& AOut) {
  std::size_t Start = 0;
  std::uint64_t Hash = kHashStart;
  bool InWord = false;
  for (std::size_t I = 0; I < AText.size(); ++I) {
    const char32_t C = AText[I];
    if (IsMetricSpace(C)) {
      if (InWord) AOut.push_back(IdOfHashed(AText.substr(Start, I - Start), Hash));
      InWord = false;
    } else {
      if (!InWord) {
        Start = I;
        Hash = kHashStart;
        InWord = true;
      }
      Hash = HashStep(Hash, C);
    }
  }
  if (InWord) AOut.push_back(IdOfHashed(AText.substr(Start), Hash));
}

int TWordIds::IdOfHashed(std::u32string_view AWord, std::uint64_t AHash) {
  if (FWords.size() * 2 >= FSlots.size()) {
    // Grows before half full, so probes stay short and an empty slot always exists.
    FSlots.assign(std::max<std::size_t>(64, FSlots.size() * 2), -1);
    const std::vector<std::u32string_view> Words = std::move(FWords);
    FWords.clear();
    for (const std::u32string_view Word : Words) IdOf(Word);
  }
  const std::size_t Mask = FSlots.size() - 1;
  for (std::size_t Slot = static_cast<std::size_t>(AHash ^ (AHash >> 29)) & Mask;; Slot = (Slot + 1) & Mask) {
    int& Id = FSlots[Slot];
    if (Id < 0) {
      Id = static_cast<int>(FWords.size());
      FWords.push_back(AWord);
      return Id;
    }
    if (FWords[static_cast<std::size_t>(Id)] == AWord) return Id;
  }
}

void LowerFull(std::u32string_view AText, std::u32string& AOut) {
  // Latin-1 lower-cases one character at a time (no special or context-dependent mapping there),
  // by ICU's simple mapping read once.
  static const std::array<char32_t, 0x100> kLatin1Lower = [] {
    std::array<char32_t, 0x100> Table{};
    for (char32_t C = 0; C < Table.size(); ++C) Table[C] = static_cast<char32_t>(u_tolower(static_cast<UChar32>(C)));
    return Table;
  }();
  AOut.resize(AText.size());
  for (std::size_t I = 0; I < AText.size(); ++I) {
    if (AText[I] >= kLatin1Lower.size()) {
      // Note: the whole text goes through ICU, since a sigma's form depends on its neighbours.
      icu::UnicodeString Text = icu::UnicodeString::fromUTF32(reinterpret_cast<const UChar32*>(AText.data()),
                                                              static_cast<int32_t>(AText.size()));
      Text.toLower(icu::Locale::getRoot());
      AOut.resize(static_cast<std::size_t>(Text.countChar32()));
      UErrorCode Status = U_ZERO_ERROR;
      Text.toUTF32(reinterpret_cast<UChar32*>(AOut.data()), static_cast<int32_t>(AOut.size()), Status);
      return;
    }
    AOut[I] = kLatin1Lower[AText[I]];
  }
}

std::int64_t CountSpaceSeparated(std::u32string_view AText) {
  std::int64_t Count = 0;
  bool PrevSpace = true;
  for (const char32_t C : AText) {
    const bool Space = IsMetricSpace(C);
    Count += PrevSpace && !Space;
    PrevSpace = Space;
  }
  return Count;
}

}  // namespace lexmora
