// The text parts of the XLSX package, each built in memory as the exact bytes of its file.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "DataTypeUnit.h"
#include "ExcelPageSetupUnit.h"

namespace lexmora {

// Address the logo picture links to.
inline constexpr const char* kMakerSiteUrl = "https://lexmora.example";

// A list of lines kept as a few large texts, each line ended by CR LF: a large report costs a
// buffer per MiB of lines instead of millions of small strings, and growing never copies.
class TLineList {
 public:
  void Add(std::string_view ALine) {
    if (FChunks.empty() || FChunks.back().size() + ALine.size() + 2 > FChunks.back().capacity())
      NewChunk(ALine.size() + 2);
    FChunks.back() += ALine;
    FChunks.back() += "\r\n";
    FSize += ALine.size() + 2;
    ++FCount;
  }
  // One line made of APieces, without a text of its own first.
  void Add(std::initializer_list<std::string_view> APieces) {
    std::size_t Size = 2;
    for (const std::string_view Piece : APieces) Size += Piece.size();
    if (FChunks.empty() || FChunks.back().size() + Size > FChunks.back().capacity()) NewChunk(Size);
    for (const std::string_view Piece : APieces) FChunks.back() += Piece;
    FChunks.back() += "\r\n";
    FSize += Size;
    ++FCount;
  }
  // The text, in pieces that follow one another (views valid while the list is not changed).
  std::vector<std::string_view> Pieces() const;
  std::size_t Size() const { return FSize; }
  std::size_t Count() const { return FCount; }

 private:
  void NewChunk(std::size_t AAtLeast);
  std::vector<std::string> FChunks;
  std::size_t FSize = 0;
  std::size_t FCount = 0;
};

// A whole number as decimal digits, held in place of a string made for it.
class TDecimalText {
 public:
  explicit TDecimalText(std::int64_t AValue) : FEnd(std::to_chars(FDigits, FDigits + sizeof FDigits, AValue).ptr) {}
  operator std::string_view() const { return {FDigits, static_cast<std::size_t>(FEnd - FDigits)}; }

 private:
  char FDigits[24];
  char* FEnd;
};

// A part as pieces that follow one another: texts of its own and views of line lists.
class TPartPieces {
 public:
  TPartPieces() = default;
  // Moving keeps the own texts where they are, so the pieces stay valid; a copy would not.
  TPartPieces(TPartPieces&&) = default;
  TPartPieces& operator=(TPartPieces&&) = default;
  TPartPieces(const TPartPieces&) = delete;
  TPartPieces& operator=(const TPartPieces&) = delete;

  void AddOwn(std::string AText);
  void AddView(std::string_view AText) { FPieces.push_back(AText); }
  void AddLines(const TLineList& ALines);
  const std::vector<std::string_view>& Pieces() const { return FPieces; }
  std::string Joined() const;

 private:
  std::deque<std::string> FOwn;  // a deque keeps its texts in place as it grows
  std::vector<std::string_view> FPieces;
};

// UTF-8 with byte-order mark, every line (the last included) ended by CR LF.
std::string JoinPartLines(const std::vector<std::string>& ALines);

std::string BuildRelsPart();  // _rels/.rels
// AWithAnalysis: the workbook has the second worksheet, "Analysis" (xl/worksheets/sheet2.xml).
std::string BuildAppPart(TLocalizationLanguare ALang, bool AWithAnalysis);  // docProps/app.xml
std::string BuildCorePart(std::time_t AUtcTime);                            // docProps/core.xml, created = modified
std::string BuildWorkbookRelsPart(bool AWithAnalysis);                      // xl/_rels/workbook.xml.rels
std::string BuildStylesPart();                                              // xl/styles.xml, cell styles 0 to 10
// xl/workbook.xml; the tables give the sheets' filter and print-title names.
std::string BuildWorkbookPart(TLocalizationLanguare ALang, bool AWithAnalysis, const TExcelTable& ASheet1Table = {},
                              const TExcelTable& AAnalysisTable = {});
std::string BuildContentTypesPart(bool AWithAnalysis);  // [Content_Types].xml
std::string BuildDrawingPart();                         // xl/drawings/drawing1.xml (logo at G1)
std::string BuildDrawingRelsPart();                     // xl/drawings/_rels/drawing1.xml.rels
std::string BuildSheetRelsPart();                       // xl/worksheets/_rels/sheet1.xml.rels

// xl/worksheets/sheet1.xml from the writer's line lists; ALastRow ends the dimension, ATable is
// the segment table (frozen, filtered, its caption printed on every page). The merge entries are
// written as they are, so they carry their indentation.
std::string BuildSheet1Part(const TLineList& ATotalInfo, const TLineList& ASheetRows, const TLineList& AMergeCells,
                            std::int32_t ALastRow, const TExcelTable& ATable = {});
// The same as pieces, which view the line lists.
TPartPieces Sheet1PartPieces(const TLineList& ATotalInfo, const TLineList& ASheetRows, const TLineList& AMergeCells,
                             std::int32_t ALastRow, const TExcelTable& ATable = {});
// xl/sharedStrings.xml; every item counts once, so count and unique count are ACount.
std::string BuildSharedStringsPart(const TLineList& AItemLines, std::int32_t ACount);
TPartPieces SharedStringsPartPieces(const TLineList& AItemLines, std::int32_t ACount);

}  // namespace lexmora
