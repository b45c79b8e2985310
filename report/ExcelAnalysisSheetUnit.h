// The "Analysis" worksheet of the XLSX report: bands, documents, the pairing audit, the post-editing
// metrics and the cost by band, with counts as numbers so that they can be multiplied by rates.
#pragma once

#include <string>

#include "DataTypeUnit.h"
#include "ExcelPageSetupUnit.h"
#include "PairAnalysisUnit.h"
#include "PairingAuditUnit.h"

namespace lexmora {

// The sheet's part and its table: the documents table, the one that grows with the project, is
// frozen below its caption and filtered.
struct TAnalysisSheetPart {
  std::string Xml;
  TExcelTable Table;
};

// xl/worksheets/sheet2.xml. Texts are inline strings, so the first sheet's shared strings
// stay as they are; cell styles are those of styles.xml.
TAnalysisSheetPart BuildAnalysisSheetPart(const TPairAnalysis& AAnalysis, const TPairingAudit& AAudit,
                                          TLocalizationLanguare ALang);

}  // namespace lexmora
