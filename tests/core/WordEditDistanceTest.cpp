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

// The words behind the counts: the ASCII scan and ICU agree on every boundary, and the words are
// exactly as many as Count finds.
TEST(WordCount, WordsMatchTheCountAndIcu) {
  TWordCounter Fast;
  TWordCounter Icu(TAsciiShortcut::ascNever);
  const std::vector<std::u32string> Texts = {U"Don't stop: 3.5 km, now!",
                                             U"a@b.c __ _ x_y 1,000;2 e-mail",
                                             U"end. 'quoted' x.y.z 4.5.",
                                             U"",
                                             U"Grüße aus Köln",
                                             U"𝒳y z 東京に住んでいます",
                                             U"..a..b.. ,1,2,"};
  std::vector<std::u32string_view> A, B;
  for (const std::u32string& Text : Texts) {
    Fast.Words(Text, "en", A);
    Icu.Words(Text, "en", B);
    EXPECT_EQ(A, B) << U32ToUtf8(Text);
    EXPECT_EQ(static_cast<std::int64_t>(A.size()), Fast.Count(Text, "en").Words) << U32ToUtf8(Text);
  }
  Icu.Words(U"𝒳y z", "en", B);
  EXPECT_EQ(B, (std::vector<std::u32string_view>{U"𝒳y", U"z"}));
}

}  // namespace
