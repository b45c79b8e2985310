// The text parts of the XLSX package, each built in memory as the exact bytes of its file.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "DataTypeUnit.h"

namespace lexmora {

// Address the logo picture links to.
inline constexpr const char* kMakerSiteUrl = "https://lexmora.example";

// UTF-8 with byte-order mark, every line (the last included) ended by CR LF.
std::string JoinPartLines(const std::vector<std::string>& ALines);

std::string BuildRelsPart();                                   // _rels/.rels
std::string BuildAppPart(TLocalizationLanguare ALang);         // docProps/app.xml (messages 87, 88)
std::string BuildCorePart(std::time_t AUtcTime);               // docProps/core.xml, created = modified
std::string BuildWorkbookRelsPart();                           // xl/_rels/workbook.xml.rels
std::string BuildStylesPart();                                 // xl/styles.xml, cell styles 0 to 10
std::string BuildWorkbookPart(TLocalizationLanguare ALang);    // xl/workbook.xml (sheet named by message 88)
std::string BuildContentTypesPart();                           // [Content_Types].xml
std::string BuildDrawingPart();                                // xl/drawings/drawing1.xml (logo at G1)
std::string BuildDrawingRelsPart();                            // xl/drawings/_rels/drawing1.xml.rels
std::string BuildSheetRelsPart();                              // xl/worksheets/_rels/sheet1.xml.rels

// xl/worksheets/sheet1.xml from the writer's line lists; ALastRow ends the dimension.
std::string BuildSheet1Part(const std::vector<std::string>& ATotalInfo, const std::vector<std::string>& ASheetRows,
                            const std::vector<std::string>& AMergeCells, std::int32_t ALastRow);
// xl/sharedStrings.xml; every item counts once, so count and unique count are ACount.
std::string BuildSharedStringsPart(const std::vector<std::string>& AItemLines, std::int32_t ACount);

}  // namespace lexmora
