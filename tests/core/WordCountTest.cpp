#include <gtest/gtest.h>

#include "InternalTagParseUnit.h"
#include "Utf8Unit.h"
#include "WordCountUnit.h"

using namespace lexmora;

namespace {

// Words and characters of a segment's source text in internal markup, as the analysis counts them.
TTextCount CountMarkup(TWordCounter& ACounter, const std::string& AMarkup, const std::string& ALang) {
  TTagDict Dict;
  TTagIDDict IDDict;
  const std::u32string Symbols = ConvertTagsToSymbols(AMarkup, Dict, IDDict);
  return ACounter.Count(WithoutTagSymbols(Symbols, Dict), ALang);
}

struct TCountRow {
  const char* Name;
  const char* Lang;
  std::string Markup;
  std::int64_t Words;
  std::int64_t Characters;
};

const TCountRow kCountRows[] = {
    {"EnglishPunctuationAndNumber", "en-US", "Don't stop: 3.5 km, now!", 5, 24},
    {"EnglishHyphenSplits", "en-US", "e-mail", 2, 6},
    {"GermanCompoundIsOneWord", "de-DE", "Die Donaudampfschifffahrtsgesellschaft f\xC3\xA4hrt.", 3, 45},
    {"Russian", "ru-RU", "\xD0\xA1\xD1\x8A\xD0\xB5\xD1\x88\xD1\x8C \xD0\xB6\xD0\xB5 \xD0\xB5\xD1\x89\xD1\x91.", 3, 13},
    // 私は東京に住んでいます。 : 私|は|東京|に|住|んで|い|ます, the full stop is no word.
    {"JapaneseWithoutBlanks", "ja-JP",
     "\xE7\xA7\x81\xE3\x81\xAF\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x81\xAB\xE4\xBD\x8F\xE3\x82\x93\xE3\x81\xA7\xE3\x81\x84"
     "\xE3\x81\xBE\xE3\x81\x99\xE3\x80\x82",
     8, 12},
    // 我喜欢学习中文。 : 我|喜欢|学习|中文.
    {"ChineseWithoutBlanks", "zh-CN",
     "\xE6\x88\x91\xE5\x96\x9C\xE6\xAC\xA2\xE5\xAD\xA6\xE4\xB9\xA0\xE4\xB8\xAD\xE6\x96\x87\xE3\x80\x82", 4, 8},
    // Emoji are symbols: characters, no words; a skin-tone modifier is a code point of its own.
    {"EmojiAreNoWords", "en-US", "Hi \xF0\x9F\x98\x80 \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD ok", 2, 10},
    {"TagOnlySegment", "en-US", "<x id=\"1\">&lt;b&gt;</x><z id=\"2\">&lt;br/&gt;</z><y id=\"1\">&lt;/b&gt;</y>", 0, 0},
    {"TagsLeftOutBlanksKept", "en-US", "Press <x id=\"1\">b</x>Start<y id=\"1\">/b</y> now", 3, 15},
    // A tag inside a word leaves one word.
    {"TagContentIsNoText", "en-US", "a<z id=\"1\">many words inside a tag</z>b", 1, 2},
    {"WhiteSpaceOnly", "en-US", " \t ", 0, 3},
    {"Empty", "en-US", "", 0, 0},
    {"EscapedCharacters", "en-US", "&lt;tom&gt; &amp; jerry", 2, 13},
    {"UnknownLanguageCodeUsesNeutralRules", "x!-??", "two words", 2, 9},
    {"EmptyLanguageCode", "", "two words", 2, 9},
    {"UnderscoreCode", "ja_JP", "\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x81\xAB", 2, 3},
};

}  // namespace

TEST(WordCount, CountTable) {
  TWordCounter Counter;
  for (const auto& Row : kCountRows) {
    SCOPED_TRACE(Row.Name);
    const TTextCount Count = CountMarkup(Counter, Row.Markup, Row.Lang);
    EXPECT_EQ(Count.Words, Row.Words);
    EXPECT_EQ(Count.Characters, Row.Characters);
  }
}

TEST(WordCount, OneCounterServesLanguagesInAnyOrder) {
  // The per-language iterators are cached: counting other languages in between must not
  // change a result, nor leave the previous text behind.
  TWordCounter Shared;
  for (int Round = 0; Round < 2; ++Round)
    for (auto It = std::rbegin(kCountRows); It != std::rend(kCountRows); ++It) {
      SCOPED_TRACE(It->Name);
      const TTextCount A = CountMarkup(Shared, It->Markup, It->Lang);
      TWordCounter Once;
      const TTextCount B = CountMarkup(Once, It->Markup, It->Lang);
      EXPECT_EQ(A.Words, B.Words);
      EXPECT_EQ(A.Characters, B.Characters);
    }
}

TEST(WordCount, InvalidCodePointsAreCountedNotRejected) {
  TWordCounter Counter;
  const std::u32string Text = {U'a', static_cast<char32_t>(0xD800), U' ', static_cast<char32_t>(0x110000), U'b'};
  const TTextCount Count = Counter.Count(Text, "en");
  EXPECT_EQ(Count.Characters, 5);
  EXPECT_EQ(Count.Words, 2);
}

TEST(WordCount, WordsNeverExceedCharacters) {
  // Property over mixed scripts: every word holds at least one character, and counting a
  // text and its two halves split at a blank gives the same words.
  TWordCounter Counter;
  const std::u32string Parts[] = {U"Hund", U"Katze",      U"\u6771\u4eac", U"42", U"\u0434\u043e\u043c",
                                  U"!",    U"\U0001F600", U"e-mail"};
  std::u32string Left, Right;
  for (int I = 0; I < 40; ++I) {
    std::u32string& Half = (I * 7 % 3 == 0) ? Left : Right;
    Half += Parts[(I * 5) % std::size(Parts)];
    Half += U' ';
  }
  const TTextCount L = Counter.Count(Left, "de"), R = Counter.Count(Right, "de"),
                   All = Counter.Count(Left + Right, "de");
  EXPECT_EQ(All.Words, L.Words + R.Words);
  EXPECT_EQ(All.Characters, L.Characters + R.Characters);
  EXPECT_LE(All.Words, All.Characters);
  EXPECT_GT(All.Words, 0);
}

TEST(WordCount, WithoutTagSymbolsKeepsOrdinaryText) {
  // A text may itself contain letters of the symbol alphabets; only the dictionary's go.
  TTagDict Dict;
  TTagIDDict IDDict;
  const std::string Markup = "\xE0\xAA\x85<z id=\"1\">t</z>x";  // U+0A85 is the first symbol letter
  const std::u32string Symbols = ConvertTagsToSymbols(Markup, Dict, IDDict);
  ASSERT_EQ(Dict.size(), 1u);
  EXPECT_EQ(WithoutTagSymbols(Symbols, Dict), U"\u0A85x");
  EXPECT_EQ(WithoutTagSymbols(U"abc", {}), U"abc");
}
