// Band and document sums of one language pair.
#include "PairAnalysisUnit.h"

#include <algorithm>
#include <stdexcept>

namespace lexmora {

void TBandTotals::Add(const TBandTotals& AOther) {
  Segments += AOther.Segments;
  Words += AOther.Words;
  Characters += AOther.Characters;
  NoMatchSegments += AOther.NoMatchSegments;
  NoMatchWords += AOther.NoMatchWords;
  NoMatchCharacters += AOther.NoMatchCharacters;
  Metrics += AOther.Metrics;
}

TPairAnalysis::TPairAnalysis(TEditBands ABands) : FBands(std::move(ABands)), FBandTotals(FBands.Count()) {}

TPairAnalysis::TPairAnalysis(TEditBands ABands, TCostTerms ACost)
    : FBands(std::move(ABands)), FCost(std::move(ACost)), FBandTotals(FBands.Count()) {
  if (FCost.HasRates() && FCost.Bounds() != FBands.Bounds())
    throw std::invalid_argument("The rates' band bounds are not those of the edit-distance bands");
}

void TPairAnalysis::Add(const TSegmentFacts& ASegment) {
  TBandTotals& Band = FBandTotals[FBands.BandOf(RoundedEditDistance(ASegment.EditSteps, ASegment.Length))];
  ++Band.Segments;
  Band.Words += ASegment.Source.Words;
  Band.Characters += ASegment.Source.Characters;
  Band.Metrics += ASegment.Metrics;
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
    FDocuments.emplace_back().Document = ASegment.Document;
    Doc = FDocuments.rbegin();
  }
  ++Doc->Segments;
  Doc->Metrics += ASegment.Metrics;
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

double TPairAnalysis::WeightedWords(std::size_t ABand) const {
  if (!FCost.HasRates()) return 0;
  return static_cast<double>(FBandTotals[ABand].Words) * FCost.Rates[ABand].Percent / 100.0;
}

double TPairAnalysis::WeightedWordsTotal() const {
  double Sum = 0;
  for (std::size_t I = 0; I < FBandTotals.size(); ++I) Sum += WeightedWords(I);
  return Sum;
}

}  // namespace lexmora
