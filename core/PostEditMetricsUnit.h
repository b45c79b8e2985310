// The three post-editing figures of a segment measured together, and their sums over documents,
// bands and language pairs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ChrfUnit.h"
#include "TerUnit.h"
#include "WordEditDistanceUnit.h"

namespace lexmora {

class TWordCounter;

// The statistics of one segment or the sums over many; every figure of a sum is worked out from
// its summed statistics, so a corpus figure is never a mean of segment figures.
struct TMetricSums {
  TTerStats Ter;
  TChrfStats Chrf;
  TWordEditStats WordEdit;

  TMetricSums& operator+=(const TMetricSums& AOther);

  // Edits per reference word in percent.
  double TerPercent() const { return lexmora::TerPercent(Ter); }
  // 0-100 with the default options.
  double ChrfScore() const { return lexmora::ChrfScore(Chrf); }
  // 100 - steps * 100 / words, weighted by words; 100 when there are no words.
  double WordEditDistance() const;
};

// Measures the three figures of segments, one segment at a time.
// Note: keeps the calculators' buffers between segments; one object per thread.
class TSegmentMetrics {
 public:
  // Shares the break iterators of AWords, which must outlive this object.
  explicit TSegmentMetrics(TWordCounter& AWords) : FWordEdit(AWords) {}

  // The statistics of ATranslated edited into AEdited, both with their tags left out; words are
  // split by the rules of ATargetLang.
  TMetricSums Measure(std::u32string_view ATranslated, std::u32string_view AEdited, const std::string& ATargetLang);

 private:
  TTerCalculator FTer;
  TChrfCounter FChrf;
  TWordEditDistance FWordEdit;
};

// A figure with one decimal and the user's decimal separator, as the reports show the others.
std::string MetricText(double AValue);

}  // namespace lexmora
