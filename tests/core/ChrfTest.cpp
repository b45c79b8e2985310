#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "ChrfUnit.h"
#include "Utf8Unit.h"

using namespace lexmora;

namespace {

double CorpusChrf(const std::vector<std::string>& AHyps, const std::vector<std::string>& ARefs,
                  const TChrfOptions& AOptions) {
  TChrfCounter Counter(AOptions);
  TChrfStats Sum;
  for (std::size_t I = 0; I < AHyps.size(); ++I) Sum += Counter.MeasureUtf8(AHyps[I], ARefs[I]);
  return ChrfScore(Sum, AOptions);
}

struct TChrfVector {
  std::vector<std::string> Hyps, Refs;
  double Score;
};

// From sacrebleu's test/test_chrf.py, checked to its EPSILON of 1e-4: sentence level with the
// default beta and epsilon smoothing (test_sentence_level_chrf).
const TChrfVector kSentenceLevel[] = {
    {{"Co nás nejvíc trápí, protože lékaři si vybírají, kdo bude žít a kdo zemře."},
     {"Nejvíce smutní jsme z toho, že musíme rozhodovat o tom, kdo bude žít a kdo zemře."},
     39.14078509},
    {{"Nebo prostě nemají vybavení, které by jim pomohlo, uvedli lékaři."},
     {"A někdy nemáme ani potřebný materiál, abychom jim pomohli, popsali lékaři."},
     31.22557079},
    {{"Lapali po dechu, jejich životy skončily dřív, než skutečně začaly."},
     {"Lapali po dechu a pak jejich život skončil - dřív, než skutečně mohl začít, připomněli."},
     57.15704367},
};

// Corpus level with beta 3 and epsilon smoothing (test_cases).
const TChrfVector kCorpusEps[] = {
    {{"abcdefg"}, {"hijklmnop"}, 0.0},
    {{"a"}, {"b"}, 0.0},
    {{""}, {"b"}, 0.0},
    {{""}, {"ref"}, 0.0},
    {{""}, {"reference"}, 0.0},
    {{"aa"}, {"ab"}, 8.3333},
    {{"a", "b"}, {"a", "c"}, 8.3333},
    {{"a"}, {"a"}, 16.6667},
    {{"a b c"}, {"a b c"}, 50.0},
    {{"a b c"}, {"abc"}, 50.0},
    {{" risk assessment must be made of those who are qualified and expertise in the sector - these are the "
      "scientists ."},
     {"risk assessment has to be undertaken by those who are qualified and expert in that area - that is the "
      "scientists ."},
     63.361730},
    {{" Die    Beziehung zwischen  Obama und Netanjahu ist nicht gerade  freundlich. "},
     {"Das Verhältnis zwischen Obama und Netanyahu ist nicht gerade freundschaftlich."},
     64.1302698},
    {{"Niemand hat die Absicht, eine Mauer zu errichten"}, {"Niemand hat die Absicht, eine Mauer zu errichten"}, 100.0},
};

// Corpus level with beta 3 and the effective order, the default smoothing (test_cases_effective_order).
const TChrfVector kCorpusEffectiveOrder[] = {
    {{"a"}, {"a"}, 100.0}, {{""}, {"reference"}, 0.0},     {{"a b c"}, {"a b c"}, 100.0}, {{"a b c"}, {"abc"}, 100.0},
    {{""}, {"c"}, 0.0},    {{"a", "b"}, {"a", "c"}, 50.0}, {{"aa"}, {"ab"}, 25.0},
};

// Corpus level with beta 3, white space kept (test_cases_keep_whitespace).
const TChrfVector kCorpusKeepSpace[] = {
    {{"Die Beziehung zwischen Obama und Netanjahu ist nicht gerade freundlich."},
     {"Das Verhältnis zwischen Obama und Netanyahu ist nicht gerade freundschaftlich."},
     67.3481606},
    {{"risk assessment must be made of those who are qualified and expertise in the sector - these are the "
      "scientists ."},
     {"risk assessment has to be undertaken by those who are qualified and expert in that area - that is the "
      "scientists ."},
     65.2414427},
};

void CheckVectors(const char* AName, const TChrfVector* ABegin, const TChrfVector* AEnd, const TChrfOptions& AOptions) {
  for (const TChrfVector* Row = ABegin; Row != AEnd; ++Row)
    EXPECT_NEAR(CorpusChrf(Row->Hyps, Row->Refs, AOptions), Row->Score, 1e-4) << AName << " " << Row->Hyps[0];
}

TEST(Chrf, PublishedVectors) {
  CheckVectors("sentence", std::begin(kSentenceLevel), std::end(kSentenceLevel), {2, false, true});
  CheckVectors("eps", std::begin(kCorpusEps), std::end(kCorpusEps), {3, false, true});
  CheckVectors("effective", std::begin(kCorpusEffectiveOrder), std::end(kCorpusEffectiveOrder), {3, false, false});
  CheckVectors("space", std::begin(kCorpusKeepSpace), std::end(kCorpusKeepSpace), {3, true, false});
}

TEST(Chrf, IdenticalTextsScoreAHundred) {
  TChrfCounter Counter;
  for (const std::u32string_view Text : {U"a", U"Niemand hat die Absicht", U"東京に住んでいます。", U"𝒳 y\U0001F600 z"})
    EXPECT_DOUBLE_EQ(ChrfScore(Counter.Measure(Text, Text)), 100) << U32ToUtf8(Text);
  EXPECT_DOUBLE_EQ(ChrfScore(Counter.Measure(U"", U"")), 0);
}

TEST(Chrf, CorpusStatisticsAreTheSegmentsSums) {
  TChrfCounter Counter;
  TChrfStats Sum = Counter.Measure(U"the cat", U"the hat");
  Sum += Counter.Measure(U"sat on", U"sat on it");
  EXPECT_EQ(Sum.Orders[0].Reference, 6 + 7);
  EXPECT_EQ(Sum.Orders[0].Hypothesis, 6 + 5);
  EXPECT_EQ(Sum.Orders[0].Matches, 5 + 5);
}

// The counts by their definition, with a map per order: the counter's shortcuts (shared prefix
// and suffix, the direct table, unedited texts) must give the same.
TChrfStats PlainStats(const std::u32string& AHyp, const std::u32string& ARef) {
  TChrfStats Stats;
  for (std::size_t N = 1; N <= kChrfOrders; ++N) {
    std::map<std::u32string, std::int64_t> Hyp, Ref;
    for (std::size_t P = 0; P + N <= AHyp.size(); ++P) ++Hyp[AHyp.substr(P, N)];
    for (std::size_t P = 0; P + N <= ARef.size(); ++P) ++Ref[ARef.substr(P, N)];
    TChrfStats::TOrder& Order = Stats.Orders[N - 1];
    for (const auto& [Gram, Count] : Ref) Order.Reference += Count;
    for (const auto& [Gram, Count] : Hyp) {
      if (!Ref.empty()) Order.Hypothesis += Count;
      if (const auto Found = Ref.find(Gram); Found != Ref.end()) Order.Matches += std::min(Count, Found->second);
    }
  }
  return Stats;
}

TEST(Chrf, CountsAsTheDefinitionOnRandomEdits) {
  std::mt19937 Random(11);
  TChrfCounter Counter;
  const std::u32string Alphabet = U"aab\u00E9\U0001F600";
  const auto RandomText = [&](std::size_t ALength) {
    std::u32string Text;
    for (std::size_t I = 0; I < ALength; ++I) Text += Alphabet[Random() % Alphabet.size()];
    return Text;
  };
  for (int Round = 0; Round < 3000; ++Round) {
    const std::u32string Ref = RandomText(Random() % 30);
    // Mostly small edits of the reference, so the shared prefix and suffix vary; now and then another text.
    std::u32string Hyp = Round % 10 == 0 ? RandomText(Random() % 30) : Ref;
    for (int Edit = static_cast<int>(Random() % 3); Edit > 0; --Edit) {
      const std::size_t At = Hyp.empty() ? 0 : Random() % Hyp.size();
      if (Random() % 2 == 0 || Hyp.empty())
        Hyp.insert(At, 1, Alphabet[Random() % Alphabet.size()]);
      else
        Hyp.erase(At, 1 + Random() % 3);
    }
    const TChrfStats Fast = Counter.Measure(Hyp, Ref), Plain = PlainStats(Hyp, Ref);
    for (int N = 0; N < kChrfOrders; ++N) {
      ASSERT_EQ(Fast.Orders[N].Hypothesis, Plain.Orders[N].Hypothesis) << Round << " order " << N + 1;
      ASSERT_EQ(Fast.Orders[N].Reference, Plain.Orders[N].Reference) << Round << " order " << N + 1;
      ASSERT_EQ(Fast.Orders[N].Matches, Plain.Orders[N].Matches) << Round << " order " << N + 1;
    }
  }
}

}  // namespace
