// The look of the XLSX worksheet in one place: the font of its cells, the widths of its columns
// and the heights its rows need, so that the stylesheet, the coloured runs and the rows agree.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lexmora {

// Every cell style uses this font, differing only in weight and colour. A coloured run must
// name all of it: a run that gives only its colour is shown in the reader's default font.
inline constexpr const char* kExcelFontName = "Arial";
inline constexpr int kExcelFontSize = 14;
inline constexpr int kExcelFontFamily = 2;     // swiss (sans serif)
inline constexpr int kExcelFontCharset = 204;  // Cyrillic, so Russian texts keep the face

// Lines of the font's properties ("      <sz val=.../>" ...); ANameElement is "name" in the
// stylesheet and "rFont" in a run; AColour empty leaves the colour out.
std::string ExcelFontElements(std::string_view AIndent, std::string_view ANameElement, bool ABold,
                              std::string_view AColour);

// Columns A to G, in characters of the font's digit width.
inline constexpr int kExcelColumnCount = 7;
inline constexpr double kExcelColumnWidths[kExcelColumnCount] = {6, 5, 40, 40, 40, 8, 40};

// Height of a row whose cells hold one line, as the sheet's default gives it.
inline constexpr double kExcelDefaultRowHeight = 20;

// Works out the height a row needs so that every wrapped text in it shows whole. Spreadsheet
// programs do not size rows themselves when they open a workbook, so the writer sets heights.
// The estimate is deliberately generous: characters are measured as in the widest sans-serif
// face a reader may put in place of the font, the column as the narrowest program shows it,
// and a word that does not fit the rest of a line starts the next one.
class TExcelRowHeight {
 public:
  // AItemText: a shared-string item ("<t>" element or "<r>" runs, text XML-escaped) shown in
  // columns AFirstColumn to ALastColumn (0-based; several when merged).
  void AddCell(std::string_view AItemText, int AFirstColumn, int ALastColumn, bool ABold);
  // Lines of the tallest cell so far (at least 1).
  std::size_t Lines() const { return FLines; }
  // Points, at least the default height and at most what a row can have.
  double Height() const;
  // The row's height attributes (` ht="..." customHeight="1"`), empty when the default fits.
  std::string Attributes() const;

 private:
  std::size_t FLines = 1;
};

}  // namespace lexmora
