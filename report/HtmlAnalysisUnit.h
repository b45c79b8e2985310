// The analysis section of the HTML report: bands, documents, the pairing audit, the post-editing
// metrics and, with rates, the cost by band.
#pragma once

#include <string>

#include "DataTypeUnit.h"
#include "PairAnalysisUnit.h"
#include "PairingAuditUnit.h"

namespace lexmora {

// The section as XHTML lines ended by CR LF, to follow the segment table. Uses only the
// page's own classes and inline styles, so the page head stays as it is.
std::string RenderHtmlAnalysis(const TPairAnalysis& AAnalysis, const TPairingAudit& AAudit,
                               TLocalizationLanguare ALang);

}  // namespace lexmora
