// The "Analysis" worksheet and the workbook parts that announce it.
#include <gtest/gtest.h>

#include <algorithm>
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

// The formulas of the sheet by reference, with their cached values.
std::map<std::string, std::pair<std::string, double>> Formulas(const std::string& APart) {
  pugi::xml_document Doc;
  EXPECT_TRUE(Doc.load_string(APart.c_str() + 3));
  std::map<std::string, std::pair<std::string, double>> Result;
  for (const pugi::xml_node Row : Doc.child("worksheet").child("sheetData").children("row"))
    for (const pugi::xml_node C : Row.children("c"))
      if (C.child("f")) Result[C.attribute("r").value()] = {C.child("f").text().get(), C.child("v").text().as_double()};
  return Result;
}

// Works out the few formula shapes the cost table uses ("B9*C9/100", "D9*$B$7", "SUM(D9:D14)")
// from the sheet's own cells, so a cached value that disagrees with its formula shows.
double Evaluate(const std::string& AFormula, const std::map<std::string, std::pair<std::string, double>>& AFormulas,
                const std::map<std::string, std::pair<std::string, bool>>& ACells) {
  const auto Value = [&](std::string ARef) {
    ARef.erase(std::remove(ARef.begin(), ARef.end(), '$'), ARef.end());
    if (const auto F = AFormulas.find(ARef); F != AFormulas.end()) return F->second.second;
    return std::stod(ACells.at(ARef).first);
  };
  if (AFormula.rfind("SUM(", 0) == 0) {
    const std::string First = AFormula.substr(4, AFormula.find(':') - 4);
    const std::string Last = AFormula.substr(AFormula.find(':') + 1, AFormula.size() - AFormula.find(':') - 2);
    double Sum = 0;
    for (int Row = std::stoi(First.substr(1)); Row <= std::stoi(Last.substr(1)); ++Row)
      Sum += Value(First.substr(0, 1) + std::to_string(Row));
    return Sum;
  }
  const std::size_t Star = AFormula.find('*');
  const std::size_t Slash = AFormula.find('/');
  const double Product = Value(AFormula.substr(0, Star)) * Value(AFormula.substr(Star + 1, Slash - Star - 1));
  return Slash == std::string::npos ? Product : Product / std::stod(AFormula.substr(Slash + 1));
}

}  // namespace

TEST(ExcelAnalysisSheet, CostIsFormulasOnRateAndPriceCells) {
  TCostTerms Cost;
  ASSERT_TRUE(ParseBandRates("100:0,95:25,85:50,75:70,50:80,0:100", Cost.Rates));
  Cost.WordPrice = 0.12;
  Cost.Currency = "EUR";
  TPairAnalysis A(TEditBands(), Cost);
  TSegmentFacts F;
  F.Document = "a.sdlxliff";
  for (const auto& [Words, Steps] : {std::pair{10, 0}, {7, 1}, {5, 3}, {2, 9}}) {
    F.Source = {Words, Words * 5};
    F.Length = 10;
    F.EditSteps = Steps;
    A.Add(F);
  }
  const std::string Part = BuildAnalysisSheetPart(A, TPairingAudit(), TLocalizationLanguare::llEN).Xml;
  const auto C = Cells(Part);
  const auto Fs = Formulas(Part);
  // Per band a weighted-words and a cost formula, and three sums in the total row.
  ASSERT_EQ(Fs.size(), 6u * 2 + 3);
  std::string PriceRef, TotalCost;
  for (const auto& [Ref, F] : Fs) {
    SCOPED_TRACE(Ref + " = " + F.first);
    EXPECT_NEAR(Evaluate(F.first, Fs, C), F.second, 1e-9);
    if (F.first.find("$B$") != std::string::npos) PriceRef = F.first.substr(F.first.find("$B$") + 3);
    if (F.first.rfind("SUM(E", 0) == 0) TotalCost = Ref;
  }
  // The price stands in a cell of its own beside its caption.
  ASSERT_FALSE(PriceRef.empty());
  EXPECT_EQ(C.at("A" + PriceRef).first, "Full rate per word");
  EXPECT_EQ(C.at("B" + PriceRef), std::make_pair(std::string("0.12"), true));
  EXPECT_EQ(C.at("C" + PriceRef).first, "EUR");
  // ED 90, 70 and 10: 7 words at 50 %, 5 at 80 %, 2 at 100 %.
  ASSERT_FALSE(TotalCost.empty());
  EXPECT_NEAR(Fs.at(TotalCost).second, (7 * 0.5 + 5 * 0.8 + 2) * 0.12, 1e-12);
  EXPECT_NEAR(Fs.at(TotalCost).second, A.WeightedWordsTotal() * 0.12, 1e-12);
}

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
