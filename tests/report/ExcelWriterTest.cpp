// The XLSX writer in memory: rich runs, tag markers, row layout, styles, totals and strings.
#include <gtest/gtest.h>

#include "ExcelSheetView.h"
#include "ExportToExcelUnit.h"
#include "LocalizationUnit.h"
#include "WriterTestSupport.h"

namespace lexmora {
namespace {

using test_support::Fold;
using test_support::TStep;

using testing_excel::TRun;
using testing_excel::TSheetView;

const std::string kRed = "FFFF0000", kBlue = "FF0000FF";

TDiffFileConstructorSettings Settings(const std::string& ATr = "/in/a.sdlxliff\r\n",
                                      const std::string& AEd = "/out/a.sdlxliff\r\n", bool AColoured = true) {
  TDiffFileConstructorSettings S;
  S.TranslatorFiles = SplitLines(ATr);
  S.EditorFiles = SplitLines(AEd);
  S.FillDiffRowColored = AColoured;
  S.ResultFileName = "/nonexistent/Results/Result_20261209_080000_";
  S.ResultFileFormat = TResultFileFormat::rffXLSX;
  return S;
}

// A changed run names the cells' whole font besides its colour (readers take what a run leaves
// out from their own defaults, which shows marked characters in another face and size).
std::string RunXml(const std::string& AText, const std::string& AColour = {}) {
  std::string R = "    <r>\r\n";
  if (!AColour.empty())
    R += "      <rPr>\r\n        <sz val=\"14\"/>\r\n        <color rgb=\"" + AColour +
         "\"/>\r\n        <rFont val=\"Arial\"/>\r\n        <family val=\"2\"/>\r\n        <charset val=\"204\"/>\r\n"
         "      </rPr>\r\n";
  return R + "      <t xml:space=\"preserve\">" + AText + "</t>\r\n    </r>";
}

// Translated "abc", edited "abxc": kept a, kept b, insertion x, kept c.
const std::vector<TStep> kTrAbc = {{U'a', true}, {U'b', true}, {0, false}, {U'c', true}};
const std::vector<TStep> kEdAbxc = {{U'a', true}, {U'b', true}, {U'x', false}, {U'c', true}};

TEST(ExcelRuns, InsertionGivesBlueRunInEditedAndSplitRunsInTranslated) {
  TExcelFileCreator W(Settings());
  EXPECT_EQ(Fold(W, false, kEdAbxc), RunXml("ab") + "\r\n" + RunXml("x", kBlue) + "\r\n" + RunXml("c"));
  EXPECT_EQ(Fold(W, true, kTrAbc), RunXml("ab") + "\r\n" + RunXml("c"));
}

TEST(ExcelRuns, TextWithoutCharactersIsAnEmptyItem) {
  TExcelFileCreator W(Settings());
  EXPECT_EQ(Fold(W, true, {}), "    <t/>");
  // Only empty fragments (everything inserted on the other side) leave nothing either.
  EXPECT_EQ(Fold(W, true, {{0, false}, {0, false}}), "    <t/>");
}

TEST(ExcelRuns, InsertionAtTheStartOpensTheTranslatedTextUnchanged) {
  TExcelFileCreator W(Settings());
  const std::vector<TStep> Tr = {{0, false}, {U'a', true}, {U'b', true}};
  const std::vector<TStep> Ed = {{U'x', false}, {U'a', true}, {U'b', true}};
  EXPECT_EQ(Fold(W, true, Tr), RunXml("ab"));
  EXPECT_EQ(Fold(W, false, Ed), RunXml("x", kBlue) + "\r\n" + RunXml("ab"));
}

TEST(ExcelRuns, DeletionIsRedAndOneStretchHoldsConsecutiveChanges) {
  TExcelFileCreator W(Settings());
  // kept, changed, changed, kept: one marked stretch with both changed characters.
  const std::vector<TStep> Tr = {{U'a', true}, {U'<', false}, {U'&', false}, {U'd', true}};
  EXPECT_EQ(Fold(W, true, Tr), RunXml("a") + "\r\n" + RunXml("&lt;&amp;", kRed) + "\r\n" + RunXml("d"));
  EXPECT_EQ(Fold(W, true, {{U'>', false}}), RunXml("&gt;", kRed));
}

TEST(ExcelRuns, TagMarkersByTypeAndMode) {
  const TTagDict Dict = {{U"\uE001", TTagType::ttBegin, "<b>"},
                         {U"\uE002", TTagType::ttEnd, "</b>"},
                         {U"\uE003", TTagType::ttFull, "<br/>"},
                         {U"\uE004", TTagType::ttNotNeeded, "x"}};
  const struct {
    const char* Name;
    char32_t Symbol;
    TShowTagsFlag Flag;
    std::string Marker;
  } kRows[] = {
      {"BeginWithIdModeShowsNoId", U'\uE001', TShowTagsFlag::stfShowTagsID, "\xE2\x97\x84"},
      {"BeginOnly", U'\uE001', TShowTagsFlag::stfShowTagsOnly, "\xE2\x97\x84"},
      {"EndContent", U'\uE002', TShowTagsFlag::stfShowTagsContent, "\xE2\x96\xBA"},
      {"Full", U'\uE003', TShowTagsFlag::stfShowTagsID, "\xE2\x97\x84\xE2\x96\xBA"},
      {"NotNeeded", U'\uE004', TShowTagsFlag::stfShowTagsOnly, ""},
      {"Hidden", U'\uE001', TShowTagsFlag::stfDontShowTags, ""},
      {"UnknownSymbolAsItself", U'\uE00F', TShowTagsFlag::stfShowTagsOnly, "\xEE\x80\x8F"},
  };
  TExcelFileCreator W(Settings());
  for (const auto& Row : kRows) {
    SCOPED_TRACE(Row.Name);
    EXPECT_EQ(Fold(W, true, {{U'a', true}, {Row.Symbol, true}}, Dict, {}, Row.Flag), RunXml("a" + Row.Marker));
    // A marker in a changed stretch takes the stretch's colour.
    EXPECT_EQ(Fold(W, false, {{Row.Symbol, false}}, Dict, {}, Row.Flag), RunXml(Row.Marker, kBlue));
  }
}

TEST(ExcelLayout, OneFilePerSideGivesTotalsThenCaptionLabelAndSegment) {
  TExcelFileCreator W(Settings());
  EXPECT_EQ(W.CurrentRow(), 9);
  W.AddCaption();
  W.AddJoinRow("/tmp/a.sdlxliff (en-US > de-DE)");
  W.AddRow(false, false, "1", Fold(W, true, kTrAbc), "", Fold(W, true, kTrAbc), Fold(W, false, kEdAbxc), "75");
  W.AddTotalInfo(1, 1, "75%");
  const TSheetView V(W);
  EXPECT_EQ(V.Dimension, "A1:G12");
  EXPECT_EQ(V.Rows, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(V.RowHeights, (std::map<int, std::string>{{1, "44.25"}}));
  // Caption row 10.
  const char* kCaptions[] = {"No", "%", "Source text:", "Translated text:", "Edited text:", "ED, %", "Notes:"};
  const int kCaptionStyles[] = {4, 4, 5, 5, 5, 4, 5};
  for (int I = 0; I < 7; ++I) {
    const std::string Ref = std::string(1, static_cast<char>('A' + I)) + "10";
    EXPECT_EQ(V.At(Ref).Text(), kCaptions[I]) << Ref;
    EXPECT_EQ(V.At(Ref).Style, kCaptionStyles[I]) << Ref;
  }
  // Label row 11, merged across.
  EXPECT_EQ(V.At("A11").Text(), "/tmp/a.sdlxliff (en-US > de-DE)");
  for (const char* Ref : {"A11", "B11", "G11"}) EXPECT_EQ(V.At(Ref).Style, 3) << Ref;
  EXPECT_EQ(V.At("B11").StringIndex, -1);
  // Segment row 12, coloured.
  EXPECT_EQ(V.At("A12").Text(), "1");
  EXPECT_EQ(V.At("F12").Text(), "75");
  EXPECT_EQ(V.At("E12").Runs, (std::vector<TRun>{{"", "ab"}, {kBlue, "x"}, {"", "c"}}));
  for (const char* Ref : {"A12", "B12", "F12"}) EXPECT_EQ(V.At(Ref).Style, 9) << Ref;
  for (const char* Ref : {"C12", "D12", "E12", "G12"}) EXPECT_EQ(V.At(Ref).Style, 10) << Ref;
  // Totals: rows 1 to 9, two merges each, after the label row's merge.
  EXPECT_EQ(V.At("A2").Text(), "Source file(s)/package(s)");
  EXPECT_EQ(V.At("D2").Text(), "/in/a.sdlxliff");
  EXPECT_EQ(V.At("A3").Text(), "Edited file(s)/package(s)");
  EXPECT_EQ(V.At("D3").Text(), "/out/a.sdlxliff");
  EXPECT_EQ(V.At("D4").Text(), "show identical segments");
  EXPECT_EQ(V.At("D5").Text(), "differentiate standard space from non-breaking space");
  EXPECT_EQ(V.At("A6").Text(), "Total segments");
  EXPECT_EQ(V.At("D6").Text(), "1");
  EXPECT_EQ(V.At("D7").Text(), "1");
  EXPECT_EQ(V.At("A8").Text(), "Total Edit Distance (No Match segments only)");
  EXPECT_EQ(V.At("D8").Text(), "75%");
  EXPECT_EQ(V.At("A9").Text(), "");
  EXPECT_EQ(V.At("A9").Style, 7);
  EXPECT_EQ(V.At("E9").Style, 8);
  ASSERT_EQ(V.Merges.size(), 1u + 9 * 2);
  EXPECT_EQ(V.Merges[0], "A11:G11");
  EXPECT_EQ(V.Merges[1], "A1:C1");
  EXPECT_EQ(V.Merges[2], "D1:G1");
  EXPECT_EQ(V.Merges.back(), "D9:G9");
  // Every text cell has a string of its own: 7 captions, 1 label, 7 row cells, 9 x 2 totals.
  EXPECT_EQ(V.SharedItems, 7 + 1 + 7 + 18);
  EXPECT_EQ(V.SharedCount, V.SharedItems);
  EXPECT_EQ(V.SharedUnique, V.SharedItems);
  EXPECT_EQ(V.At("A10").StringIndex, 0);
  EXPECT_EQ(V.At("A11").StringIndex, 7);
  EXPECT_EQ(V.At("G12").StringIndex, 14);
  EXPECT_EQ(V.At("A1").StringIndex, 15);
}

TEST(ExcelLayout, SeveralFilesPerSideFillTheReservedRows) {
  TDiffFileConstructorSettings S = Settings("/a\r\n/b\r\n/c\r\n", "/x\r\n/y\r\n");
  S.HideEquivalentString = true;
  S.DoNotSeparateSpaces = true;
  TExcelFileCreator W(S);
  EXPECT_EQ(W.CurrentRow(), 3 + 2 + 7);
  W.AddTotalInfo(10, 0, "");
  const TSheetView V(W);
  EXPECT_EQ(V.Dimension, "A1:G12");  // no segment shown: the totals block only
  EXPECT_EQ(V.Rows.size(), 12u);
  const struct {
    const char* Ref;
    const char* Text;
  } kRows[] = {{"A2", "Source file(s)/package(s)"},
               {"D2", "/a"},
               {"A3", ""},
               {"D3", "/b"},
               {"D4", "/c"},
               {"A5", "Edited file(s)/package(s)"},
               {"D5", "/x"},
               {"D6", "/y"},
               {"A7", "Display of identical segments"},
               {"D7", "hide identical segments"},
               {"D8", "do not differentiate standard space from non-breaking space"},
               {"D9", "10"},
               {"D10", "0"},
               {"D11", ""},
               {"A12", ""}};
  for (const auto& Row : kRows) EXPECT_EQ(V.At(Row.Ref).Text(), Row.Text) << Row.Ref;
}

TEST(ExcelLayout, EmptyFileListsLeaveOneSpareRowEach) {
  TExcelFileCreator W(Settings("", ""));
  EXPECT_EQ(W.CurrentRow(), 9);
  W.AddCaption();
  W.AddTotalInfo(0, 0, "");
  const TSheetView V(W);
  // The totals take rows 1 to 7; rows 8 and 9 stay empty; the caption is row 10.
  EXPECT_EQ(V.Rows, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 10}));
  EXPECT_EQ(V.At("A2").Text(), "Display of identical segments");
  EXPECT_EQ(V.At("A10").Text(), "No");
}

// Spreadsheet programs do not size rows on opening, so a row whose wrapped text needs more than
// one line is given its height: the caption, label, segment and totals rows alike.
TEST(ExcelLayout, RowsWithWrappedTextGetTheirHeight) {
  std::string LongName = "/projects/";
  for (int I = 0; I < 12; ++I) LongName += "a-rather-long-folder-name-" + std::to_string(I) + "/";
  TExcelFileCreator W(Settings(LongName + "a.sdlxliff\r\n"));
  W.AddCaption();
  W.AddJoinRow(LongName + "a.sdlxliff (en-US > de-DE)");
  std::string Long;
  for (int I = 0; I < 30; ++I) Long += "word" + std::to_string(I) + " ";
  const std::vector<TStep> Short = {{U'o', true}, {U'k', true}};
  std::vector<TStep> Wrapped;
  for (char C : Long) Wrapped.push_back({static_cast<char32_t>(C), C != 'w'});
  W.AddRow(false, false, "1", Fold(W, true, Short), "", Fold(W, true, Short), Fold(W, false, Short), "100");
  W.AddRow(false, false, "2", Fold(W, true, Short), "", Fold(W, true, Short), Fold(W, false, Wrapped), "90");
  W.AddRow(false, false, "3", TExcelFileCreator::WrapTextItem("line 1\nline 2\nline 3"), "", Fold(W, true, Short),
           Fold(W, false, Short), "100");
  W.AddTotalInfo(3, 1, "90%");
  const TSheetView V(W);
  // Totals: row 2 names the long source file; caption row 10, label 11, segments 12 to 14.
  for (int Row : {2, 11, 13, 14}) EXPECT_EQ(V.RowHeights.count(Row), 1u) << "row " << Row;
  for (int Row : {3, 10, 12}) EXPECT_EQ(V.RowHeights.count(Row), 0u) << "row " << Row;
  const auto HeightOf = [&](int ARow) { return std::stod(V.RowHeights.at(ARow)); };
  // Three explicit lines, and about three wrapped lines of the long edited text.
  EXPECT_GT(HeightOf(14), 3 * 14.0);
  EXPECT_GT(HeightOf(13), 2 * 14.0);
  const std::string Sheet = W.BuildSheet1();
  EXPECT_NE(
      Sheet.find("<row r=\"14\" spans=\"1:7\" ht=\"" + V.RowHeights.at(14) + "\" customHeight=\"1\" x14ac:dyDescent"),
      std::string::npos);
}

TEST(ExcelLayout, StylesOfLockedEqualAndUncolouredRows) {
  const struct {
    const char* Name;
    bool Coloured, Equal, Locked;
    int Number, Source, Text;
  } kRows[] = {
      {"LockedInColouredRow", true, false, true, 9, 6, 10}, {"ColouredRow", true, false, false, 9, 10, 10},
      {"EqualRowNotColoured", true, true, false, 2, 1, 1},  {"OptionOff", false, false, false, 2, 1, 1},
      {"LockedOptionOff", false, false, true, 2, 6, 1},
  };
  for (const auto& Row : kRows) {
    SCOPED_TRACE(Row.Name);
    TExcelFileCreator W(Settings("/a\r\n", "/b\r\n", Row.Coloured));
    W.AddRow(Row.Equal, Row.Locked, "1", "    <t/>", "", "    <t/>", "    <t/>", "");
    const TSheetView V(W);
    for (const char* Ref : {"A10", "B10", "F10"}) EXPECT_EQ(V.At(Ref).Style, Row.Number) << Ref;
    EXPECT_EQ(V.At("C10").Style, Row.Source);
    for (const char* Ref : {"D10", "E10", "G10"}) EXPECT_EQ(V.At(Ref).Style, Row.Text) << Ref;
  }
}

TEST(ExcelStrings, InputTextsEscapedCaptionsAsTheyStand) {
  TExcelFileCreator W(Settings("/in/R&D <1>.sdlxliff\r\n", "/b\r\n"));
  W.AddCaption();
  W.AddJoinRow("/tmp/R&D.sdlxliff (en > de)");
  W.AddRow(false, false, "1", "    <t/>", "<99&>", "    <t/>", "    <t/>", "");
  W.AddTotalInfo(1, 1, "");
  const std::string Strings = W.BuildSharedStrings();
  EXPECT_NE(Strings.find("    <t>/tmp/R&amp;D.sdlxliff (en &gt; de)</t>"), std::string::npos);
  EXPECT_NE(Strings.find("    <t>&lt;99&amp;&gt;</t>"), std::string::npos);
  EXPECT_NE(Strings.find("    <t>/in/R&amp;D &lt;1&gt;.sdlxliff</t>"), std::string::npos);
  EXPECT_NE(Strings.find("    <t>ED, %</t>"), std::string::npos);
  const TSheetView V(W);
  EXPECT_EQ(V.At("A11").Text(), "/tmp/R&D.sdlxliff (en > de)");
  EXPECT_EQ(V.At("B12").Text(), "<99&>");
}

TEST(ExcelStrings, ControlCharactersAndLiteralEscapesInCells) {
  TExcelFileCreator W(Settings());
  const std::vector<TStep> Tr = {{U'a', true}, {U'\x01', false}, {U'_', true}, {U'x', true}, {U'0', true},
                                 {U'0', true}, {U'4', true},     {U'1', true}, {U'_', true}};
  W.AddRow(false, false, "1", "    <t/>", "", Fold(W, true, Tr), "    <t/>", "");
  W.AddJoinRow(std::string("label\x02"));
  const std::string Strings = W.BuildSharedStrings();
  EXPECT_NE(Strings.find(">_x0001_</t>"), std::string::npos);
  EXPECT_NE(Strings.find(">_x005F_x0041_</t>"), std::string::npos);
  EXPECT_NE(Strings.find("<t>label_x0002_</t>"), std::string::npos);
  const TSheetView V(W);  // parses, so no forbidden character is left
  EXPECT_EQ(V.At("D10").Runs.size(), 3u);
}

TEST(ExcelStrings, OverlongCellCutWithEllipsisKeepingRuns) {
  TExcelFileCreator W(Settings());
  std::vector<TStep> Ed(20000, {U'k', true});
  Ed.insert(Ed.end(), 20000, {U'n', false});
  W.AddRow(false, false, "1", "    <t/>", "", "    <t/>", Fold(W, false, Ed), "");
  const TSheetView V(W);
  const auto& Runs = V.At("E10").Runs;
  ASSERT_EQ(Runs.size(), 2u);
  EXPECT_EQ(Runs[0], (TRun{"", std::string(20000, 'k')}));
  EXPECT_EQ(Runs[1], (TRun{kBlue, std::string(32767 - 20000 - 1, 'n') + "\xE2\x80\xA6"}));
}

TEST(ExcelStrings, RussianInterfaceLabels) {
  TDiffFileConstructorSettings S = Settings();
  S.LocalizationLanguare = TLocalizationLanguare::llRU;
  TExcelFileCreator W(S);
  W.AddCaption();
  W.AddTotalInfo(0, 0, "");
  const TSheetView V(W);
  EXPECT_EQ(V.At("C10").Text(), GetLocalizedText(TMsg::XlsxColumnSourceText, TLocalizationLanguare::llRU));
  EXPECT_EQ(V.At("A6").Text(), GetLocalizedText(TMsg::XlsxTotalSegments, TLocalizationLanguare::llRU));
  EXPECT_NE(V.At("C10").Text(), "Source text:");
}

}  // namespace
}  // namespace lexmora
