// The post-editing analysis of one language pair: segments, words and characters by
// edit-distance band, and the totals of each document.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CostTermsUnit.h"
#include "EditBandUnit.h"
#include "PostEditMetricsUnit.h"
#include "WordCountUnit.h"

namespace lexmora {

// One band's sums (or the total row).
struct TBandTotals {
  std::int64_t Segments = 0;
  std::int64_t Words = 0;
  std::int64_t Characters = 0;
  // The same over the segments behind the total edit distance (no match value, not locked).
  std::int64_t NoMatchSegments = 0;
  std::int64_t NoMatchWords = 0;
  std::int64_t NoMatchCharacters = 0;
  TMetricSums Metrics;  // over every segment of the band

  void Add(const TBandTotals& AOther);
};

// One document's totals, worked out as the pair's totals but over that document alone.
struct TDocumentTotals {
  std::string Document;  // the document as the user named it
  std::int64_t Segments = 0;
  std::int64_t Edited = 0;      // translated and edited texts differ
  std::int64_t SumSteps = 0;    // over the segments behind the total edit distance
  std::int64_t SumLengths = 0;  // the same
  TMetricSums Metrics;          // over every segment of the document

  // "66.7%", or empty when no segment counts for it.
  std::string EditDistanceText() const { return TotalEditDistanceText(SumSteps, SumLengths); }
};

// What the report construction knows of one segment of the pair.
struct TSegmentFacts {
  std::string Document;
  TTextCount Source;            // words and characters of the source text, tags left out
  bool CountsForTotal = false;  // no match value and not locked
  bool Changed = false;         // translated and edited texts differ
  std::int64_t EditSteps = 0;   // steps of the difference (0 when unchanged)
  std::int64_t Length = 0;      // the longer of the translated and edited symbol texts
  TMetricSums Metrics;          // of the texts with their tags left out
};

// Sums of one language pair, fed one segment at a time in source order.
class TPairAnalysis {
 public:
  explicit TPairAnalysis(TEditBands ABands = TEditBands());
  // With cost terms. Throws std::invalid_argument when the terms have rates whose bounds are not
  // the bands'.
  TPairAnalysis(TEditBands ABands, TCostTerms ACost);

  void Add(const TSegmentFacts& ASegment);

  const TEditBands& Bands() const { return FBands; }
  // One entry per band, highest first.
  const std::vector<TBandTotals>& BandTotals() const { return FBandTotals; }
  // The sum of all bands.
  TBandTotals Total() const;
  // The share of the pair's words in band ABand, in percent (0 when the pair has no words).
  double WordShare(std::size_t ABand) const;
  // Documents in the order their first segment came.
  const std::vector<TDocumentTotals>& Documents() const { return FDocuments; }

  const TCostTerms& Cost() const { return FCost; }
  // Band ABand's words times its share of the full rate (0 without rates).
  double WeightedWords(std::size_t ABand) const;
  // The sum over the bands.
  double WeightedWordsTotal() const;

 private:
  TEditBands FBands;
  TCostTerms FCost;
  std::vector<TBandTotals> FBandTotals;
  std::vector<TDocumentTotals> FDocuments;
};

}  // namespace lexmora
