// The workbook as people work in it: numbers where the report holds numbers, the table's caption
// frozen and filtered, the printout one page wide; every worksheet element in schema order.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "ExcelAnalysisSheetUnit.h"
#include "ExcelCellValueUnit.h"
#include "ExcelSheetView.h"
#include "ExportToExcelUnit.h"
#include "LocalizationUnit.h"

namespace lexmora {
namespace {

using testing_excel::TSheetView;

TEST(ExcelNumberText, NumbersAndLookalikes) {
  const struct {
    const char* Text;
    bool Number;
  } kRows[] = {{"0", true},
               {"95", true},
               {"100", true},
               {"66.7", true},
               {"-3", true},
               {"0.05", true},
               {"", false},
               {"95%", false},
               {" 95", false},
               {"95 ", false},
               {"+5", false},
               {"1e3", false},
               {"07", false},
               {"5.", false},
               {".5", false},
               {"1.50", false},
               {"-0", false},
               {"-", false},
               {"1.2.3", false},
               {"CM", false},
               {"1,5", false},
               {"\xD9\xA5", false},  // an Arabic-Indic five
               {"123456789012345", true},
               {"1234567890123456", false},
               {"12345678901234.5", true},
               {"12345678901234.56", false}};
  for (const auto& Row : kRows) EXPECT_EQ(IsPlainNumber(Row.Text), Row.Number) << '"' << Row.Text << '"';
}

// Whatever a number cell holds, a reader prints it back as the text it was written from.
TEST(ExcelNumberText, EveryNumberReadsBackAsItsText) {
  unsigned Seed = 1;
  const auto Next = [&Seed] { return Seed = Seed * 1103515245u + 12345u; };
  for (int I = 0; I < 20000; ++I) {
    std::string Text;
    const unsigned Kind = Next() % 4;
    for (unsigned D = 0, N = 1 + Next() % 8; D < N; ++D) Text += static_cast<char>('0' + Next() % 10);
    if (Kind == 1) Text.append(".").append(std::to_string(Next() % 1000));
    if (Kind == 2) Text.insert(Text.begin(), '-');
    if (!IsPlainNumber(Text)) continue;
    char Back[64];
    std::snprintf(Back, sizeof Back, "%.15g", std::strtod(Text.c_str(), nullptr));
    EXPECT_EQ(Back, Text);
  }
}

TDiffFileConstructorSettings Settings() {
  TDiffFileConstructorSettings S;
  S.TranslatorFiles = {"/in/a.sdlxliff"};
  S.EditorFiles = {"/out/a.sdlxliff"};
  S.ResultFileName = "/nonexistent/Results/Result_20261209_080000_";
  S.ResultFileFormat = TResultFileFormat::rffXLSX;
  return S;
}

// Caption row 10, label row 11 and a first segment row 12 below the totals of one file per side.
void StartTable(TExcelFileCreator& W) {
  W.AddCaption();
  W.AddJoinRow("/in/a.sdlxliff (en-US > de-DE)");
  W.AddRow(false, false, "1", "    <t>a</t>", "95", "    <t>a</t>", "    <t>b</t>", "100");
}

TEST(ExcelValueCells, MatchAndEditDistanceAreNumbersOnlyWhereTheyHoldOne) {
  TExcelFileCreator W(Settings());
  StartTable(W);
  W.AddRow(false, false, "2", "    <t>a</t>", "95%", "    <t>a</t>", "    <t>b</t>", "");
  W.AddRow(true, false, "3", "    <t>a</t>", "", "    <t>a</t>", "    <t>a</t>", "0");
  W.AddRow(true, false, "4", "    <t>a</t>", "CM", "    <t>a</t>", "    <t>a</t>", "07");
  W.AddTotalInfo(4, 2, "50%");
  const TSheetView V(W);
  const struct {
    const char* Ref;
    bool Number;
    const char* Text;
  } kCells[] = {{"B12", true, "95"},  {"F12", true, "100"}, {"B13", false, "95%"},
                {"F13", false, ""},   {"B14", false, ""},   {"F14", true, "0"},
                {"B15", false, "CM"}, {"F15", false, "07"}, {"A12", false, "1"}};
  for (const auto& Cell : kCells) {
    EXPECT_EQ(V.At(Cell.Ref).IsNumber, Cell.Number) << Cell.Ref;
    EXPECT_EQ(V.At(Cell.Ref).Text(), Cell.Text) << Cell.Ref;
    EXPECT_EQ(V.At(Cell.Ref).Style, 2) << Cell.Ref;
  }
  // The totals' counts stay text.
  EXPECT_FALSE(V.At("D6").IsNumber);
  EXPECT_EQ(V.At("D6").Text(), "4");
  // A number cell's string stays in the table, so the strings and their indexes are as before.
  EXPECT_EQ(V.SharedItems, 7 + 1 + 4 * 7 + 18);
  EXPECT_EQ(V.At("C13").StringIndex, 7 + 1 + 7 + 2);
}

// The order of CT_Worksheet's children in the Office Open XML schema (those the report can use).
const std::vector<std::string> kSchemaOrder = {"sheetPr",     "dimension", "sheetViews", "sheetFormatPr",
                                               "cols",        "sheetData", "autoFilter", "mergeCells",
                                               "pageMargins", "pageSetup", "drawing"};

std::vector<std::string> Children(const pugi::xml_document& ADoc) {
  std::vector<std::string> Names;
  for (const pugi::xml_node N : ADoc.document_element().children()) Names.push_back(N.name());
  return Names;
}

void ExpectSchemaOrder(const std::vector<std::string>& ANames) {
  std::size_t At = 0;
  for (const std::string& Name : ANames) {
    while (At < kSchemaOrder.size() && kSchemaOrder[At] != Name) ++At;
    ASSERT_LT(At, kSchemaOrder.size()) << Name << " is out of schema order or unknown";
    ++At;  // each element once
  }
}

pugi::xml_document Parse(const std::string& APart) {
  pugi::xml_document Doc;
  EXPECT_TRUE(Doc.load_buffer(APart.data(), APart.size()));
  return Doc;
}

TEST(ExcelSheetSetup, SegmentSheetKeepsSchemaOrderWithEveryElement) {
  TExcelFileCreator W(Settings());
  StartTable(W);
  W.AddTotalInfo(1, 1, "100%");
  const auto Doc = Parse(W.BuildSheet1());
  ExpectSchemaOrder(Children(Doc));
  EXPECT_EQ(Children(Doc).size(), kSchemaOrder.size());
  // The values themselves are read by the workbook library in the end-to-end check.
  const auto Book = Parse(BuildWorkbookPart(TLocalizationLanguare::llEN, false, W.SegmentTable()));
  EXPECT_STREQ(
      Book.child("workbook").child("definedNames").find_child_by_attribute("name", "_xlnm.Print_Titles").text().get(),
      "'Sheet1'!$10:$10");
}

TEST(ExcelSheetSetup, WithoutSegmentsNothingIsFrozenOrFiltered) {
  TExcelFileCreator W(Settings());
  W.AddTotalInfo(0, 0, "");
  const auto Doc = Parse(W.BuildSheet1());
  ExpectSchemaOrder(Children(Doc));
  const auto Ws = Doc.child("worksheet");
  EXPECT_FALSE(Ws.child("sheetViews").child("sheetView").child("pane"));
  EXPECT_FALSE(Ws.child("autoFilter"));
  EXPECT_STREQ(Ws.child("pageSetup").attribute("orientation").value(), "landscape");
  EXPECT_EQ(BuildWorkbookPart(TLocalizationLanguare::llEN, false, W.SegmentTable()).find("definedNames"),
            std::string::npos);
}

TEST(ExcelSheetSetup, AnalysisSheetFreezesAndFiltersItsDocumentsTable) {
  TPairAnalysis A;
  TSegmentFacts F;
  F.Document = "a.sdlxliff";
  F.CountsForTotal = true;
  F.Length = 3;
  F.EditSteps = 1;
  F.Changed = true;
  A.Add(F);
  const TAnalysisSheetPart Sheet = BuildAnalysisSheetPart(A, TPairingAudit(), TLocalizationLanguare::llRU);
  const auto Doc = Parse(Sheet.Xml);
  ExpectSchemaOrder(Children(Doc));
  const auto Ws = Doc.child("worksheet");
  // Heading, gap, bands heading, captions, six bands, total, gap, documents heading, captions.
  EXPECT_STREQ(Ws.child("sheetViews").child("sheetView").child("pane").attribute("ySplit").value(), "14");
  EXPECT_FALSE(Ws.child("sheetViews").child("sheetView").attribute("tabSelected"));
  EXPECT_STREQ(Ws.child("autoFilter").attribute("ref").value(), "A14:D15");
  EXPECT_STREQ(Ws.child("pageSetup").attribute("fitToWidth").value(), "1");
  const auto Book = Parse(BuildWorkbookPart(TLocalizationLanguare::llRU, true, {10, 20, 'G'}, Sheet.Table));
  std::vector<std::string> Names;
  for (const pugi::xml_node N : Book.child("workbook").child("definedNames").children())
    Names.push_back(std::string(N.attribute("name").value()) + "@" + N.attribute("localSheetId").value() + "=" +
                    N.text().get());
  const std::string Sheet2 = "'" + GetLocalizedText(TMsg::AnalysisSheetName, TLocalizationLanguare::llRU) + "'!";
  const std::string Sheet1 = "'" + GetLocalizedText(TMsg::XlsxSheetName, TLocalizationLanguare::llRU) + "'!";
  EXPECT_EQ(Names,
            (std::vector<std::string>{
                "_xlnm._FilterDatabase@0=" + Sheet1 + "$A$10:$G$20", "_xlnm.Print_Titles@0=" + Sheet1 + "$10:$10",
                "_xlnm._FilterDatabase@1=" + Sheet2 + "$A$14:$D$15", "_xlnm.Print_Titles@1=" + Sheet2 + "$14:$14"}));
  // The names follow the sheets, as the schema orders a workbook's children.
  EXPECT_STREQ(Book.child("workbook").child("sheets").next_sibling().name(), "definedNames");
}

TEST(ExcelSheetSetup, ApostropheInASheetNameIsDoubledInReferences) {
  EXPECT_NE(DefinedNameLines(0, "It's", {3, 9, 'C'}).find(">'It''s'!$A$3:$C$9<"), std::string::npos);
  EXPECT_EQ(DefinedNameLines(0, "S", {}), "");
}

}  // namespace
}  // namespace lexmora
