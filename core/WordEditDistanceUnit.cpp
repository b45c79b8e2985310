// Word edit distance: words become integers, equal words equal integers, for the difference engine.
#include "WordEditDistanceUnit.h"

#include <algorithm>
#include <stdexcept>

#include "Utf8Unit.h"
#include "WordCountUnit.h"

namespace lexmora {

TWordEditStats TWordEditDistance::MeasureUtf8(std::string_view ATranslated, std::string_view AEdited,
                                              const std::string& ALangCode) {
  AssignUtf8AsU32(FUtf8Translated, ATranslated);
  AssignUtf8AsU32(FUtf8Edited, AEdited);
  return Measure(FUtf8Translated, FUtf8Edited, ALangCode);
}

TWordEditStats TWordEditDistance::Measure(std::u32string_view ATranslated, std::u32string_view AEdited,
                                          const std::string& ALangCode) {
  if (ATranslated == AEdited) return TWordEditStats{0, FWords.Count(AEdited, ALangCode).Words};
  FWords.Words(ATranslated, ALangCode, FTranslated);
  FWords.Words(AEdited, ALangCode, FEdited);
  FIds.Clear();
  const auto ToIds = [&](const std::vector<std::u32string_view>& AWords, std::vector<int>& AIds) {
    AIds.clear();
    for (const std::u32string_view Word : AWords) AIds.push_back(FIds.IdOf(Word));
  };
  ToIds(FTranslated, FTranslatedIds);
  ToIds(FEdited, FEditedIds);
  TWordEditStats Result;
  Result.Length = static_cast<std::int64_t>(std::max(FTranslatedIds.size(), FEditedIds.size()));
  if (FTranslatedIds == FEditedIds) return Result;
  if (!FDiff.Execute(FTranslatedIds.data(), FEditedIds.data(), static_cast<int>(FTranslatedIds.size()),
                     static_cast<int>(FEditedIds.size())))
    throw std::runtime_error("The difference engine did not run");
  const TDiffStats Stats = FDiff.DiffStats();
  Result.Steps = Stats.adds + Stats.deletes + Stats.modifies;
  return Result;
}

}  // namespace lexmora
