// Post-editing figures measured together and summed.
#include "PostEditMetricsUnit.h"

#include "EditBandUnit.h"
#include "LocalizationUnit.h"

namespace lexmora {

TMetricSums& TMetricSums::operator+=(const TMetricSums& AOther) {
  Ter += AOther.Ter;
  Chrf += AOther.Chrf;
  WordEdit += AOther.WordEdit;
  return *this;
}

double TMetricSums::WordEditDistance() const {
  return WordEdit.Length == 0 ? 100.0 : SegmentEditDistance(WordEdit.Steps, WordEdit.Length);
}

TMetricSums TSegmentMetrics::Measure(std::u32string_view ATranslated, std::u32string_view AEdited,
                                     const std::string& ATargetLang) {
  TMetricSums Result;
  Result.Ter = FTer.Measure(ATranslated, AEdited);
  Result.Chrf = FChrf.Measure(ATranslated, AEdited);
  Result.WordEdit = FWordEdit.Measure(ATranslated, AEdited, ATargetLang);
  return Result;
}

std::string MetricText(double AValue) { return FloatToRoundedStr(1, AValue); }

}  // namespace lexmora
