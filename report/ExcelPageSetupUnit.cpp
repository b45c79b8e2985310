#include "ExcelPageSetupUnit.h"

namespace lexmora {

namespace {

std::string Row(std::int32_t ARow) { return std::to_string(ARow); }

// 'Name' with an apostrophe in the name doubled: a reference needs the quotes once the name holds
// a blank or a non-ASCII letter, and they are always allowed.
std::string QuotedSheet(std::string_view AName) {
  std::string Result = "'";
  for (const char C : AName) {
    if (C == '\'') Result += '\'';
    Result += C;
  }
  return Result + "'!";
}

}  // namespace

std::string FitToWidthLines() { return "  <sheetPr>\r\n    <pageSetUpPr fitToPage=\"1\"/>\r\n  </sheetPr>\r\n"; }

std::string SheetViewLines(const TExcelTable& ATable, bool ATabSelected) {
  std::string Result = "  <sheetViews>\r\n    <sheetView ";
  if (ATabSelected) Result += "tabSelected=\"1\" ";
  Result += "workbookViewId=\"0\"";
  if (!ATable.Present()) return Result + "/>\r\n  </sheetViews>\r\n";
  std::string First = "A";
  First += Row(ATable.CaptionRow + 1);
  Result += ">\r\n      <pane ySplit=\"" + Row(ATable.CaptionRow) + "\" topLeftCell=\"" + First +
            "\" activePane=\"bottomLeft\" state=\"frozen\"/>\r\n";
  Result += "      <selection pane=\"bottomLeft\" activeCell=\"" + First + "\" sqref=\"" + First + "\"/>\r\n";
  return Result + "    </sheetView>\r\n  </sheetViews>\r\n";
}

std::string AutoFilterLines(const TExcelTable& ATable) {
  if (!ATable.Present()) return {};
  return "  <autoFilter ref=\"A" + Row(ATable.CaptionRow) + ":" + ATable.LastColumn + Row(ATable.LastRow) + "\"/>\r\n";
}

std::string PrintSetupLines() {
  return "  <pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>\r\n"
         "  <pageSetup paperSize=\"9\" orientation=\"landscape\" fitToWidth=\"1\" fitToHeight=\"0\" "
         "verticalDpi=\"0\"/>\r\n";
}

std::string DefinedNameLines(int ASheetIndex, std::string_view ASheetName, const TExcelTable& ATable) {
  if (!ATable.Present()) return {};
  const std::string Sheet = QuotedSheet(ASheetName);
  const std::string Local = " localSheetId=\"" + std::to_string(ASheetIndex) + "\"";
  std::string Caption = "$";
  Caption += Row(ATable.CaptionRow);
  std::string Result = "    <definedName name=\"_xlnm._FilterDatabase\"" + Local + " hidden=\"1\">" + Sheet;
  Result += "$A" + Caption + ":$" + ATable.LastColumn + "$" + Row(ATable.LastRow) + "</definedName>\r\n";
  Result += "    <definedName name=\"_xlnm.Print_Titles\"" + Local + ">" + Sheet + Caption + ":" + Caption;
  return Result + "</definedName>\r\n";
}

}  // namespace lexmora
