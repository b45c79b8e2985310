// The "Analysis" worksheet and the workbook parts that announce it.
#include <gtest/gtest.h>

#include <map>
#include <pugixml.hpp>

#include "ExcelAnalysisSheetUnit.h"
#include "ExcelPackagePartsUnit.h"
#include "LocalizationUnit.h"

namespace lexmora {
namespace {

TPairAnalysis Sample() {
  TPairAnalysis A;
  TSegmentFacts F;
  F.Document = "a\x02.sdlxliff";
  F.Source = {3, 17};
  F.CountsForTotal = true;
  F.Length = 3;
  F.EditSteps = 1;
  F.Changed = true;
  A.Add(F);
  return A;
}

// The cells of the sheet by reference: value text and whether it is a number.
std::map<std::string, std::pair<std::string, bool>> Cells(const std::string& APart) {
  pugi::xml_document Doc;
  EXPECT_TRUE(Doc.load_string(APart.c_str() + 3));  // after the byte-order mark
  std::map<std::string, std::pair<std::string, bool>> Result;
  for (const pugi::xml_node Row : Doc.child("worksheet").child("sheetData").children("row"))
    for (const pugi::xml_node C : Row.children("c")) {
      const bool IsNumber = !C.attribute("t");
      Result[C.attribute("r").value()] = {IsNumber ? C.child("v").text().get() : C.child("is").child("t").text().get(),
                                          IsNumber};
    }
  return Result;
}

}  // namespace

TEST(ExcelAnalysisSheet, CountsAreNumbersAndTextsInline) {
  TPairingAudit Audit;
  TAuditEntry E;
  E.Document = "before/a.sdlxliff";
  E.UnitID = "u3";
  E.Row = 4;
  Audit.MissingInEdited.push_back(E);
  const auto C = Cells(BuildAnalysisSheetPart(Sample(), Audit, TLocalizationLanguare::llEN).Xml);
  EXPECT_EQ(C.at("A1"), std::make_pair(std::string("Post-editing analysis"), false));
  EXPECT_EQ(C.at("A4").first, "ED, %");
  // ED 66.7 rounds to 67: the 50-74 band, the sixth row of the table.
  EXPECT_EQ(C.at("A9"), std::make_pair(std::string("50-74"), false));
  EXPECT_EQ(C.at("B9"), std::make_pair(std::string("1"), true));
  EXPECT_EQ(C.at("C9"), std::make_pair(std::string("3"), true));
  EXPECT_EQ(C.at("D9"), std::make_pair(std::string("17"), true));
  EXPECT_EQ(C.at("E9"), std::make_pair(std::string("100"), true));
  EXPECT_EQ(C.at("A11").first, "Total");
  EXPECT_EQ(C.at("H11"), std::make_pair(std::string("17"), true));
  // Documents: heading, captions, one row with the edit distance as a number.
  EXPECT_EQ(C.at("A15").first, "a_x0002_.sdlxliff");  // a control character in the OOXML escape
  EXPECT_EQ(C.at("D15"), std::make_pair(std::string("66.7"), true));
  // Audit.
  EXPECT_EQ(C.at("A19").first, "missing in the edited files");
  EXPECT_EQ(C.at("G19"), std::make_pair(std::string("4"), true));
}

TEST(ExcelAnalysisSheet, EmptyAuditAndRussianTexts) {
  const auto C = Cells(BuildAnalysisSheetPart(Sample(), TPairingAudit(), TLocalizationLanguare::llRU).Xml);
  EXPECT_EQ(C.at("A18").first, GetLocalizedText(TMsg::AuditAllPaired, TLocalizationLanguare::llRU));
}

TEST(ExcelAnalysisSheet, WorkbookPartsNameTheSecondSheetOnlyWhenThereIsOne) {
  for (const bool With : {false, true}) {
    SCOPED_TRACE(With);
    const std::string Book = BuildWorkbookPart(TLocalizationLanguare::llRU, With);
    EXPECT_EQ(Book.find("\u0410\u043d\u0430\u043b\u0438\u0437") != std::string::npos, With);  // "Анализ"
    EXPECT_EQ(BuildWorkbookRelsPart(With).find("worksheets/sheet2.xml") != std::string::npos, With);
    EXPECT_EQ(BuildContentTypesPart(With).find("/xl/worksheets/sheet2.xml") != std::string::npos, With);
    const std::string App = BuildAppPart(TLocalizationLanguare::llEN, With);
    EXPECT_EQ(App.find("<vt:lpstr>Analysis</vt:lpstr>") != std::string::npos, With);
    EXPECT_NE(App.find(With ? "<vt:i4>2</vt:i4>" : "<vt:i4>1</vt:i4>"), std::string::npos);
    pugi::xml_document Doc;
    EXPECT_TRUE(Doc.load_string(App.c_str() + 3));
    EXPECT_TRUE(Doc.load_string(BuildContentTypesPart(With).c_str() + 3));
  }
}

}  // namespace lexmora
