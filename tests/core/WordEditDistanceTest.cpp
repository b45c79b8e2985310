#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditBandUnit.h"
#include "Utf8Unit.h"
#include "WordCountUnit.h"
#include "WordEditDistanceUnit.h"

using namespace lexmora;

namespace {

TEST(WordEditDistance, CountsWordStepsOverTheLongerText) {
  TWordCounter Counter;
  TWordEditDistance Words(Counter);
  // Punctuation and blanks are no words, so only the noun counts.
  EXPECT_EQ(Words.Measure(U"The cat sat.", U"The dog  sat!", "en"), (TWordEditStats{1, 3}));
  EXPECT_EQ(Words.Measure(U"a b", U"a b c d", "en"), (TWordEditStats{2, 4}));
  EXPECT_EQ(Words.Measure(U"", U"", "en"), (TWordEditStats{0, 0}));
  // Case counts: a capital is another word.
  EXPECT_EQ(Words.MeasureUtf8("Haus", "haus", "de"), (TWordEditStats{1, 1}));
  // Japanese splits into words without blanks: 私|は|東京|に|住|んで|い|ます against 私|は|大阪|に|...
  const TWordEditStats Japanese = Words.Measure(U"私は東京に住んでいます。", U"私は大阪に住んでいます。", "ja");
  EXPECT_EQ(Japanese.Steps, 1);
  EXPECT_EQ(Japanese.Length, 8);
}

TEST(WordEditDistance, IdenticalTextsGiveAHundred) {
  TWordCounter Counter;
  TWordEditDistance Words(Counter);
  for (const std::u32string_view Text : {U"one", U"Don't stop: 3.5 km, now!", U"Съешь же ещё."}) {
    const TWordEditStats Stats = Words.Measure(Text, Text, "en");
    EXPECT_EQ(Stats.Steps, 0);
    EXPECT_EQ(RoundedEditDistance(Stats.Steps, Stats.Length), 100);
  }
}

TEST(WordEditDistance, TheTotalIsWeightedByWords) {
  TWordCounter Counter;
  TWordEditDistance Words(Counter);
  TWordEditStats Sum = Words.Measure(U"one two three", U"one two four", "en");
  Sum += Words.Measure(U"a b c d e", U"a b c d e", "en");
  EXPECT_EQ(Sum, (TWordEditStats{1, 8}));
  EXPECT_EQ(TotalEditDistanceText(Sum.Steps, Sum.Length), TotalEditDistanceText(1, 8));
  EXPECT_DOUBLE_EQ(SegmentEditDistance(Sum.Steps, Sum.Length), 87.5);
}

}  // namespace
