// The lines every front end shows for an outcome: one table of outcomes and what a person reads.
#include <gtest/gtest.h>

#include "LocalizationUnit.h"
#include "RunOutcomeLinesUnit.h"

namespace lexmora {
namespace {

using enum TOutcomeLineKind;

std::string En(TMsg AId) { return GetLocalizedText(AId, TLocalizationLanguare::llEN); }

std::vector<std::string> Texts(const std::vector<TOutcomeLine>& ALines) {
  std::vector<std::string> Result;
  for (const TOutcomeLine& L : ALines) Result.push_back(L.Text);
  return Result;
}

TRunOutcome Outcome(TExecuteResult AResult, std::vector<TReportFile> AReports = {}, TRunErrors AErrors = {}) {
  TRunOutcome O;
  O.Result = AResult;
  O.Reports = std::move(AReports);
  O.Errors = std::move(AErrors);
  return O;
}

struct TCase {
  const char* Name;
  TRunOutcome Outcome;
  std::vector<std::string> Expected;
};

TEST(RunOutcomeLines, EveryOutcomeReadsAsBefore) {
  const TRunError Bad{TErrorSide::esSource, En(TMsg::SourceReadFailed), "a.sdlxliff", {}, "not UTF-8"};
  const TRunError Full{TErrorSide::esReport, En(TMsg::ReportFailed), "/r/Result_x_en_it.html", {}, "disk full"};
  const std::vector<TCase> Cases = {
      {"ok", Outcome(TExecuteResult::erOk, {{"/r/a.html", true}}), {"", En(TMsg::ReportCreated), "/r/a.html"}},
      {"ok-several-one-gone",
       Outcome(TExecuteResult::erOk, {{"/r/a.html", true}, {"/r/b.html", false}}, {Bad}),
       {"", En(TMsg::ReportCreated), "1. /r/a.html", "2. /r/b.html - " + En(TMsg::ReportNotFound), "",
        En(TMsg::ComparisonHadErrors), FormatErrorLine(Bad)}},
      {"ok-no-report", Outcome(TExecuteResult::erOk), {"", En(TMsg::ReportCreated)}},
      {"stopped-names-nothing",
       Outcome(TExecuteResult::erTerminatedByUser, {{"/r/a.html", true}}),
       {"", En(TMsg::ComparisonInterrupted), En(TMsg::ReportStoppedByUser)}},
      {"failed-without-reports",
       Outcome(TExecuteResult::erCreateDiffFileError),
       {"", En(TMsg::ComparisonInterrupted), En(TMsg::ReportFailed)}},
      {"failed-some-pairs",
       Outcome(TExecuteResult::erCreateDiffFileError, {{"/r/a.html", true}, {"/r/b.html", true}}, {Full}),
       {"", En(TMsg::ComparisonInterrupted), En(TMsg::ReportFailed), En(TMsg::ReportCreatedAnyway), "1. /r/a.html",
        "2. /r/b.html", "", En(TMsg::ComparisonHadErrors), FormatErrorLine(Full)}},
      {"unknown",
       Outcome(TExecuteResult::erUnknown, {}, {Bad}),
       {"", En(TMsg::ComparisonInterrupted), En(TMsg::UnknownError), "", En(TMsg::ComparisonHadErrors),
        FormatErrorLine(Bad)}},
  };
  for (const TCase& C : Cases)
    EXPECT_EQ(Texts(OutcomeLines(C.Outcome, TLocalizationLanguare::llEN)), C.Expected) << C.Name;
}

// The front ends pick lines by kind (the tool sends reports to stdout, and only failures when
// quiet; the window opens reports): each kind must say what its line is.
TEST(RunOutcomeLines, KindsTellReportsFromEverythingElse) {
  const TRunError Bad{TErrorSide::esEdited, En(TMsg::EditedNotFound), "b.sdlxliff", {}, {}};
  const auto Lines = OutcomeLines(Outcome(TExecuteResult::erOk, {{"/r/a.html", true}, {"/r/b.html", false}}, {Bad}),
                                  TLocalizationLanguare::llEN);
  std::vector<TOutcomeLineKind> Kinds;
  for (const TOutcomeLine& L : Lines) {
    Kinds.push_back(L.Kind);
    if (L.Kind == olkReport || L.Kind == olkMissingReport)
      EXPECT_NE(L.Text.find(L.Path), std::string::npos);
    else
      EXPECT_TRUE(L.Path.empty());
  }
  EXPECT_EQ(Kinds, (std::vector<TOutcomeLineKind>{olkBlank, olkDone, olkReport, olkMissingReport, olkBlank,
                                                  olkErrorsHeading, olkError}));
  EXPECT_EQ(Lines[2].Path, "/r/a.html");
}

}  // namespace
}  // namespace lexmora
