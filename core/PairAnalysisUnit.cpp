// Band and document sums of one language pair.
#include "PairAnalysisUnit.h"

#include <algorithm>

namespace lexmora {

void TBandTotals::Add(const TBandTotals& AOther) {
  Segments += AOther.Segments;
  Words += AOther.Words;
  Characters += AOther.Characters;
  NoMatchSegments += AOther.NoMatchSegments;
  NoMatchWords += AOther.NoMatchWords;
  NoMatchCharacters += AOther.NoMatchCharacters;
}

TPairAnalysis::TPairAnalysis(TEditBands ABands) : FBands(std::move(ABands)), FBandTotals(FBands.Count()) {}

void TPairAnalysis::Add(const TSegmentFacts& ASegment) {
  TBandTotals& Band = FBandTotals[FBands.BandOf(RoundedEditDistance(ASegment.EditSteps, ASegment.Length))];
  ++Band.Segments;
  Band.Words += ASegment.Source.Words;
  Band.Characters += ASegment.Source.Characters;
  if (ASegment.CountsForTotal) {
    ++Band.NoMatchSegments;
    Band.NoMatchWords += ASegment.Source.Words;
    Band.NoMatchCharacters += ASegment.Source.Characters;
  }

  // A document's segments mostly come together, so the last one is the likely match.
  auto Doc = FDocuments.rbegin();
  if (Doc == FDocuments.rend() || Doc->Document != ASegment.Document)
    Doc = std::find_if(FDocuments.rbegin(), FDocuments.rend(),
                       [&](const TDocumentTotals& D) { return D.Document == ASegment.Document; });
  if (Doc == FDocuments.rend()) {
    FDocuments.push_back({ASegment.Document});
    Doc = FDocuments.rbegin();
  }
  ++Doc->Segments;
  if (ASegment.Changed) ++Doc->Edited;
  if (ASegment.CountsForTotal) {
    Doc->SumSteps += ASegment.EditSteps;
    Doc->SumLengths += ASegment.Length;
  }
}

TBandTotals TPairAnalysis::Total() const {
  TBandTotals Sum;
  for (const TBandTotals& Band : FBandTotals) Sum.Add(Band);
  return Sum;
}

double TPairAnalysis::WordShare(std::size_t ABand) const {
  const std::int64_t All = Total().Words;
  if (All == 0) return 0;
  return static_cast<double>(FBandTotals[ABand].Words) * 100.0 / static_cast<double>(All);
}

}  // namespace lexmora
