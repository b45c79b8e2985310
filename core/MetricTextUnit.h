// Lower-casing and white space as the published post-editing metrics define them (the rules of
// Python's str.lower and str.split), so that our figures equal theirs on any text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexmora {

// Whether AChar, beyond U+00FF, is of category Zs or of the bidirectional classes WS, B or S.
bool IsMetricSpaceBeyondLatin1(char32_t AChar);

// Whether AChar separates words for the metrics: the characters of category Zs and of the
// bidirectional classes WS, B and S (tab, line ends, U+001C-U+001F, U+0085 among them).
// Note: U+200B and U+FEFF are no white space here, U+001C is.
inline bool IsMetricSpace(char32_t AChar) {
  // Below U+0100: 0x09-0x0D, 0x1C-0x20, 0x85 and 0xA0.
  static constexpr std::array<bool, 0x100> kLatin1 = [] {
    std::array<bool, 0x100> Table{};
    for (char32_t C : {0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, 0x85, 0xA0}) Table[C] = true;
    return Table;
  }();
  return AChar < kLatin1.size() ? kLatin1[AChar] : IsMetricSpaceBeyondLatin1(AChar);
}

// Dense ids of words (0, 1, 2... in order of first sight), equal words equal ids.
// Note: keeps views of the words it was given; they must live until Clear.
class TWordIds {
 public:
  void Clear();
  int IdOf(std::u32string_view AWord);
  // Appends to AOut the ids of the pieces of AText between runs of white space (none for a blank
  // text), each a view into AText.
  void AppendSpaceSeparated(std::u32string_view AText, std::vector<int>& AOut);

 private:
  static constexpr std::uint64_t kHashStart = 14695981039346656037ULL;
  static std::uint64_t HashStep(std::uint64_t AHash, char32_t AChar) { return (AHash ^ AChar) * 1099511628211ULL; }
  int IdOfHashed(std::u32string_view AWord, std::uint64_t AHash);

  std::vector<std::u32string_view> FWords;  // by id
  std::vector<int> FSlots;                  // open addressing over ids, -1 empty
};

// AText in lower case by the full Unicode mapping of the root locale ("İ" becomes "i̇", a final
// capital sigma "ς"), written into AOut.
void LowerFull(std::u32string_view AText, std::u32string& AOut);

// The number of pieces between runs of white space in AText.
std::int64_t CountSpaceSeparated(std::u32string_view AText);

}  // namespace lexmora
