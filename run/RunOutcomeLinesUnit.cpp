#include "RunOutcomeLinesUnit.h"

#include <optional>

#include "LocalizationUnit.h"

namespace lexmora {

namespace {

std::optional<TMsg> FailureMessage(TExecuteResult AResult) {
  switch (AResult) {
    using enum TExecuteResult;
    case erOk:
      return std::nullopt;
    case erTerminatedByUser:
      return TMsg::ReportStoppedByUser;
    case erCreateDiffFileError:
      return TMsg::ReportFailed;
    case erUnknown:
      break;
  }
  return TMsg::UnknownError;
}

}  // namespace

std::vector<TOutcomeLine> OutcomeLines(const TRunOutcome& AOutcome, TLocalizationLanguare ALang) {
  using enum TOutcomeLineKind;
  std::vector<TOutcomeLine> Lines;
  const auto Add = [&](TOutcomeLineKind AKind, std::string AText, std::string APath = {}) {
    Lines.push_back({AKind, std::move(AText), std::move(APath)});
  };
  const auto Text = [ALang](TMsg AId) { return GetLocalizedText(AId, ALang); };

  switch (AOutcome.Setup) {
    case TRunSetup::rsReady:
      break;
    case TRunSetup::rsNoFiles:
      Add(olkFailure, Text(TMsg::CannotCompare));
      Add(olkFailure, Text(TMsg::FilesMissingForCompare));
      return Lines;
    case TRunSetup::rsResultsFolder:
      Add(olkFailure, Text(TMsg::CannotCompare));
      Add(olkFailure, Text(TMsg::ResultsFolderNotWritable) + AOutcome.SetupFolder);
      return Lines;
    case TRunSetup::rsWorkFolder:
      Add(olkFailure, Text(TMsg::CannotCompare));
      Add(olkFailure, Text(TMsg::WorkFolderNotCreated) + AOutcome.SetupFolder);
      return Lines;
  }

  const auto AddReports = [&] {
    const std::size_t Count = AOutcome.Reports.size();
    for (std::size_t I = 0; I < Count; ++I) {
      const TReportFile& R = AOutcome.Reports[I];
      const std::string Number = Count == 1 ? std::string() : std::to_string(I + 1) + ". ";
      if (R.Exists)
        Add(olkReport, Number + R.Path, R.Path);
      else
        Add(olkMissingReport, Number + R.Path + " - " + Text(TMsg::ReportNotFound), R.Path);
    }
  };
  Add(olkBlank, {});
  if (const std::optional<TMsg> Failure = FailureMessage(AOutcome.Result)) {
    Add(olkFailure, Text(TMsg::ComparisonInterrupted));
    Add(olkFailure, Text(*Failure));
    // Only some language pairs failed: the reports of the others were written.
    if (AOutcome.Result == TExecuteResult::erCreateDiffFileError && !AOutcome.Reports.empty()) {
      Add(olkFailure, Text(TMsg::ReportCreatedAnyway));
      AddReports();
    }
  } else {
    Add(olkDone, Text(TMsg::ReportCreated));
    AddReports();
  }
  if (!AOutcome.Errors.empty()) {
    Add(olkBlank, {});
    Add(olkErrorsHeading, Text(TMsg::ComparisonHadErrors));
    for (const TRunError& E : AOutcome.Errors) Add(olkError, FormatErrorLine(E));
  }
  return Lines;
}

}  // namespace lexmora
