// Prints, one JSON line per segment pair, the two texts with their tags left out and their
// character n-gram statistics and score, for checking against another implementation.
// Usage: metrics_dump BEFORE [AFTER]: translated text of BEFORE against the edited text of AFTER
// paired by unit and segment id; with one file, its target text against its source text.
#include <iostream>
#include <string>
#include <unordered_map>

#include "ChrfUnit.h"
#include "JsonTextUnit.h"
#include "SegmentFileRecords.h"
#include "Utf8Unit.h"
#include "WordCountUnit.h"

using namespace lexmora;
using namespace lexmora::test_support;

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::cerr << "Usage: metrics_dump BEFORE [AFTER]\n";
    return 2;
  }
  const TArrayOfDiffInfoRecord Before = ReadSegmentRecords(argv[1]);
  const TArrayOfDiffInfoRecord After = argc == 3 ? ReadSegmentRecords(argv[2]) : TArrayOfDiffInfoRecord();
  std::unordered_map<std::string, const TDiffInfoRecord*> EditedByKey;
  for (const TDiffInfoRecord& Rec : After) EditedByKey[SegmentPairKey(Rec)] = &Rec;
  // Epsilon smoothing with beta 3 is the variant whose per-segment score other tools share.
  TChrfCounter Counter({3, false, true});
  for (const TDiffInfoRecord& Rec : Before) {
    std::u32string Hyp = TagFreeText(Rec.ResultStr), Ref;
    if (argc == 2) {
      Ref = TagFreeText(Rec.SourceString);
    } else if (const auto Found = EditedByKey.find(SegmentPairKey(Rec)); Found != EditedByKey.end()) {
      Ref = TagFreeText(Found->second->ResultStr);
    } else {
      continue;
    }
    const TChrfStats Stats = Counter.Measure(Hyp, Ref);
    std::string Counts;
    for (const TChrfStats::TOrder& Order : Stats.Orders) {
      if (!Counts.empty()) Counts += ',';
      Counts += std::to_string(Order.Hypothesis);
      Counts += ',';
      Counts += std::to_string(Order.Reference);
      Counts += ',';
      Counts += std::to_string(Order.Matches);
    }
    char Score[64];
    std::snprintf(Score, sizeof Score, "%.17g", ChrfScore(Stats, {3, false, true}));
    std::cout << "{\"hyp\":" << JsonString(U32ToUtf8(Hyp)) << ",\"ref\":" << JsonString(U32ToUtf8(Ref))
              << ",\"stats\":[" << Counts << "],\"score\":" << Score << "}\n";
  }
  return 0;
}
