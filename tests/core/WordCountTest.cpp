#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <random>
#include <vector>

#include "InternalTagParseUnit.h"
#include "ShownTextTestSupport.h"
#include "Utf8Unit.h"
#include "WordCountUnit.h"

using namespace lexmora;
using test_support::ShownText;

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

namespace {

// Neutral rules, neutral rules with dictionaries for other scripts, tailored rules, no known rules.
const char* const kAllCodes[] = {"",        "en", "en-US", "de-DE", "fr",          "ru",   "ja",
                                 "zh_Hans", "th", "fi",    "sv",    "en_US_POSIX", "x!-??"};

// Counts and splits texts with and without the shortcut and keeps the first differences; the words
// must also be as many as the count says.
class TAgainstIcu {
 public:
  void Check(std::u32string_view AText, const std::string& ACode) {
    const TTextCount Fast = FFast.Count(AText, ACode), Icu = FIcu.Count(AText, ACode);
    FFast.Words(AText, ACode, FFastWords);
    FIcu.Words(AText, ACode, FIcuWords);
    const bool Same = Fast.Words == Icu.Words && Fast.Characters == Icu.Characters && FFastWords == FIcuWords &&
                      static_cast<std::int64_t>(FIcuWords.size()) == Icu.Words;
    if (!Same && FDifferences.size() < 10)
      FDifferences.push_back("'" + ACode + "' [" + ShownText(AText) + "]: " + std::to_string(Fast.Words) + "/" +
                             std::to_string(FFastWords.size()) + " words, ICU " + std::to_string(Icu.Words) + "/" +
                             std::to_string(FIcuWords.size()));
    ++FChecked;
  }
  void ExpectNoDifference() const {
    EXPECT_GT(FChecked, 0);
    for (const std::string& Difference : FDifferences) ADD_FAILURE() << Difference;
  }

 private:
  TWordCounter FFast, FIcu{TAsciiShortcut::ascNever};
  std::vector<std::u32string_view> FFastWords, FIcuWords;
  std::vector<std::string> FDifferences;
  int FChecked = 0;
};

// Random ASCII of 0 to 40 characters, mostly the characters the rules tell apart, with letters and
// digits often enough to make runs, and now and then any ASCII character, controls among them.
std::u32string RandomAscii(std::mt19937& ARandom) {
  static constexpr std::u32string_view kLikely = U"aaabZZ@0019__..'',;\"::  \r\n\v\f-";
  std::uniform_int_distribution<int> Length(0, 40), Any(0, 0x7F), Likely(0, kLikely.size() - 1), Which(0, 3);
  std::u32string Text(Length(ARandom), U' ');
  for (char32_t& C : Text) C = Which(ARandom) == 0 ? Any(ARandom) : kLikely[Likely(ARandom)];
  return Text;
}

}  // namespace

TEST(WordCount, AsciiClassesAreIcusProperties) {
  using enum TAsciiWordClass;
  for (char32_t Code = 0; Code < 0x80; ++Code) {
    SCOPED_TRACE(ShownText(std::u32string(1, Code)));
    const auto Property = static_cast<UWordBreakValues>(u_getIntPropertyValue(Code, UCHAR_WORD_BREAK));
    TAsciiWordClass Expected = awcOther;
    switch (Property) {
      case U_WB_ALETTER:
        Expected = awcLetter;
        break;
      case U_WB_NUMERIC:
        Expected = awcDigit;
        break;
      case U_WB_EXTENDNUMLET:
        Expected = awcConnector;
        break;
      case U_WB_MIDNUMLET:
      case U_WB_SINGLE_QUOTE:
        Expected = awcMidLetterOrDigit;
        break;
      case U_WB_MIDNUM:
        Expected = awcMidDigit;
        break;
      // Blanks and line ends join only their own kind and '"' only Hebrew letters: no words.
      case U_WB_OTHER:
      case U_WB_CR:
      case U_WB_LF:
      case U_WB_NEWLINE:
      case U_WB_WSEGSPACE:
      case U_WB_DOUBLE_QUOTE:
        Expected = awcOther;
        break;
      case U_WB_MIDLETTER:
        // The neutral rules take ':' out of the marks between letters; no other is known.
        EXPECT_EQ(Code, U':');
        Expected = awcOther;
        break;
      default:
        ADD_FAILURE() << "a class the ASCII count does not know: " << Property;
        continue;
    }
    if (Code == U'@') {
      // The neutral rules add '@' to the letters.
      EXPECT_EQ(Property, U_WB_OTHER);
      Expected = awcLetter;
    }
    EXPECT_EQ(AsciiWordClass(static_cast<char>(Code)), Expected);
  }
}

TEST(WordCount, AsciiShortcutOnlyUnderTheNeutralRules) {
  TWordCounter Fast, Icu(TAsciiShortcut::ascNever);
  // If these fail after an ICU upgrade, the neutral rules changed: check the class table and the
  // count against them with the tests below, then take the new rules' hash.
  for (const char* Code : {"", "en", "en-US", "de-DE", "fr", "ru", "ja", "zh_Hans", "th", "x!-??"}) {
    EXPECT_TRUE(Fast.TakesAsciiShortcut(Code)) << Code;
    EXPECT_FALSE(Icu.TakesAsciiShortcut(Code)) << Code;
  }
  // Tailored rules: ':' joins letters in Finnish and Swedish, '.' does not under POSIX.
  for (const char* Code : {"fi", "sv", "en_US_POSIX"}) EXPECT_FALSE(Fast.TakesAsciiShortcut(Code)) << Code;
  EXPECT_EQ(Fast.Count(U"a:b", "fi").Words, 1);
  EXPECT_EQ(Fast.Count(U"a:b", "en").Words, 2);
  EXPECT_EQ(Fast.Count(U"a.b", "en_US_POSIX").Words, 2);
}

TEST(WordCount, EveryShortAsciiStringCountsAsIcuDoes) {
  TAgainstIcu Against;
  // Every string of up to AMaxLength characters over AAlphabet, as the digits of a number in its base.
  const auto CheckAll = [&Against](std::u32string_view AAlphabet, int AMaxLength) {
    const auto Base = static_cast<int>(AAlphabet.size());
    std::u32string Text;
    for (int Length = 0, Strings = 1; Length <= AMaxLength; ++Length, Strings *= Base)
      for (int Number = 0; Number < Strings; ++Number) {
        Text.clear();
        for (int Rest = Number, I = 0; I < Length; ++I, Rest /= Base) Text += AAlphabet[Rest % Base];
        Against.Check(Text, "en");
      }
  };
  // One character of each class, and of each character the rules treat apart from its class.
  CheckAll(U"a0_.',\" \r\n\v:@-\x01", 4);
  // Longer chains of the characters that join: "a.b.c", "1,2.3", "__a'b".
  CheckAll(U"a0_.',", 6);
  // Latin-1 beyond ASCII: a letter, the mark between letters, a no-break space, a line end, a sign,
  // the soft hyphen (left to ICU), ordinal and micro letters, superscript digits.
  CheckAll(U"a\u00E90.\u00B7\u00A0\u0085\u00D7\u00AD\u00AA\u00B5\u00B2", 4);
  Against.ExpectNoDifference();
}

TEST(WordCount, RandomAsciiCountsAsIcuDoesInEveryLanguage) {
  std::mt19937 Random(20261209);
  TAgainstIcu Against;
  for (const char* Code : kAllCodes) {
    std::u32string Long;
    for (int I = 0; I < 1500; ++I) {
      const std::u32string Text = RandomAscii(Random);
      Against.Check(Text, Code);
      Long += Text;
    }
    Against.Check(Long, Code);
  }
  Against.ExpectNoDifference();
}

TEST(WordCount, TextsBeyondAsciiCountAsIcuDoes) {
  // One character beyond ASCII in an ASCII text: letters, marks and formats that join their
  // neighbours, marks between letters or digits, a Hebrew letter that '"' joins, other digits and
  // connectors, blanks, dictionary scripts, emoji.
  const char32_t kBeyond[] = {0xE9,  0x301,  0xAD, 0x200D, 0xB7,   0x2019, 0xFF0E,  0x5D0,
                              0x660, 0x203F, 0xA0, 0x3000, 0x6771, 0xE01,  0x1F600, 0x1F3FD};
  std::mt19937 Random(7);
  TAgainstIcu Against;
  for (const char* Code : kAllCodes)
    for (const char32_t Beyond : kBeyond)
      for (int I = 0; I < 60; ++I) {
        std::u32string Text = RandomAscii(Random);
        Text.insert(std::uniform_int_distribution<std::size_t>(0, Text.size())(Random), 1, Beyond);
        Against.Check(Text, Code);
      }
  Against.ExpectNoDifference();
}
