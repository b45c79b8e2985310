// Speed of the difference engine on the inputs report construction meets, and
// of the tag symbol conversion that precedes it.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "Diff.h"
#include "InternalTagParseUnit.h"
#include "Utf8Unit.h"

using namespace lexmora;

namespace {

const char* const kWords[] = {"the",     "report", "segment",     "translation", "editor",  "file",
                              "of",      "and",    "is",          "a",           "changes", "text",
                              "version", "with",   "Übersetzung", "перевод",     "tag"};

std::u32string RandomSentence(std::mt19937& ARng, std::size_t ALength) {
  std::u32string Text;
  std::uniform_int_distribution<std::size_t> Word(0, std::size(kWords) - 1);
  while (Text.size() < ALength) {
    if (!Text.empty()) Text += U' ';
    Text += Utf8ToU32(kWords[Word(ARng)]);
  }
  Text.resize(ALength);
  return Text;
}

// AText with AEdits single-character insertions, deletions or replacements at random places.
std::u32string Edit(std::mt19937& ARng, std::u32string AText, int AEdits) {
  for (int E = 0; E < AEdits; ++E) {
    const std::size_t Pos = ARng() % (AText.size() + 1);
    const char32_t C = static_cast<char32_t>(U'a' + ARng() % 26);
    switch (ARng() % 3) {
      case 0:
        AText.insert(AText.begin() + static_cast<std::ptrdiff_t>(Pos), C);
        break;
      case 1:
        if (Pos < AText.size()) AText.erase(Pos, 1);
        break;
      default:
        if (Pos < AText.size()) AText[Pos] = C;
    }
  }
  return AText;
}

struct TPair {
  std::u32string A;
  std::u32string B;
};

void RunPairs(benchmark::State& AState, const std::vector<TPair>& APairs) {
  TDiff Diff;
  std::size_t Chars = 0;
  for (auto _ : AState) {
    for (const TPair& P : APairs) {
      Diff.Execute(P.A, P.B);
      benchmark::DoNotOptimize(Diff.Count());
      Chars += P.A.size() + P.B.size();
    }
  }
  AState.SetItemsProcessed(static_cast<std::int64_t>(AState.iterations() * APairs.size()));
  AState.counters["chars/s"] = benchmark::Counter(static_cast<double>(Chars), benchmark::Counter::kIsRate);
}

// Edited segments: 40 to 400 characters, one to five edits.
void BM_TypicalSegmentPairs(benchmark::State& AState) {
  std::mt19937 Rng(1);
  std::vector<TPair> Pairs;
  for (int I = 0; I < 1000; ++I) {
    const std::u32string A = RandomSentence(Rng, 40 + Rng() % 361);
    Pairs.push_back({A, Edit(Rng, A, 1 + static_cast<int>(Rng() % 5))});
  }
  RunPairs(AState, Pairs);
}
BENCHMARK(BM_TypicalSegmentPairs)->Unit(benchmark::kMillisecond);

// Long texts, 1% of the characters edited.
void BM_LongNearEqual(benchmark::State& AState) {
  std::mt19937 Rng(2);
  const std::u32string A = RandomSentence(Rng, 20000);
  RunPairs(AState, {{A, Edit(Rng, A, 200)}});
}
BENCHMARK(BM_LongNearEqual)->Unit(benchmark::kMillisecond);

// Nothing in common: the worst case, every element a change.
void BM_TotallyDifferent(benchmark::State& AState) {
  std::mt19937 Rng(3);
  std::u32string A(2000, U' ');
  std::u32string B(2000, U' ');
  for (auto& C : A) C = static_cast<char32_t>(U'a' + Rng() % 26);
  for (auto& C : B) C = static_cast<char32_t>(U'\u0430' + Rng() % 32);
  RunPairs(AState, {{A, B}});
}
BENCHMARK(BM_TotallyDifferent)->Unit(benchmark::kMillisecond);

// Unrelated texts over one alphabet: many short snakes and ties.
void BM_UnrelatedSameAlphabet(benchmark::State& AState) {
  std::mt19937 Rng(4);
  RunPairs(AState, {{RandomSentence(Rng, 2000), RandomSentence(Rng, 2000)}});
}
BENCHMARK(BM_UnrelatedSameAlphabet)->Unit(benchmark::kMillisecond);

// A short text against a long unrelated one: one side far longer than the other.
void BM_ShortAgainstLong(benchmark::State& AState) {
  std::mt19937 Rng(5);
  RunPairs(AState, {{RandomSentence(Rng, 20), RandomSentence(Rng, 2000)}});
}
BENCHMARK(BM_ShortAgainstLong)->Unit(benchmark::kMillisecond);

// A typical tagged segment converted to its symbol text.
void BM_ConvertTagsToSymbols(benchmark::State& AState) {
  const std::string Markup =
      "Press <x id=\"1\">&lt;b&gt;</x>Start<y id=\"1\">&lt;/b&gt;</y> and then choose "
      "<x id=\"2\">&lt;i&gt;</x>Settings &amp; Options<y id=\"2\">&lt;/i&gt;</y>.<z id=\"3\">&lt;br/&gt;</z> "
      "The dialog shows the current values; change them and press OK.";
  for (auto _ : AState) {
    TTagDict Dict;
    TTagIDDict IDDict;
    benchmark::DoNotOptimize(ConvertTagsToSymbols(Markup, Dict, IDDict));
  }
  AState.SetItemsProcessed(AState.iterations());
}
BENCHMARK(BM_ConvertTagsToSymbols);

}  // namespace

BENCHMARK_MAIN();
