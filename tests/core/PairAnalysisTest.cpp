#include <gtest/gtest.h>

#include "PairAnalysisUnit.h"

using namespace lexmora;

namespace {

TSegmentFacts Facts(const std::string& ADoc, std::int64_t AWords, std::int64_t AChars, bool ACounts,
                    std::int64_t ASteps, std::int64_t ALength) {
  TSegmentFacts F;
  F.Document = ADoc;
  F.Source = {AWords, AChars};
  F.CountsForTotal = ACounts;
  F.EditSteps = ASteps;
  F.Length = ALength;
  F.Changed = ASteps != 0;
  return F;
}

}  // namespace

TEST(PairAnalysis, BandSumsAndNoMatchColumns) {
  TPairAnalysis A;
  A.Add(Facts("a", 3, 17, true, 0, 12));     // 100
  A.Add(Facts("a", 2, 10, false, 0, 0));     // both empty: 100, has a match value
  A.Add(Facts("a", 5, 30, true, 1, 20));     // 95
  A.Add(Facts("b", 4, 22, false, 11, 200));  // 94.5 shown as 94
  A.Add(Facts("b", 1, 4, true, 6, 5));       // -20
  const auto& Bands = A.BandTotals();
  ASSERT_EQ(Bands.size(), 6u);
  EXPECT_EQ(Bands[0].Segments, 2);
  EXPECT_EQ(Bands[0].Words, 5);
  EXPECT_EQ(Bands[0].Characters, 27);
  EXPECT_EQ(Bands[0].NoMatchSegments, 1);
  EXPECT_EQ(Bands[0].NoMatchWords, 3);
  EXPECT_EQ(Bands[0].NoMatchCharacters, 17);
  EXPECT_EQ(Bands[1].Segments, 1);
  EXPECT_EQ(Bands[2].Segments, 1);
  EXPECT_EQ(Bands[2].NoMatchSegments, 0);
  EXPECT_EQ(Bands[3].Segments + Bands[4].Segments, 0);
  EXPECT_EQ(Bands[5].Segments, 1);
  EXPECT_EQ(Bands[5].NoMatchWords, 1);

  const TBandTotals Total = A.Total();
  EXPECT_EQ(Total.Segments, 5);
  EXPECT_EQ(Total.Words, 15);
  EXPECT_EQ(Total.Characters, 83);
  EXPECT_EQ(Total.NoMatchSegments, 3);
  EXPECT_EQ(Total.NoMatchWords, 9);
  EXPECT_EQ(Total.NoMatchCharacters, 51);
  EXPECT_DOUBLE_EQ(A.WordShare(0), 5 * 100.0 / 15);
  EXPECT_DOUBLE_EQ(A.WordShare(3), 0);
}

TEST(PairAnalysis, NoWordsMeansNoShare) {
  TPairAnalysis A;
  A.Add(Facts("a", 0, 0, true, 0, 3));
  for (std::size_t I = 0; I < A.Bands().Count(); ++I) EXPECT_EQ(A.WordShare(I), 0);
}

TEST(PairAnalysis, CustomBandsTakeEverythingBelow) {
  TEditBands Bands;
  ASSERT_TRUE(Bands.ParseBounds("100,95,85,75,50"));
  TPairAnalysis A(Bands);
  A.Add(Facts("a", 1, 1, true, 1, 1));  // 0
  A.Add(Facts("a", 1, 1, true, 6, 5));  // -20
  A.Add(Facts("a", 1, 1, true, 1, 2));  // 50
  ASSERT_EQ(A.BandTotals().size(), 5u);
  EXPECT_EQ(A.BandTotals()[4].Segments, 3);
}

TEST(PairAnalysis, DocumentsAddUpToThePair) {
  // Property: over interleaved documents, the documents' sums are the pair's sums, and the
  // documents keep the order of their first segment.
  TPairAnalysis A;
  const char* Docs[] = {"b.sdlxliff", "a.sdlxliff", "pkg.sdlppx > de-DE/c.sdlxliff"};
  std::int64_t Segments = 0, Edited = 0, Steps = 0, Lengths = 0;
  for (int I = 0; I < 300; ++I) {
    const std::string Doc = Docs[(I / 7 + I % 3) % 3];
    const std::int64_t Length = I % 11, Step = (I % 4 == 0) ? 0 : (I % 13) % (Length + 2);
    const bool Counts = I % 5 != 0;
    A.Add(Facts(Doc, I % 6, I % 17, Counts, Step, Length));
    ++Segments;
    if (Step != 0) ++Edited;
    if (Counts) {
      Steps += Step;
      Lengths += Length;
    }
  }
  ASSERT_EQ(A.Documents().size(), 3u);
  EXPECT_EQ(A.Documents()[0].Document, "b.sdlxliff");
  EXPECT_EQ(A.Documents()[1].Document, "a.sdlxliff");
  EXPECT_EQ(A.Documents()[2].Document, "pkg.sdlppx > de-DE/c.sdlxliff");
  TDocumentTotals Sum;
  for (const TDocumentTotals& D : A.Documents()) {
    EXPECT_GT(D.Segments, 0);
    Sum.Segments += D.Segments;
    Sum.Edited += D.Edited;
    Sum.SumSteps += D.SumSteps;
    Sum.SumLengths += D.SumLengths;
  }
  EXPECT_EQ(Sum.Segments, Segments);
  EXPECT_EQ(Sum.Segments, A.Total().Segments);
  EXPECT_EQ(Sum.Edited, Edited);
  EXPECT_EQ(Sum.SumSteps, Steps);
  EXPECT_EQ(Sum.SumLengths, Lengths);
  EXPECT_EQ(Sum.EditDistanceText(), TotalEditDistanceText(Steps, Lengths));
  double Shares = 0;
  for (std::size_t I = 0; I < A.Bands().Count(); ++I) Shares += A.WordShare(I);
  EXPECT_NEAR(Shares, 100.0, 1e-9);
}

TEST(PairAnalysis, DocumentWithoutCountingSegmentsHasNoEditDistance) {
  TPairAnalysis A;
  A.Add(Facts("locked.sdlxliff", 2, 9, false, 3, 9));
  ASSERT_EQ(A.Documents().size(), 1u);
  EXPECT_EQ(A.Documents()[0].Edited, 1);
  EXPECT_EQ(A.Documents()[0].EditDistanceText(), "");
}

TEST(PairAnalysis, MetricsAreSummedStatisticsOfBandsAndDocuments) {
  TPairAnalysis A;
  TSegmentFacts F = Facts("a", 3, 17, true, 0, 12);  // band 100
  F.Metrics.Ter = {0, 4};
  F.Metrics.WordEdit = {0, 4};
  F.Metrics.Chrf.Orders[0] = {10, 10, 10};
  A.Add(F);
  F = Facts("b", 2, 9, true, 6, 10);  // band 0-49
  F.Metrics.Ter = {3, 2};
  F.Metrics.WordEdit = {2, 3};
  F.Metrics.Chrf.Orders[0] = {5, 6, 1};
  A.Add(F);
  // A corpus figure, not the mean of 0 % and 150 %.
  EXPECT_DOUBLE_EQ(A.Total().Metrics.TerPercent(), 50.0);
  EXPECT_DOUBLE_EQ(A.Total().Metrics.WordEditDistance(), 100.0 - 200.0 / 7);
  EXPECT_EQ(A.Total().Metrics.Chrf.Orders[0].Matches, 11);
  EXPECT_DOUBLE_EQ(A.BandTotals()[5].Metrics.TerPercent(), 150.0);
  EXPECT_EQ(A.Documents()[0].Metrics.Ter, (TTerStats{0, 4}));
  EXPECT_EQ(A.Documents()[1].Metrics.WordEdit, (TWordEditStats{2, 3}));
  // Nothing measured: no edits, an unchanged word ED.
  EXPECT_DOUBLE_EQ(TMetricSums().TerPercent(), 0.0);
  EXPECT_DOUBLE_EQ(TMetricSums().WordEditDistance(), 100.0);
}

TEST(PairAnalysis, WeightedWordsFollowTheRatesOfTheBands) {
  TCostTerms Cost;
  ASSERT_TRUE(ParseBandRates("100:10,50:60,0:100", Cost.Rates));
  TEditBands Bands;
  ASSERT_TRUE(Bands.SetBounds({100, 50, 0}));
  TPairAnalysis A(Bands, Cost);
  A.Add(Facts("a", 10, 50, true, 0, 10));  // 100
  A.Add(Facts("a", 4, 20, true, 3, 10));   // 70
  A.Add(Facts("a", 5, 20, true, 9, 10));   // 10
  EXPECT_DOUBLE_EQ(A.WeightedWords(0), 1.0);
  EXPECT_DOUBLE_EQ(A.WeightedWords(1), 2.4);
  EXPECT_DOUBLE_EQ(A.WeightedWordsTotal(), 8.4);
  // Without rates nothing is weighted.
  EXPECT_DOUBLE_EQ(TPairAnalysis(Bands).WeightedWordsTotal(), 0.0);
  // Rates must name the bands they weigh.
  EXPECT_THROW(TPairAnalysis(TEditBands(), Cost), std::invalid_argument);
}
