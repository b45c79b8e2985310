// The lines a person reads about a finished run: the desktop's log pane, the command-line tool's
// standard error and the browser page's result list all show these, so they cannot drift apart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ComparisonRunUnit.h"

namespace lexmora {

enum class TOutcomeLineKind : std::uint8_t {
  olkBlank = 0,          // an empty line between two blocks
  olkDone = 1,           // the run succeeded
  olkFailure = 2,        // the run could not start, or ended without its reports
  olkReport = 3,         // a report that was written (Path: its file)
  olkMissingReport = 4,  // a report the run named that is not there (Path: its file)
  olkErrorsHeading = 5,  // the heading above the error lines
  olkError = 6,          // an input that could not be read, or a report that could not be written
};

struct TOutcomeLine {
  TOutcomeLineKind Kind = TOutcomeLineKind::olkBlank;
  std::string Text;  // the whole line as shown
  std::string Path;  // the report file of a report line; else empty
};

// The lines of AOutcome in ALang, in the order they are shown. Reports are numbered "1. " ... when
// there are several.
std::vector<TOutcomeLine> OutcomeLines(const TRunOutcome& AOutcome, TLocalizationLanguare ALang);

}  // namespace lexmora
