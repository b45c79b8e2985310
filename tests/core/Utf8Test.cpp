#include <gtest/gtest.h>

#include "Utf8Unit.h"

using namespace lexmora;

namespace {

struct TDecodeRow {
  const char* Name;
  std::string Bytes;
  std::u32string Expected;
};

const TDecodeRow kDecodeRows[] = {
    {"Ascii", "abc", U"abc"},
    {"TwoThreeFourByte", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", U"\u00E9\u20AC\U0001F600"},
    {"EmbeddedNul", std::string("a\0b", 3), std::u32string(U"a\0b", 3)},
    {"StrayContinuation", "a\x80z", U"a\uFFFDz"},
    {"InvalidLeadBytes", "\xC0\xC1\xF5\xFF", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"OverlongThreeByte", "\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},
    {"EncodedSurrogate", "\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},
    {"AboveMaxCodePoint", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"TruncatedAtEnd", "ok\xE2\x82", U"ok\uFFFD"},
    {"TruncatedBeforeAscii", "\xF0\x9F\x98z", U"\uFFFDz"},
    {"MaxCodePoint", "\xF4\x8F\xBF\xBF", U"\U0010FFFF"},
};

}  // namespace

TEST(Utf8, DecodeTable) {
  for (const auto& Row : kDecodeRows) {
    SCOPED_TRACE(Row.Name);
    EXPECT_EQ(Utf8ToU32(Row.Bytes), Row.Expected);
  }
}

TEST(Utf8, EncodeReplacesInvalidCodePoints) {
  const std::u32string Bad = {U'a', static_cast<char32_t>(0xD800), static_cast<char32_t>(0x110000), U'b'};
  EXPECT_EQ(U32ToUtf8(Bad),
            "a\xEF\xBF\xBD\xEF\xBF\xBD"
            "b");
}

TEST(Utf8, RoundTripOfEveryScalarValue) {
  std::u32string All;
  for (char32_t Cp = 0; Cp <= 0x10FFFF; ++Cp)
    if (Cp < 0xD800 || Cp > 0xDFFF) All.push_back(Cp);
  const std::string Bytes = U32ToUtf8(All);
  EXPECT_EQ(Utf8ToU32(Bytes), All);
}

// Appending decodes as Utf8ToU32 does and keeps what was there, also across a broken sequence.
TEST(Utf8, AppendingKeepsWhatWasThere) {
  const std::string Pieces[] = {"", "abc", "\xC3\xA9t\xC3", "\xA9", "\xF0\x9F\x98\x80", "\xED\xA0\x80x"};
  std::u32string Appended = U"start";
  std::u32string Expected = U"start";
  for (const std::string& P : Pieces) {
    AppendUtf8AsU32(Appended, P);
    Expected += Utf8ToU32(P);
    EXPECT_EQ(Appended, Expected);
  }
}

// One code point for one, so a name keeps its length in code points; no locale, no expansion.
TEST(Utf8, UpperCaseMapsEachCodePointByItself) {
  EXPECT_EQ(UpperCaseUtf8("de-DE/a.sdlxliff"), "DE-DE/A.SDLXLIFF");
  EXPECT_EQ(UpperCaseUtf8("\xD0\xB4\xD0\xBE\xD0\xBA"), "\xD0\x94\xD0\x9E\xD0\x9A");  // Cyrillic
  EXPECT_EQ(UpperCaseUtf8("\xC3\x9F"), "\xC3\x9F");                                  // sharp s stays
  EXPECT_EQ(UpperCaseUtf8("i"), "I");                                                // no Turkish dotted I
  EXPECT_EQ(UpperCaseUtf8("\xE6\x97\xA5\xF0\x9F\x93\x84"), "\xE6\x97\xA5\xF0\x9F\x93\x84");
  EXPECT_EQ(UpperCaseUtf8("a\x80"), "A\xEF\xBF\xBD");
}
