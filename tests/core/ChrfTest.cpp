#include <gtest/gtest.h>

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

TEST(Chrf, CountsCodePointsAndTheRarerSide) {
  TChrfCounter Counter;
  // Characters beyond the first plane are one character each, white space none.
  const TChrfStats Stats = Counter.Measure(U"\U0001D4B3 \U0001D4B3x", U"\U0001D4B3x");
  EXPECT_EQ(Stats.Orders[0].Hypothesis, 3);
  EXPECT_EQ(Stats.Orders[0].Reference, 2);
  EXPECT_EQ(Stats.Orders[0].Matches, 2);
  EXPECT_EQ(Stats.Orders[1].Hypothesis, 2);
  EXPECT_EQ(Stats.Orders[1].Matches, 1);
  // An order the reference has no n-grams of counts none of the hypothesis either.
  EXPECT_EQ(Stats.Orders[2].Hypothesis, 0);
  EXPECT_EQ(Stats.Orders[2].Reference, 0);
}

TEST(Chrf, CorpusStatisticsAreTheSegmentsSums) {
  TChrfCounter Counter;
  TChrfStats Sum = Counter.Measure(U"the cat", U"the hat");
  Sum += Counter.Measure(U"sat on", U"sat on it");
  EXPECT_EQ(Sum.Orders[0].Reference, 6 + 7);
  EXPECT_EQ(Sum.Orders[0].Hypothesis, 6 + 5);
  EXPECT_EQ(Sum.Orders[0].Matches, 5 + 5);
}

}  // namespace
