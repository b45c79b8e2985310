// How a worksheet's table is worked in and printed: the rows down to its caption stay on screen,
// the caption carries the filter buttons, and every printed page is one page wide, landscape, with
// the caption repeated at its top.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lexmora {

// A worksheet's table: its caption row, its last row and its columns, A to LastColumn. Without a
// table (CaptionRow 0) the sheet has no frozen rows, no filter and no print titles.
struct TExcelTable {
  std::int32_t CaptionRow = 0;
  std::int32_t LastRow = 0;
  char LastColumn = 'A';
  bool Present() const { return CaptionRow > 0; }
};

// "<sheetPr>": the printout is scaled to the page's width (the first element of a worksheet).
std::string FitToWidthLines();
// "<sheetViews>" with the rows down to the table's caption frozen; ATabSelected for the sheet
// shown when the workbook opens.
std::string SheetViewLines(const TExcelTable& ATable, bool ATabSelected);
// "<autoFilter>" over the table; empty without one.
std::string AutoFilterLines(const TExcelTable& ATable);
// "<pageMargins>" and "<pageSetup>": A4 landscape, one page wide and as many pages down as it takes.
std::string PrintSetupLines();
// The workbook's defined names of the sheet at ASheetIndex (0-based) named ASheetName: the hidden
// filter database a filter needs and the caption as print titles; empty without a table.
std::string DefinedNameLines(int ASheetIndex, std::string_view ASheetName, const TExcelTable& ATable);

}  // namespace lexmora
