// The analysis section of the HTML report.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "ExportToHTMLUnit.h"
#include "HtmlAnalysisUnit.h"
#include "HtmlViewerUnit.h"
#include "LocalizationUnit.h"

namespace lexmora {
namespace {

TPairAnalysis SampleAnalysis(const std::string& ADocument, TCostTerms ACost = {}) {
  TPairAnalysis A(TEditBands(), std::move(ACost));
  TSegmentFacts F;
  F.Document = ADocument;
  F.Source = {3, 17};
  F.CountsForTotal = true;
  F.Length = 10;
  F.Metrics.Ter = {0, 4};
  F.Metrics.WordEdit = {0, 3};
  A.Add(F);
  F.EditSteps = 6;
  F.Changed = true;
  F.Source = {1, 4};
  F.Metrics.Ter = {3, 4};
  F.Metrics.WordEdit = {2, 5};
  A.Add(F);
  return A;
}

TAuditEntry Entry(TAuditSide ASide, const std::string& AUnit, int ARow, const std::string& AText = "") {
  TAuditEntry E;
  E.Side = ASide;
  E.Document = "before/m\x01<&>.sdlxliff";
  E.UnitID = AUnit;
  E.SegmentID = "1";
  E.SourceLang = "en-US";
  E.TargetLang = "de-DE";
  E.Row = ARow;
  E.Text = AText;
  return E;
}

pugi::xml_document ParseSection(const std::string& ASection, pugi::xml_parse_result& AResult) {
  pugi::xml_document Doc;
  AResult = Doc.load_string(("<body>" + ASection + "</body>").c_str());
  return Doc;
}

std::vector<std::string> RowCells(const pugi::xml_node& ATable, std::size_t ARow) {
  std::vector<std::string> Cells;
  std::size_t I = 0;
  for (const pugi::xml_node Tr : ATable.children("tr"))
    if (I++ == ARow)
      for (const pugi::xml_node Td : Tr.children()) Cells.push_back(Td.text().get());
  return Cells;
}

}  // namespace

TEST(HtmlAnalysis, ThreeTablesWithNumbersAndEscapedNames) {
  TPairingAudit Audit;
  Audit.MissingInEdited.push_back(Entry(TAuditSide::asSource, "u3", 7));
  Audit.OnlyInEdited.push_back(Entry(TAuditSide::asEdited, "u9", 0, "Neu <b>"));
  Audit.DuplicateIds.push_back(Entry(TAuditSide::asEdited, "u2", 0));
  const std::string Section =
      RenderHtmlAnalysis(SampleAnalysis("before/m\x01<&>.sdlxliff"), Audit, TLocalizationLanguare::llEN);
  pugi::xml_parse_result Parsed;
  const pugi::xml_document Doc = ParseSection(Section, Parsed);
  ASSERT_TRUE(Parsed) << Parsed.description();
  const pugi::xml_node Div = Doc.child("body").child("div");
  std::vector<pugi::xml_node> Tables;
  for (const pugi::xml_node T : Div.children("table")) Tables.push_back(T);
  ASSERT_EQ(Tables.size(), 5u);

  // Bands: caption row, six bands, total.
  EXPECT_EQ(RowCells(Tables[0], 0).front(), "ED, %");
  EXPECT_EQ(RowCells(Tables[0], 1),
            (std::vector<std::string>{"100", "1", "3", "17", FloatToRoundedStr(1, 75), "1", "3", "17"}));
  EXPECT_EQ(RowCells(Tables[0], 6)[0], "0-49");
  EXPECT_EQ(RowCells(Tables[0], 6)[1], "1");  // ED 40
  EXPECT_EQ(RowCells(Tables[0], 5)[1], "0");
  EXPECT_EQ(RowCells(Tables[0], 7), (std::vector<std::string>{"Total", "2", "4", "21", "100", "2", "4", "21"}));

  const std::vector<std::string> Doc1 = RowCells(Tables[1], 1);
  EXPECT_EQ(Doc1[0], "before/m\uFFFD<&>.sdlxliff");  // a control character cannot stand in XML
  EXPECT_EQ(Doc1[1], "2");
  EXPECT_EQ(Doc1[2], "1");
  EXPECT_EQ(Doc1[3], "70%");

  EXPECT_EQ(RowCells(Tables[2], 1), (std::vector<std::string>{"missing in the edited files", Doc1[0], "u3", "1",
                                                              "en-US > de-DE", "source", "7", ""}));
  EXPECT_EQ(RowCells(Tables[2], 2).back(), "Neu <b>");
  EXPECT_EQ(RowCells(Tables[2], 2)[6], "");
  EXPECT_EQ(RowCells(Tables[2], 3)[0], "identity occurs again");

  // Metrics by band and by document: corpus figures from summed statistics, not means.
  EXPECT_EQ(RowCells(Tables[3], 0), (std::vector<std::string>{"ED, %", "Words", "TER, %", "chrF", "Word ED, %"}));
  EXPECT_EQ(RowCells(Tables[3], 1)[2], "0");
  EXPECT_EQ(RowCells(Tables[3], 1)[4], "100");
  EXPECT_EQ(RowCells(Tables[3], 6)[2], "75");
  EXPECT_EQ(RowCells(Tables[3], 6)[4], "60");
  EXPECT_EQ(RowCells(Tables[3], 7)[0], "Total");
  EXPECT_EQ(RowCells(Tables[3], 7)[2], FloatToRoundedStr(1, 37.5));
  EXPECT_EQ(RowCells(Tables[3], 7)[4], "75");
  EXPECT_EQ(RowCells(Tables[4], 1)[0], Doc1[0]);
  EXPECT_EQ(RowCells(Tables[4], 1)[2], FloatToRoundedStr(1, 37.5));
  EXPECT_EQ(Section.find("Cost by band"), std::string::npos);
  EXPECT_EQ(Section.find("Every segment was paired."), std::string::npos);
  EXPECT_EQ(Section.find("<script"), std::string::npos);
}

TEST(HtmlAnalysis, EmptyAuditSaysSoInTheInterfaceLanguage) {
  for (const auto Lang : {TLocalizationLanguare::llEN, TLocalizationLanguare::llRU}) {
    const std::string Section = RenderHtmlAnalysis(SampleAnalysis("a"), TPairingAudit(), Lang);
    pugi::xml_parse_result Parsed;
    const pugi::xml_document Doc = ParseSection(Section, Parsed);
    ASSERT_TRUE(Parsed);
    const pugi::xml_node Div = Doc.child("body").child("div");
    EXPECT_EQ(std::distance(Div.children("table").begin(), Div.children("table").end()), 4);
    EXPECT_STREQ(Div.child("p").text().get(), GetLocalizedText(TMsg::AuditAllPaired, Lang).c_str());
    EXPECT_NE(Section.find(GetLocalizedText(TMsg::AnalysisHeading, Lang)), std::string::npos);
  }
  EXPECT_EQ(GetLocalizedText(TMsg::AuditAllPaired, TLocalizationLanguare::llEN), "Every segment was paired.");
}

TEST(HtmlAnalysis, PageCarriesTheSectionAfterTheSegmentTable) {
  TDiffFileConstructorSettings Settings;
  THTMLFileCreator Writer(Settings);
  Writer.AddCaption();
  Writer.AddJoinRow("a (en-US > de-DE)");
  Writer.AddRow(true, false, "1", "s", "", "t", "t", "100");
  Writer.AddTotalInfo(1, 0, "100%");
  const std::string Without = Writer.BuildPage();
  Writer.AddAnalysis(SampleAnalysis("a"), TPairingAudit());
  const std::string With = Writer.BuildPage();
  const std::size_t End = Without.find(RenderHtmlViewer(Settings.LocalizationLanguare));
  ASSERT_NE(End, std::string::npos);
  // Everything before the section is unchanged; the section follows the segment table.
  EXPECT_EQ(With.substr(0, End), Without.substr(0, End));
  EXPECT_EQ(With.substr(End, 26), "<div class=\"analysis\">\r\n<h");
  pugi::xml_document Doc;
  EXPECT_TRUE(Doc.load_string(With.c_str() + 3));
}

TEST(HtmlAnalysis, CostTableWeighsEachBandsWordsByItsRate) {
  TCostTerms Cost;
  ASSERT_TRUE(ParseBandRates("100:0,95:25,85:50,75:70,50:100,0:62.5", Cost.Rates));
  Cost.WordPrice = 0.1;
  Cost.Currency = "EUR<";
  const std::string Section =
      RenderHtmlAnalysis(SampleAnalysis("a", Cost), TPairingAudit(), TLocalizationLanguare::llEN);
  pugi::xml_parse_result Parsed;
  const pugi::xml_document Doc = ParseSection(Section, Parsed);
  ASSERT_TRUE(Parsed) << Parsed.description();
  std::vector<pugi::xml_node> Tables;
  for (const pugi::xml_node T : Doc.child("body").child("div").children("table")) Tables.push_back(T);
  ASSERT_EQ(Tables.size(), 5u);
  EXPECT_EQ(RowCells(Tables[4], 0),
            (std::vector<std::string>{"ED, %", "Words", "Rate, % of full", "Weighted words", "Cost, EUR<"}));
  // 3 words at 0 % and 1 word at 62.5 %.
  EXPECT_EQ(RowCells(Tables[4], 1), (std::vector<std::string>{"100", "3", "0", "0", "0"}));
  EXPECT_EQ(RowCells(Tables[4], 6),
            (std::vector<std::string>{"0-49", "1", FloatToRoundedStr(2, 62.5), FloatToRoundedStr(1, 0.625),
                                      FloatToRoundedStr(2, 0.0625)}));
  EXPECT_EQ(RowCells(Tables[4], 7),
            (std::vector<std::string>{"Total", "4", "", FloatToRoundedStr(1, 0.625), FloatToRoundedStr(2, 0.0625)}));

  // Without a price there is no cost column.
  Cost.WordPrice.reset();
  const std::string NoPrice =
      RenderHtmlAnalysis(SampleAnalysis("a", Cost), TPairingAudit(), TLocalizationLanguare::llEN);
  EXPECT_EQ(NoPrice.find("Cost, "), std::string::npos);
  EXPECT_NE(NoPrice.find("Weighted words"), std::string::npos);
}

}  // namespace lexmora
