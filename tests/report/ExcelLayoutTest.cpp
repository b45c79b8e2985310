// Row heights of the XLSX worksheet: how many lines a cell text needs, and the row attributes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "ExcelLayoutUnit.h"
#include "ExportToExcelUnit.h"

namespace lexmora {
namespace {

std::size_t LinesOf(const std::string& AItem, int AFirst = 2, int ALast = 2, bool ABold = false) {
  TExcelRowHeight H;
  H.AddCell(AItem, AFirst, ALast, ABold);
  return H.Lines();
}

std::string Plain(const std::string& AText) { return TExcelFileCreator::WrapTextItem(AText); }

std::string Words(int ACount) {
  std::string Text;
  for (int I = 0; I < ACount; ++I) Text += (I ? " " : "") + std::string("word") + std::to_string(I);
  return Text;
}

TEST(ExcelRowHeight, ShortAndEmptyTextsKeepTheDefaultRow) {
  for (const std::string& Item : {Plain(""), Plain("Press Start."), std::string("    <t/>"), std::string()}) {
    TExcelRowHeight H;
    H.AddCell(Item, 2, 2, false);
    EXPECT_EQ(H.Lines(), 1u) << Item;
    EXPECT_EQ(H.Height(), kExcelDefaultRowHeight) << Item;
    EXPECT_EQ(H.Attributes(), "") << Item;
  }
}

TEST(ExcelRowHeight, EveryLineBreakStartsALineAndCrLfIsOne) {
  EXPECT_EQ(LinesOf(Plain("a\nb\nc")), 3u);
  EXPECT_EQ(LinesOf(Plain("a\r\nb\r\nc")), 3u);
  EXPECT_EQ(LinesOf(Plain("a\rb")), 2u);
  EXPECT_EQ(LinesOf(Plain("\n\n")), 3u);  // empty lines take their room too
  EXPECT_EQ(LinesOf(Plain("x\n")), 2u);
}

TEST(ExcelRowHeight, LongTextWrapsAndANarrowColumnNeedsMoreLines) {
  const std::string Item = Plain(Words(40));  // about 300 characters
  const std::size_t Wide = LinesOf(Item, 0, kExcelColumnCount - 1);
  const std::size_t Text = LinesOf(Item, 2, 2);
  const std::size_t Narrow = LinesOf(Item, 1, 1);
  EXPECT_GE(Text, 3u);
  EXPECT_LT(Wide, Text);
  EXPECT_GT(Narrow, Text);
  // Bold is wider: never fewer lines.
  EXPECT_GE(LinesOf(Item, 2, 2, true), Text);
}

TEST(ExcelRowHeight, AWordLongerThanTheColumnIsBrokenInsideIt) {
  const std::size_t Lines = LinesOf(Plain(std::string(400, 'x')));
  EXPECT_GE(Lines, 5u);
  EXPECT_LE(Lines, 14u);
}

TEST(ExcelRowHeight, OnlyTheTextOfRunsCountsNotTheirMarkup) {
  const std::string Text = Words(25);
  const std::string Run =
      "      <rPr>\r\n        <sz val=\"14\"/>\r\n        <rFont val=\"Arial\"/>\r\n      </rPr>\r\n";
  // The same characters split into many coloured runs need as many lines as one plain text.
  std::string Runs;
  for (std::size_t I = 0; I < Text.size(); I += 3)
    Runs += "    <r>\r\n" + Run + "      <t xml:space=\"preserve\">" + Text.substr(I, 3) + "</t>\r\n    </r>\r\n";
  EXPECT_EQ(LinesOf(Runs), LinesOf(Plain(Text)));
  // An escaped character is one character.
  EXPECT_EQ(LinesOf(Plain(std::string(60, '&'))), LinesOf(Plain([] {
              std::string S;
              for (int I = 0; I < 60; ++I) S += "&amp;";
              return S;
            }())));
}

TEST(ExcelRowHeight, WideCharactersTakeMoreRoomThanNarrowOnes) {
  std::string Cjk;
  for (int I = 0; I < 60; ++I) Cjk += "\xE6\xBC\xA2";  // 漢
  EXPECT_GT(LinesOf(Plain(Cjk)), LinesOf(Plain(std::string(60, 'i'))));
  // An ideographic text without blanks still breaks between characters.
  EXPECT_GE(LinesOf(Plain(Cjk)), 2u);
}

// More text never needs fewer lines, whatever it is made of.
TEST(ExcelRowHeight, AppendingTextNeverLowersTheLineCount) {
  std::mt19937 Random(12);
  const char* kPieces[] = {" ", "a", "W", "\n", "&amp;", "\xD0\x96", "\xE6\xBC\xA2", "Lorem ", "i", "-"};
  for (int Round = 0; Round < 200; ++Round) {
    std::string Text;
    std::size_t Last = 1;
    for (int Step = 0; Step < 80; ++Step) {
      Text += kPieces[Random() % std::size(kPieces)];
      const std::size_t Now = LinesOf(Plain(Text));
      ASSERT_GE(Now, Last) << "after appending to: " << Text;
      Last = Now;
    }
  }
}

TEST(ExcelRowHeight, TheTallestCellDecidesAndHeightGrowsWithLines) {
  TExcelRowHeight H;
  H.AddCell(Plain("a\nb\nc\nd"), 3, 3, false);
  H.AddCell(Plain("short"), 2, 2, false);
  EXPECT_EQ(H.Lines(), 4u);
  double Previous = kExcelDefaultRowHeight;
  for (int Lines = 2; Lines < 12; ++Lines) {
    TExcelRowHeight G;
    G.AddCell(Plain(std::string(static_cast<std::size_t>(Lines - 1), '\n')), 2, 2, false);
    EXPECT_GT(G.Height(), Previous) << Lines;
    Previous = G.Height();
    // Written as a plain number with the custom flag, so readers keep it.
    const std::string Attr = G.Attributes();
    EXPECT_EQ(Attr.rfind(" ht=\"", 0), 0u) << Attr;
    EXPECT_NE(Attr.find("\" customHeight=\"1\""), std::string::npos) << Attr;
    EXPECT_EQ(std::stod(Attr.substr(5)), G.Height());
  }
}

TEST(ExcelRowHeight, AnEnormousTextStopsAtTheHighestRowReadersAccept) {
  TExcelRowHeight H;
  H.AddCell(Plain(std::string(5000, '\n')), 2, 2, false);
  EXPECT_EQ(H.Height(), 409.5);
  EXPECT_EQ(H.Attributes(), " ht=\"409.5\" customHeight=\"1\"");
}

TEST(ExcelFont, StylesheetAndRunsNameTheSameFont) {
  EXPECT_EQ(ExcelFontElements("  ", "rFont", false, "FFFF0000"),
            "  <sz val=\"14\"/>\r\n  <color rgb=\"FFFF0000\"/>\r\n  <rFont val=\"Arial\"/>\r\n  <family val=\"2\"/>\r\n"
            "  <charset val=\"204\"/>\r\n");
  EXPECT_EQ(ExcelFontElements("", "name", true, ""),
            "<b/>\r\n<sz val=\"14\"/>\r\n<name val=\"Arial\"/>\r\n<family val=\"2\"/>\r\n<charset val=\"204\"/>\r\n");
}

}  // namespace
}  // namespace lexmora
