// Shared-string item texts: XML-forbidden characters, literal escapes and the cell length cut.
#include <gtest/gtest.h>

#include <random>

#include "ExcelItemTextUnit.h"
#include "Utf8Unit.h"

namespace lexmora {
namespace {

std::string Plain(const std::string& AText) { return "    <t>" + AText + "</t>"; }

std::string RichRun(const std::string& AText, const char* AColour = nullptr) {
  std::string R = "    <r>\r\n";
  if (AColour) R += std::string("      <rPr>\r\n        <color rgb=\"") + AColour + "\"/>\r\n      </rPr>\r\n";
  return R + "      <t xml:space=\"preserve\">" + AText + "</t>\r\n    </r>";
}

// How a spreadsheet program reads element text: "_xHHHH_" is one character, left to right.
std::u32string DecodeEscapes(const std::string& AText) {
  const std::u32string S = Utf8ToU32(AText);
  std::u32string Out;
  auto IsHex = [](char32_t C) { return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F'); };
  for (std::size_t I = 0; I < S.size(); ++I) {
    if (S[I] == U'_' && I + 6 < S.size() && S[I + 1] == U'x' && IsHex(S[I + 2]) && IsHex(S[I + 3]) && IsHex(S[I + 4]) &&
        IsHex(S[I + 5]) && S[I + 6] == U'_') {
      Out.push_back(static_cast<char32_t>(std::stoul(U32ToUtf8(S.substr(I + 2, 4)), nullptr, 16)));
      I += 6;
    } else {
      Out.push_back(S[I]);
    }
  }
  return Out;
}

struct TCase {
  const char* Name;
  std::string In;
  std::string Out;
};

class ItemText : public ::testing::TestWithParam<TCase> {};

TEST_P(ItemText, Prepared) {
  EXPECT_EQ(PrepareItemText(GetParam().In), GetParam().Out);
  // A text called ready is kept as it is by the writer: it must be one that needs no change.
  if (GetParam().In != GetParam().Out) EXPECT_FALSE(IsItemTextReady(GetParam().In));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ItemText,
    ::testing::Values(TCase{"PlainTextUnchanged", Plain("abc &amp; d"), Plain("abc &amp; d")},
                      TCase{"EmptyItemUnchanged", "    <t/>", "    <t/>"},
                      TCase{"TabLineFeedReturnKept", Plain("a\tb\nc\rd"), Plain("a\tb\nc\rd")},
                      TCase{"ControlCharEscaped", Plain(std::string("a\x01") + "b\x1F"), Plain("a_x0001_b_x001F_")},
                      TCase{"NulEscaped", Plain(std::string("a\0b", 3)), Plain("a_x0000_b")},
                      TCase{"NonCharactersEscaped", Plain("\xEF\xBF\xBE\xEF\xBF\xBF"), Plain("_xFFFE__xFFFF_")},
                      TCase{"LiteralEscapeProtected", Plain("_x0041_"), Plain("_x005F_x0041_")},
                      TCase{"LowerCaseHexProtected", Plain("a_x00ab_b"), Plain("a_x005F_x00ab_b")},
                      TCase{"ShortOrBrokenLookalikesKept", Plain("_x004_ _x00G1_ _X0041_ _x0041"),
                            Plain("_x004_ _x00G1_ _X0041_ _x0041")},
                      TCase{"LookalikeBeforeControlProtected", Plain("_x0041\x02"), Plain("_x005F_x0041_x0002_")},
                      TCase{"EscapeInsideRunsOnly", RichRun("x\x03", "FFFF0000") + "\r\n" + RichRun("_x1234_"),
                            RichRun("x_x0003_", "FFFF0000") + "\r\n" + RichRun("_x005F_x1234_")},
                      TCase{"InvalidUtf8Replaced",
                            Plain("a\xFF"
                                  "b"),
                            Plain("a\xEF\xBF\xBD"
                                  "b")},
                      TCase{"StrayAmpersandEscaped", Plain("a & b"), Plain("a &amp; b")},
                      TCase{"AmpersandTooFarFromItsSemicolonEscaped", Plain("a &verylongname; b"),
                            Plain("a &amp;verylongname; b")},
                      TCase{"ValidMultiByteKept", Plain("hei\xC3\x9F \xE2\x97\x84 \xF0\x9F\x98\x80 \xEF\xBF\xBD"),
                            Plain("hei\xC3\x9F \xE2\x97\x84 \xF0\x9F\x98\x80 \xEF\xBF\xBD")},
                      TCase{"OverlongReplaced", Plain("a\xC0\x80z"), Plain("a\xEF\xBF\xBD\xEF\xBF\xBDz")},
                      TCase{"SurrogateReplaced", Plain("\xED\xA0\x80z"),
                            Plain("\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz")},
                      TCase{"TruncatedAtTheEndReplaced", Plain("ab\xE2\x82"), Plain("ab\xEF\xBF\xBD")},
                      TCase{"AboveTheLastCodePointReplaced", Plain("\xF4\x90\x80\x80"),
                            Plain("\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD")},
                      TCase{"UnderscoreAloneKept", Plain("a_b _x_ x_"), Plain("a_b _x_ x_")}),
    [](const ::testing::TestParamInfo<TCase>& AInfo) { return std::string(AInfo.param.Name); });

TEST(ItemTextCut, PlainTextCutToTheLimitWithEllipsis) {
  EXPECT_EQ(PrepareItemText(Plain("abcdefgh"), 5), Plain("abcd\xE2\x80\xA6"));
  EXPECT_EQ(PrepareItemText(Plain("abcde"), 5), Plain("abcde"));  // exactly the limit: whole
}

TEST(ItemTextCut, EntitiesAndEscapesCountAsOneCharacter) {
  EXPECT_EQ(PrepareItemText(Plain("&amp;&lt;\x01"
                                  "de"),
                            5),
            Plain("&amp;&lt;_x0001_de"));
  EXPECT_EQ(PrepareItemText(Plain("&amp;&lt;\x01"
                                  "def"),
                            5),
            Plain("&amp;&lt;_x0001_d\xE2\x80\xA6"));
}

TEST(ItemTextCut, MultiByteTextAtTheLimitIsWholeAndBeyondItCut) {
  EXPECT_EQ(PrepareItemText(Plain("\xC3\xA4\xC3\xB6\xC3\xBC"), 3), Plain("\xC3\xA4\xC3\xB6\xC3\xBC"));
  EXPECT_EQ(PrepareItemText(Plain("a\xF0\x9F\x98\x80"), 3), Plain("a\xF0\x9F\x98\x80"));
  EXPECT_EQ(PrepareItemText(Plain("\xC3\xA4\xC3\xB6\xC3\xBC\xF0\x9F\x98\x80"), 4),
            Plain("\xC3\xA4\xC3\xB6\xC3\xBC\xE2\x80\xA6"));
  EXPECT_EQ(PrepareItemText(Plain("&amp;&lt;&gt;"), 3), Plain("&amp;&lt;&gt;"));
  EXPECT_EQ(PrepareItemText(Plain("&amp;&lt;&gt;"), 2), Plain("&amp;\xE2\x80\xA6"));
}

TEST(ItemTextCut, CharactersBeyondTheBasicPlaneCountTwice) {
  // U+1F600 takes two UTF-16 units, so it does not fit in the last single free place.
  EXPECT_EQ(PrepareItemText(Plain("abc\xF0\x9F\x98\x80xyz"), 5), Plain("abc\xE2\x80\xA6"));
}

TEST(ItemTextCut, RichRunsKeptUpToTheCutAndTheCutRunClosed) {
  const std::string In = RichRun("abc") + "\r\n" + RichRun("defgh", "FF0000FF") + "\r\n" + RichRun("ij");
  EXPECT_EQ(PrepareItemText(In, 6), RichRun("abc") + "\r\n" + RichRun("de\xE2\x80\xA6", "FF0000FF"));
  // A cut right at a run boundary puts the ellipsis at the start of the next run.
  EXPECT_EQ(PrepareItemText(In, 4), RichRun("abc") + "\r\n" + RichRun("\xE2\x80\xA6", "FF0000FF"));
}

TEST(ItemTextCut, EscapeLookalikeSplitByTheCutIsNotProtected) {
  // The closing "_" is cut away, so the kept "_x0041" is read literally anyway.
  EXPECT_EQ(PrepareItemText(Plain("_x0041_"), 7), Plain("_x005F_x0041_"));
  EXPECT_EQ(PrepareItemText(Plain("_x0041_z"), 7), Plain("_x0041\xE2\x80\xA6"));
}

TEST(ItemTextCut, DefaultLimitIsTheSpreadsheetCellLimit) {
  const std::string Long(40000, 'a');
  const std::string Out = PrepareItemText(Plain(Long));
  EXPECT_EQ(Out, Plain(std::string(kMaxCellTextLength - 1, 'a') + "\xE2\x80\xA6"));
  EXPECT_FALSE(IsItemTextReady(Plain(Long)));
  EXPECT_TRUE(IsItemTextReady(Plain(Long), 0));
  EXPECT_TRUE(IsItemTextReady(Plain(std::string(kMaxCellTextLength, 'a'))));
}

// Property: whatever the text, a reader that decodes the escapes gets the original back.
TEST(ItemTextProperty, DecodedTextEqualsTheOriginal) {
  const std::u32string Alphabet = U"_x0Af4Z\x01\x1F\x0B\uFFFE\u00E9 ";
  std::mt19937 Random(20261209);
  for (int Round = 0; Round < 2000; ++Round) {
    std::u32string Text;
    const int Length = static_cast<int>(Random() % 24);
    for (int I = 0; I < Length; ++I) Text.push_back(Alphabet[Random() % Alphabet.size()]);
    const std::string In = Plain(U32ToUtf8(Text));
    const std::string Out = PrepareItemText(In);
    if (IsItemTextReady(In)) ASSERT_EQ(Out, In);
    ASSERT_EQ(Out.substr(0, 7), "    <t>");
    const std::string Stored = Out.substr(7, Out.size() - 7 - 4);
    for (const char32_t C : Utf8ToU32(Stored)) ASSERT_TRUE(C >= 0x20 && C != 0xFFFE) << "forbidden left in " << Stored;
    ASSERT_EQ(DecodeEscapes(Stored), Text) << "stored as " << Stored;
  }
}

}  // namespace
}  // namespace lexmora
