// The analysis section of the HTML report.
#include "HtmlAnalysisUnit.h"

#include <initializer_list>

#include "ExportToHTMLUnit.h"
#include "LocalizationUnit.h"

namespace lexmora {

namespace {

const char* const CRLF = "\r\n";

// Headings stay with the table they name when the page is printed.
const char* const HeadingStyle = " style=\"font: bold 22px Arial, sans-serif;page-break-after: avoid;\"";
const char* const TableOpen = "<table cellpadding=\"3\" cellspacing=\"1\" border=\"0\" class=\"t02\">";
const char* const TotalRowOpen = "<tr style=\"background-color: #eee;font-weight:bolder;\">";

class TSection {
 public:
  explicit TSection(TLocalizationLanguare ALang) : FLang(ALang) {}

  std::string Text(TMsg AMsg) const { return GetLocalizedText(AMsg, FLang); }
  void Line(const std::string& ALine) {
    FOut += ALine;
    FOut += CRLF;
  }
  void Heading(const char* ATag, TMsg AMsg) {
    Line(std::string("<") + ATag + HeadingStyle + ">" + Text(AMsg) + "</" + ATag + ">");
  }
  void Captions(std::initializer_list<TMsg> AMsgs) {
    Line("<tr style=\"background-color: #ccc;\">");
    for (const TMsg M : AMsgs) Line("<th class=\"ac\">" + Text(M) + "</th>");
    Line("</tr>");
  }
  // A cell with text from the files (escaped) in class AClass.
  void Cell(const char* AClass, const std::string& AText) {
    Line(std::string("<td class=\"") + AClass + "\">" + THTMLFileCreator::PageText(AText) + "</td>");
  }
  void Number(std::int64_t AValue) { Cell("ar", std::to_string(AValue)); }
  std::string Take() { return std::move(FOut); }

 private:
  TLocalizationLanguare FLang;
  std::string FOut;
};

void BandRow(TSection& S, const std::string& ALabel, const TBandTotals& B, double AShare) {
  S.Cell("ac", ALabel);
  S.Number(B.Segments);
  S.Number(B.Words);
  S.Number(B.Characters);
  S.Cell("ar", FloatToRoundedStr(1, AShare));
  S.Number(B.NoMatchSegments);
  S.Number(B.NoMatchWords);
  S.Number(B.NoMatchCharacters);
  S.Line("</tr>");
}

void MetricCells(TSection& S, const TMetricSums& M) {
  S.Cell("ar", MetricText(M.TerPercent()));
  S.Cell("ar", MetricText(M.ChrfScore()));
  S.Cell("ar", MetricText(M.WordEditDistance()));
  S.Line("</tr>");
}

void MetricTables(TSection& S, const TPairAnalysis& AAnalysis) {
  using enum TMsg;
  S.Heading("h3", MetricsBandsHeading);
  S.Line(TableOpen);
  S.Captions(
      {AnalysisColumnBand, AnalysisColumnWords, MetricsColumnTer, MetricsColumnChrf, MetricsColumnWordEditDistance});
  for (std::size_t I = 0; I < AAnalysis.BandTotals().size(); ++I) {
    S.Line("<tr class=\"eq\">");
    S.Cell("ac", AAnalysis.Bands().Label(I));
    S.Number(AAnalysis.BandTotals()[I].Words);
    MetricCells(S, AAnalysis.BandTotals()[I].Metrics);
  }
  const TBandTotals Total = AAnalysis.Total();
  S.Line(TotalRowOpen);
  S.Cell("ac", S.Text(AnalysisTotalRow));
  S.Number(Total.Words);
  MetricCells(S, Total.Metrics);
  S.Line("</table>");

  S.Heading("h3", MetricsDocumentsHeading);
  S.Line(TableOpen);
  S.Captions({AnalysisColumnDocument, AnalysisColumnSegments, MetricsColumnTer, MetricsColumnChrf,
              MetricsColumnWordEditDistance});
  for (const TDocumentTotals& D : AAnalysis.Documents()) {
    S.Line("<tr class=\"eq\">");
    S.Cell("al", D.Document);
    S.Number(D.Segments);
    MetricCells(S, D.Metrics);
  }
  S.Line("</table>");
}

void CostRow(TSection& S, const TCostTerms& ACost, std::int64_t AWords, const std::string& ARate, double AWeighted) {
  S.Number(AWords);
  S.Cell("ar", ARate);
  S.Cell("ar", FloatToRoundedStr(1, AWeighted));
  if (ACost.WordPrice) S.Cell("ar", FloatToRoundedStr(2, AWeighted * *ACost.WordPrice));
  S.Line("</tr>");
}

void CostTable(TSection& S, const TPairAnalysis& AAnalysis) {
  using enum TMsg;
  const TCostTerms& Cost = AAnalysis.Cost();
  const std::string Currency = THTMLFileCreator::PageText(Cost.Currency);
  S.Heading("h3", CostHeading);
  if (Cost.WordPrice) {
    std::string Price = S.Text(CostWordPrice) + ": " + FloatToRoundedStr(6, *Cost.WordPrice);
    if (!Currency.empty()) Price += ' ' + Currency;
    S.Line("<p>" + Price + "</p>");
  }
  S.Line(TableOpen);
  S.Line("<tr style=\"background-color: #ccc;\">");
  for (const TMsg M : {AnalysisColumnBand, AnalysisColumnWords, CostColumnRate, CostColumnWeightedWords})
    S.Line("<th class=\"ac\">" + S.Text(M) + "</th>");
  if (Cost.WordPrice) {
    std::string Caption = S.Text(CostColumnCost);
    if (!Currency.empty()) Caption += ", " + Currency;
    S.Line("<th class=\"ac\">" + Caption + "</th>");
  }
  S.Line("</tr>");
  for (std::size_t I = 0; I < AAnalysis.BandTotals().size(); ++I) {
    S.Line("<tr class=\"eq\">");
    S.Cell("ac", AAnalysis.Bands().Label(I));
    CostRow(S, Cost, AAnalysis.BandTotals()[I].Words, FloatToRoundedStr(2, Cost.Rates[I].Percent),
            AAnalysis.WeightedWords(I));
  }
  S.Line(TotalRowOpen);
  S.Cell("ac", S.Text(AnalysisTotalRow));
  CostRow(S, Cost, AAnalysis.Total().Words, std::string(), AAnalysis.WeightedWordsTotal());
  S.Line("</table>");
}

void AuditRows(TSection& S, const std::vector<TAuditEntry>& AEntries, TMsg AFinding) {
  for (const TAuditEntry& E : AEntries) {
    S.Line("<tr class=\"eq\">");
    S.Cell("al", S.Text(AFinding));
    S.Cell("al", E.Document);
    S.Cell("al", E.UnitID);
    S.Cell("al", E.SegmentID);
    S.Cell("ac", E.SourceLang + " > " + E.TargetLang);
    S.Cell("ac", S.Text(E.Side == TAuditSide::asSource ? TMsg::AuditSideSource : TMsg::AuditSideEdited));
    S.Cell("ar", E.Row > 0 ? std::to_string(E.Row) : std::string());
    S.Cell("al", E.Text);
    S.Line("</tr>");
  }
}

}  // namespace

std::string RenderHtmlAnalysis(const TPairAnalysis& AAnalysis, const TPairingAudit& AAudit,
                               TLocalizationLanguare ALang) {
  using enum TMsg;
  TSection S(ALang);
  S.Line("<div class=\"analysis\">");
  S.Heading("h2", AnalysisHeading);

  S.Heading("h3", AnalysisBandsHeading);
  S.Line(TableOpen);
  S.Captions({AnalysisColumnBand, AnalysisColumnSegments, AnalysisColumnWords, AnalysisColumnCharacters,
              AnalysisColumnWordShare, AnalysisColumnNoMatchSegments, AnalysisColumnNoMatchWords,
              AnalysisColumnNoMatchCharacters});
  for (std::size_t I = 0; I < AAnalysis.BandTotals().size(); ++I) {
    S.Line("<tr class=\"eq\">");
    BandRow(S, AAnalysis.Bands().Label(I), AAnalysis.BandTotals()[I], AAnalysis.WordShare(I));
  }
  const TBandTotals Total = AAnalysis.Total();
  S.Line(TotalRowOpen);
  BandRow(S, S.Text(AnalysisTotalRow), Total, Total.Words == 0 ? 0.0 : 100.0);
  S.Line("</table>");

  S.Heading("h3", AnalysisDocumentsHeading);
  S.Line(TableOpen);
  S.Captions(
      {AnalysisColumnDocument, AnalysisColumnSegments, AnalysisColumnEditedSegments, AnalysisColumnTotalEditDistance});
  for (const TDocumentTotals& D : AAnalysis.Documents()) {
    S.Line("<tr class=\"eq\">");
    S.Cell("al", D.Document);
    S.Number(D.Segments);
    S.Number(D.Edited);
    S.Cell("ar", D.EditDistanceText());
    S.Line("</tr>");
  }
  S.Line("</table>");

  S.Heading("h3", AuditHeading);
  if (AAudit.Empty()) {
    S.Line("<p>" + S.Text(AuditAllPaired) + "</p>");
  } else {
    S.Line(TableOpen);
    S.Captions({AuditColumnFinding, AnalysisColumnDocument, AuditColumnUnitId, AuditColumnSegmentId,
                AuditColumnLanguages, AuditColumnSide, AuditColumnRow, AuditColumnEditedText});
    AuditRows(S, AAudit.MissingInEdited, AuditMissingInEdited);
    AuditRows(S, AAudit.OnlyInEdited, AuditOnlyInEdited);
    AuditRows(S, AAudit.DuplicateIds, AuditDuplicateId);
    S.Line("</table>");
  }
  MetricTables(S, AAnalysis);
  if (AAnalysis.Cost().HasRates()) CostTable(S, AAnalysis);
  S.Line("</div>");
  S.Line("");
  return S.Take();
}

}  // namespace lexmora
