// The text parts of the XLSX package, each built in memory as the exact bytes of its file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "DataTypeUnit.h"

namespace lexmora {

// Address the logo picture links to.
inline constexpr const char* kMakerSiteUrl = "https://lexmora.example";

// A list of lines kept as one text, each line ended by CR LF: a large report costs one buffer
// per list instead of millions of small strings.
class TLineList {
 public:
  void Add(std::string_view ALine) {
    FText += ALine;
    FText += "\r\n";
    ++FCount;
  }
  const std::string& Text() const { return FText; }
  std::size_t Count() const { return FCount; }

 private:
  std::string FText;
  std::size_t FCount = 0;
};

// UTF-8 with byte-order mark, every line (the last included) ended by CR LF.
std::string JoinPartLines(const std::vector<std::string>& ALines);

std::string BuildRelsPart();  // _rels/.rels
// AWithAnalysis: the workbook has the second worksheet, "Analysis" (xl/worksheets/sheet2.xml).
std::string BuildAppPart(TLocalizationLanguare ALang, bool AWithAnalysis);  // docProps/app.xml
std::string BuildCorePart(std::time_t AUtcTime);                            // docProps/core.xml, created = modified
std::string BuildWorkbookRelsPart(bool AWithAnalysis);                      // xl/_rels/workbook.xml.rels
std::string BuildStylesPart();                                              // xl/styles.xml, cell styles 0 to 10
std::string BuildWorkbookPart(TLocalizationLanguare ALang, bool AWithAnalysis);  // xl/workbook.xml
std::string BuildContentTypesPart(bool AWithAnalysis);                           // [Content_Types].xml
std::string BuildDrawingPart();      // xl/drawings/drawing1.xml (logo at G1)
std::string BuildDrawingRelsPart();  // xl/drawings/_rels/drawing1.xml.rels
std::string BuildSheetRelsPart();    // xl/worksheets/_rels/sheet1.xml.rels

// xl/worksheets/sheet1.xml from the writer's line lists; ALastRow ends the dimension. The merge
// entries are written as they are, so they carry their indentation.
std::string BuildSheet1Part(const TLineList& ATotalInfo, const TLineList& ASheetRows, const TLineList& AMergeCells,
                            std::int32_t ALastRow);
// xl/sharedStrings.xml; every item counts once, so count and unique count are ACount.
std::string BuildSharedStringsPart(const TLineList& AItemLines, std::int32_t ACount);

}  // namespace lexmora
