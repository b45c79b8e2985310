// Speed of the post-editing metrics on the segment texts of a generated pair, one figure per metric
// and one for all three, to set against the whole comparison's run time on the same pair.
// Usage: metrics_bench BEFORE.sdlxliff AFTER.sdlxliff [benchmark flags]
// (the pair from bench/make_sdlxliff_pair.py).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "ChrfUnit.h"
#include "SegmentFileRecords.h"
#include "TerUnit.h"
#include "WordCountUnit.h"
#include "WordEditDistanceUnit.h"

using namespace lexmora;
using namespace lexmora::test_support;

namespace {

struct TSegmentPair {
  std::u32string Translated, Edited;
  std::string Lang;
};

std::vector<TSegmentPair> gPairs;

// The translated and edited texts with their tags left out, paired by unit and segment id.
std::vector<TSegmentPair> LoadPairs(const std::string& ABefore, const std::string& AAfter) {
  const TArrayOfDiffInfoRecord Before = ReadSegmentRecords(ABefore), After = ReadSegmentRecords(AAfter);
  std::unordered_map<std::string, std::size_t> EditedByKey;
  for (std::size_t I = 0; I < After.size(); ++I) EditedByKey[SegmentPairKey(After[I])] = I;
  std::vector<TSegmentPair> Pairs;
  for (const TDiffInfoRecord& Rec : Before) {
    const auto Found = EditedByKey.find(SegmentPairKey(Rec));
    const std::string Edited = Found == EditedByKey.end() ? std::string() : After[Found->second].ResultStr;
    Pairs.push_back({TagFreeText(Rec.ResultStr), TagFreeText(Edited), Rec.TargetLang});
  }
  return Pairs;
}

// Runs AMeasure over every segment pair per iteration; AMeasure sums into its own statistics.
template <class TMeasure>
void OverAllPairs(benchmark::State& AState, TMeasure&& AMeasure) {
  for (auto _ : AState)
    for (const TSegmentPair& P : gPairs) AMeasure(P);
  AState.SetItemsProcessed(static_cast<std::int64_t>(AState.iterations()) * static_cast<std::int64_t>(gPairs.size()));
}

void BM_Ter(benchmark::State& AState) {
  TTerCalculator Ter;
  TTerStats Sum;
  OverAllPairs(AState, [&](const TSegmentPair& P) { Sum += Ter.Measure(P.Translated, P.Edited); });
  benchmark::DoNotOptimize(Sum);
}

void BM_Chrf(benchmark::State& AState) {
  TChrfCounter Chrf;
  TChrfStats Sum;
  OverAllPairs(AState, [&](const TSegmentPair& P) { Sum += Chrf.Measure(P.Translated, P.Edited); });
  benchmark::DoNotOptimize(Sum);
}

void BM_WordEditDistance(benchmark::State& AState) {
  TWordCounter Counter;
  TWordEditDistance Words(Counter);
  TWordEditStats Sum;
  OverAllPairs(AState, [&](const TSegmentPair& P) { Sum += Words.Measure(P.Translated, P.Edited, P.Lang); });
  benchmark::DoNotOptimize(Sum);
}

// All three per segment, as a comparison run computes them.
void BM_AllThree(benchmark::State& AState) {
  TTerCalculator Ter;
  TChrfCounter Chrf;
  TWordCounter Counter;
  TWordEditDistance Words(Counter);
  TTerStats TerSum;
  TChrfStats ChrfSum;
  TWordEditStats WordSum;
  OverAllPairs(AState, [&](const TSegmentPair& P) {
    TerSum += Ter.Measure(P.Translated, P.Edited);
    ChrfSum += Chrf.Measure(P.Translated, P.Edited);
    WordSum += Words.Measure(P.Translated, P.Edited, P.Lang);
  });
  benchmark::DoNotOptimize(TerSum);
  benchmark::DoNotOptimize(ChrfSum);
  benchmark::DoNotOptimize(WordSum);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "Usage: %s BEFORE.sdlxliff AFTER.sdlxliff [benchmark flags]\n", argv[0]);
    return 2;
  }
  gPairs = LoadPairs(argv[1], argv[2]);
  std::fprintf(stderr, "%zu segment pairs\n", gPairs.size());
  benchmark::RegisterBenchmark("BM_Ter", BM_Ter)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_Chrf", BM_Chrf)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_WordEditDistance", BM_WordEditDistance)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BM_AllThree", BM_AllThree)->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
