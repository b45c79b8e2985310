// The "Analysis" worksheet.
#include "ExcelAnalysisSheetUnit.h"

#include <cmath>
#include <initializer_list>

#include "ExcelItemTextUnit.h"
#include "ExportToBaseUnit.h"
#include "LocalizationUnit.h"

namespace lexmora {

namespace {

// Cell styles of styles.xml: bordered text, bordered centred number, bold caption on grey.
constexpr int kText = 1, kNumber = 2, kCaption = 4, kHeading = 5;

class TSheet {
 public:
  explicit TSheet(TLocalizationLanguare ALang) : FLang(ALang) {}

  std::string Text(TMsg AMsg) const { return GetLocalizedText(AMsg, FLang); }
  void NewRow() {
    CloseRow();
    ++FRow;
    FCol = 0;
    FOut += "    <row r=\"" + std::to_string(FRow) + "\">\r\n";
    FOpen = true;
  }
  void Skip() { ++FCol; }
  void TextCell(const std::string& AText, int AStyle = kText) {
    // The same safety as the first sheet's texts: controls escaped, overlong texts cut.
    const std::string Item =
        PrepareItemText("<t xml:space=\"preserve\">" + TBaseFileCreator::EscapeText(AText) + "</t>");
    FOut += "      <c r=\"" + Ref() + "\" s=\"" + std::to_string(AStyle) + "\" t=\"inlineStr\"><is>" + Item +
            "</is></c>\r\n";
    ++FCol;
  }
  void NumberCell(double AValue, int AStyle = kNumber) {
    FOut +=
        "      <c r=\"" + Ref() + "\" s=\"" + std::to_string(AStyle) + "\"><v>" + NumberText(AValue) + "</v></c>\r\n";
    ++FCol;
  }
  // A formula with the value it has now, so a reader that does not calculate shows it too.
  void FormulaCell(const std::string& AFormula, double ACached, int AStyle = kNumber) {
    FOut += "      <c r=\"" + Ref() + "\" s=\"" + std::to_string(AStyle) + "\"><f>" + AFormula + "</f><v>" +
            NumberText(ACached) + "</v></c>\r\n";
    ++FCol;
  }
  void Captions(std::initializer_list<TMsg> AMsgs) {
    NewRow();
    for (const TMsg M : AMsgs) TextCell(Text(M), kCaption);
  }
  void Gap() { ++FRow; }
  std::string Finish() {
    CloseRow();
    return std::move(FOut);
  }
  int LastRow() const { return FRow; }
  // The reference of column ACol (0 for A) in the current row, or in ARow.
  static std::string RefAt(int ACol, int ARow) {
    return std::string(1, static_cast<char>('A' + ACol)) + std::to_string(ARow);
  }

 private:
  static std::string NumberText(double AValue) {
    char Buf[32];
    std::snprintf(Buf, sizeof Buf, "%.15g", AValue);  // locale-free: the C locale is never changed
    return Buf;
  }
  std::string Ref() const { return RefAt(FCol, FRow); }
  void CloseRow() {
    if (FOpen) FOut += "    </row>\r\n";
    FOpen = false;
  }

  TLocalizationLanguare FLang;
  std::string FOut;
  int FRow = 0, FCol = 0;
  bool FOpen = false;
};

void BandRow(TSheet& S, const std::string& ALabel, const TBandTotals& B, double AShare, int AStyle) {
  S.TextCell(ALabel, AStyle == kNumber ? kText : AStyle);
  for (const std::int64_t V : {B.Segments, B.Words, B.Characters}) S.NumberCell(static_cast<double>(V), AStyle);
  S.NumberCell(std::round(AShare * 10) / 10, AStyle);
  for (const std::int64_t V : {B.NoMatchSegments, B.NoMatchWords, B.NoMatchCharacters})
    S.NumberCell(static_cast<double>(V), AStyle);
}

// A figure as the HTML report shows it (one decimal), as a number.
double OneDecimal(double AValue) { return std::nearbyint(AValue * 10) / 10; }

void MetricCells(TSheet& S, const TMetricSums& M, int AStyle) {
  for (const double V : {M.TerPercent(), M.ChrfScore(), M.WordEditDistance()}) S.NumberCell(OneDecimal(V), AStyle);
}

void MetricTables(TSheet& S, const TPairAnalysis& AAnalysis) {
  using enum TMsg;
  S.Gap();
  S.NewRow();
  S.TextCell(S.Text(MetricsBandsHeading), kHeading);
  S.Captions(
      {AnalysisColumnBand, AnalysisColumnWords, MetricsColumnTer, MetricsColumnChrf, MetricsColumnWordEditDistance});
  for (std::size_t I = 0; I < AAnalysis.BandTotals().size(); ++I) {
    S.NewRow();
    S.TextCell(AAnalysis.Bands().Label(I));
    S.NumberCell(static_cast<double>(AAnalysis.BandTotals()[I].Words));
    MetricCells(S, AAnalysis.BandTotals()[I].Metrics, kNumber);
  }
  const TBandTotals Total = AAnalysis.Total();
  S.NewRow();
  S.TextCell(S.Text(AnalysisTotalRow), kCaption);
  S.NumberCell(static_cast<double>(Total.Words), kCaption);
  MetricCells(S, Total.Metrics, kCaption);

  S.Gap();
  S.NewRow();
  S.TextCell(S.Text(MetricsDocumentsHeading), kHeading);
  S.Captions({AnalysisColumnDocument, AnalysisColumnSegments, MetricsColumnTer, MetricsColumnChrf,
              MetricsColumnWordEditDistance});
  for (const TDocumentTotals& D : AAnalysis.Documents()) {
    S.NewRow();
    S.TextCell(D.Document);
    S.NumberCell(static_cast<double>(D.Segments));
    MetricCells(S, D.Metrics, kNumber);
  }
}

// The cost table: the rates and the price are cells of their own and everything worked out from
// them is a formula, so a rate changed in the spreadsheet moves the totals with it.
void CostTable(TSheet& S, const TPairAnalysis& AAnalysis) {
  using enum TMsg;
  const TCostTerms& Cost = AAnalysis.Cost();
  S.Gap();
  S.NewRow();
  S.TextCell(S.Text(CostHeading), kHeading);
  std::string PriceRef;
  if (Cost.WordPrice) {
    S.NewRow();
    S.TextCell(S.Text(CostWordPrice));
    S.NumberCell(*Cost.WordPrice);
    if (!Cost.Currency.empty()) S.TextCell(Cost.Currency);
    PriceRef = "$B$" + std::to_string(S.LastRow());
  }
  S.Captions({AnalysisColumnBand, AnalysisColumnWords, CostColumnRate, CostColumnWeightedWords});
  if (Cost.WordPrice) {
    std::string Caption = S.Text(CostColumnCost);
    if (!Cost.Currency.empty()) Caption += ", " + Cost.Currency;
    S.TextCell(Caption, kCaption);
  }
  const int First = S.LastRow() + 1;
  for (std::size_t I = 0; I < AAnalysis.BandTotals().size(); ++I) {
    S.NewRow();
    const int Row = S.LastRow();
    S.TextCell(AAnalysis.Bands().Label(I));
    S.NumberCell(static_cast<double>(AAnalysis.BandTotals()[I].Words));
    S.NumberCell(Cost.Rates[I].Percent);
    const double Weighted = AAnalysis.WeightedWords(I);
    S.FormulaCell(TSheet::RefAt(1, Row) + "*" + TSheet::RefAt(2, Row) + "/100", Weighted);
    if (Cost.WordPrice) S.FormulaCell(TSheet::RefAt(3, Row) + "*" + PriceRef, Weighted * *Cost.WordPrice);
  }
  const int Last = S.LastRow();
  const auto Sum = [&](int ACol) {
    return "SUM(" + TSheet::RefAt(ACol, First) + ":" + TSheet::RefAt(ACol, Last) + ")";
  };
  S.NewRow();
  S.TextCell(S.Text(AnalysisTotalRow), kCaption);
  S.FormulaCell(Sum(1), static_cast<double>(AAnalysis.Total().Words), kCaption);
  S.TextCell("", kCaption);
  S.FormulaCell(Sum(3), AAnalysis.WeightedWordsTotal(), kCaption);
  if (Cost.WordPrice) S.FormulaCell(Sum(4), AAnalysis.WeightedWordsTotal() * *Cost.WordPrice, kCaption);
}

void AuditRows(TSheet& S, const std::vector<TAuditEntry>& AEntries, TMsg AFinding) {
  for (const TAuditEntry& E : AEntries) {
    S.NewRow();
    S.TextCell(S.Text(AFinding));
    S.TextCell(E.Document);
    S.TextCell(E.UnitID);
    S.TextCell(E.SegmentID);
    S.TextCell(E.SourceLang + " > " + E.TargetLang);
    S.TextCell(S.Text(E.Side == TAuditSide::asSource ? TMsg::AuditSideSource : TMsg::AuditSideEdited));
    if (E.Row > 0)
      S.NumberCell(E.Row);
    else
      S.TextCell("");
    S.TextCell(E.Text);
  }
}

}  // namespace

TAnalysisSheetPart BuildAnalysisSheetPart(const TPairAnalysis& AAnalysis, const TPairingAudit& AAudit,
                                          TLocalizationLanguare ALang) {
  using enum TMsg;
  TSheet S(ALang);
  S.NewRow();
  S.TextCell(S.Text(AnalysisHeading), kHeading);
  S.Gap();
  S.NewRow();
  S.TextCell(S.Text(AnalysisBandsHeading), kHeading);
  S.Captions({AnalysisColumnBand, AnalysisColumnSegments, AnalysisColumnWords, AnalysisColumnCharacters,
              AnalysisColumnWordShare, AnalysisColumnNoMatchSegments, AnalysisColumnNoMatchWords,
              AnalysisColumnNoMatchCharacters});
  for (std::size_t I = 0; I < AAnalysis.BandTotals().size(); ++I) {
    S.NewRow();
    BandRow(S, AAnalysis.Bands().Label(I), AAnalysis.BandTotals()[I], AAnalysis.WordShare(I), kNumber);
  }
  const TBandTotals Total = AAnalysis.Total();
  S.NewRow();
  BandRow(S, S.Text(AnalysisTotalRow), Total, Total.Words == 0 ? 0.0 : 100.0, kCaption);

  S.Gap();
  S.NewRow();
  S.TextCell(S.Text(AnalysisDocumentsHeading), kHeading);
  S.Captions(
      {AnalysisColumnDocument, AnalysisColumnSegments, AnalysisColumnEditedSegments, AnalysisColumnTotalEditDistance});
  TExcelTable Documents{S.LastRow(), S.LastRow(), 'D'};
  for (const TDocumentTotals& D : AAnalysis.Documents()) {
    S.NewRow();
    S.TextCell(D.Document);
    S.NumberCell(static_cast<double>(D.Segments));
    S.NumberCell(static_cast<double>(D.Edited));
    if (D.SumLengths == 0)
      S.TextCell("");
    else  // the report's figure (one decimal) as a number
      S.NumberCell(std::nearbyint(SegmentEditDistance(D.SumSteps, D.SumLengths) * 10) / 10);
  }
  Documents.LastRow = S.LastRow();

  S.Gap();
  S.NewRow();
  S.TextCell(S.Text(AuditHeading), kHeading);
  if (AAudit.Empty()) {
    S.NewRow();
    S.TextCell(S.Text(AuditAllPaired), kText);
  } else {
    S.Captions({AuditColumnFinding, AnalysisColumnDocument, AuditColumnUnitId, AuditColumnSegmentId,
                AuditColumnLanguages, AuditColumnSide, AuditColumnRow, AuditColumnEditedText});
    AuditRows(S, AAudit.MissingInEdited, AuditMissingInEdited);
    AuditRows(S, AAudit.OnlyInEdited, AuditOnlyInEdited);
    AuditRows(S, AAudit.DuplicateIds, AuditDuplicateId);
  }
  MetricTables(S, AAnalysis);
  if (AAnalysis.Cost().HasRates()) CostTable(S, AAnalysis);
  const std::string Rows = S.Finish();

  std::string Result =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">\r\n" +
      FitToWidthLines() + "  <dimension ref=\"A1:H" + std::to_string(S.LastRow()) + "\"/>\r\n" +
      SheetViewLines(Documents, false) +
      "  <sheetFormatPr defaultRowHeight=\"20\"/>\r\n"
      "  <cols>\r\n"
      "    <col min=\"1\" max=\"1\" width=\"40\" customWidth=\"1\"/>\r\n"
      "    <col min=\"2\" max=\"7\" width=\"16\" customWidth=\"1\"/>\r\n"
      "    <col min=\"8\" max=\"8\" width=\"40\" customWidth=\"1\"/>\r\n"
      "  </cols>\r\n"
      "  <sheetData>\r\n";
  Result += Rows;
  Result += "  </sheetData>\r\n" + AutoFilterLines(Documents) + PrintSetupLines() + "</worksheet>\r\n";
  return {std::move(Result), Documents};
}

}  // namespace lexmora
