// Translation edit rate of a segment: the word edits, block shifts counted as one edit each, that
// turn the translated text into the edited one, over the edited text's words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "MetricTextUnit.h"

namespace lexmora {

// One segment's or many segments' figures; a document's are the sums of its segments'.
struct TTerStats {
  std::int64_t Edits = 0;           // insertions, deletions, substitutions and shifts
  std::int64_t ReferenceWords = 0;  // words of the edited text

  TTerStats& operator+=(const TTerStats& AOther) {
    Edits += AOther.Edits;
    ReferenceWords += AOther.ReferenceWords;
    return *this;
  }
  bool operator==(const TTerStats&) const = default;
};

// The rate in percent: edits per reference word. Without reference words, 100 when there are
// edits and 0 when there are none.
double TerPercent(const TTerStats& AStats);

// Computes the edit rate the way the common evaluation tools do by default: case-insensitive,
// words split at white space only (punctuation stays part of its word), a shift search that takes
// the best block move while one lowers the edit distance, over blocks of up to 10 words moved at
// most 50 positions, giving up after 1000 tried moves per segment, and the edit distance itself
// kept to a beam of 25 cells around the diagonal.
// Note: keeps its buffers between segments; one object per thread.
class TTerCalculator {
 public:
  // The figures of one segment: ATranslated is the hypothesis, AEdited the reference; both are
  // code-point texts with their tags left out.
  TTerStats Measure(std::u32string_view ATranslated, std::u32string_view AEdited);
  // The same for two UTF-8 texts.
  TTerStats MeasureUtf8(std::string_view ATranslated, std::string_view AEdited);
  // The same over word ids (0 or above, equal words equal ids), for callers that tokenise themselves.
  TTerStats MeasureWords(const std::vector<int>& AHypothesis, const std::vector<int>& AReference);

 private:
  // One row of the distance matrix: the cells from Lo to Hi - 1, the rest taken as unreachable.
  struct TRow {
    int Lo = 0;
    int Hi = 0;
    std::size_t Offset = 0;  // of the row's first cell in FCosts and FOps
  };
  void PlanRows(int AHypLength, int ARefLength);
  // The distance of FHyp to FRef, filling every row with its operations (for the alignment).
  int FullDistance();
  // The distance of AWords, whose first AKeptRows - 1 words equal FHyp's, reusing FHyp's rows.
  int DistanceFrom(const std::vector<int>& AWords, int AKeptRows);
  void Align();
  // The distance no reordering of FHyp can go below: the larger of its surplus and missing words.
  int BagDistance();
  // The unbounded word edit distance of FHyp to FRef (at most 64 words), without operations.
  int PlainDistance();
  // The gain of the best shift of FHyp (FShifted holds it), or 0 when none is worth trying.
  int BestShift(int& ACheckedCandidates);
  void PerformShift(int AStart, int ALength, int ATarget, std::vector<int>& AOut) const;

  std::vector<int> FHyp, FRef;
  std::vector<TRow> FRows;
  std::vector<int> FCosts;
  std::vector<char> FOps;
  std::vector<int> FRollA, FRollB;
  std::vector<int> FAlign, FHypErrSum, FRefErrSum;
  std::vector<int> FShifted, FCandidate;
  std::vector<char> FTrace;
  std::vector<int> FBag;
  int FBagDistance = 0;
  bool FWholeRows = false;  // the beam covers every row completely
  std::vector<std::uint64_t> FPeq;
  // Tokenising buffers.
  std::u32string FUtf8Hyp, FUtf8Ref, FLowerHyp, FLowerRef;
  TWordIds FIds;
  std::vector<int> FHypIds, FRefIds;
};

}  // namespace lexmora
