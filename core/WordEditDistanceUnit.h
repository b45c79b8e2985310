// Edit distance of a segment over words instead of characters, on the scale of the row's ED.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Diff.h"
#include "MetricTextUnit.h"

namespace lexmora {

class TWordCounter;

// One segment's or many segments' figures; a document's are the sums of its segments'.
struct TWordEditStats {
  std::int64_t Steps = 0;   // words added, deleted or replaced
  std::int64_t Length = 0;  // words of the longer of the two texts

  TWordEditStats& operator+=(const TWordEditStats& AOther) {
    Steps += AOther.Steps;
    Length += AOther.Length;
    return *this;
  }
  bool operator==(const TWordEditStats&) const = default;
};

// Measures how many words an editor changed: the two texts' words (as the word counts find them)
// compared by the difference engine the character ED uses, so SegmentEditDistance(Steps, Length)
// gives 100 for an unchanged text and TotalEditDistanceText the words-weighted figure of a sum.
// Note: words are compared as written, case and all; punctuation and blanks are no words.
// Note: keeps its buffers between segments; one object per thread.
class TWordEditDistance {
 public:
  // Shares the break iterators of AWords, which must outlive this object.
  explicit TWordEditDistance(TWordCounter& AWords) : FWords(AWords) {}

  // The figures of one segment in ALangCode: tags already left out of both texts.
  TWordEditStats Measure(std::u32string_view ATranslated, std::u32string_view AEdited, const std::string& ALangCode);
  // The same for two UTF-8 texts.
  TWordEditStats MeasureUtf8(std::string_view ATranslated, std::string_view AEdited, const std::string& ALangCode);

 private:
  TWordCounter& FWords;
  TDiff FDiff;
  std::u32string FUtf8Translated, FUtf8Edited;
  std::vector<std::u32string_view> FTranslated, FEdited;
  TWordIds FIds;
  std::vector<int> FTranslatedIds, FEditedIds;
};

}  // namespace lexmora
