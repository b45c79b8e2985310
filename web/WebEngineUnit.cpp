#include "WebEngineUnit.h"

#include <utility>

#include "JsonTextUnit.h"
#include "LocalizationUnit.h"
#include "RunOutcomeLinesUnit.h"

namespace lexmora {

namespace {

std::string LinesJson(const std::vector<TOutcomeLine>& ALines) {
  std::string Out = "[";
  for (std::size_t I = 0; I < ALines.size(); ++I) {
    const TOutcomeLine& L = ALines[I];
    Out += (I ? ", " : "") + std::string("{\"kind\": ") + std::to_string(static_cast<int>(L.Kind)) +
           ", \"text\": " + JsonString(L.Text) + ", \"path\": " + JsonString(L.Path) + "}";
  }
  return Out + "]";
}

}  // namespace

TWebProgress::TWebProgress(TLocalizationLanguare ALang, TWebNotify ANotify)
    : FNotify(std::move(ANotify)), FLang(ALang), FRenderer(ALang) {}

void TWebProgress::SetNewOperation(const std::string& AOperationName, int APointCount, int APercentBegin,
                                   int APercentEnd) {
  if (auto Previous = FRenderer.StartNewOperation(AOperationName, APointCount, APercentBegin, APercentEnd))
    FNotify("done", *Previous, {});
  FOperation = AOperationName;
  // The page needs the name to close the operation's line itself when the user stops the run.
  FNotify("operation", AOperationName, {});
  Show(true);
}

void TWebProgress::SetProgress(int ACurrentPoint) {
  FRenderer.SetCurrentPoint(ACurrentPoint);
  Show(false);
}

void TWebProgress::SetOutcome(const TRunOutcome& /*AOutcome*/) { Finish(); }

void TWebProgress::Show(bool AForce) {
  if (auto Lines = FRenderer.Render(AForce)) {
    if (Lines->IsFinished)
      FNotify("done", Lines->CurrProgressStr, {});
    else
      FNotify("progress", Lines->CurrProgressStr, Lines->TotalProgressStr);
  }
}

void TWebProgress::Finish() {
  // As the other front ends end their progress display: the last operation's name, completed.
  FRenderer.CloseOperation();
  if (!FOperation.empty()) FNotify("done", FOperation + GetLocalizedText(TMsg::OperationCompleted, FLang), {});
  FOperation.clear();
}

std::string RunWebComparison(const std::vector<std::string>& ASource, const std::vector<std::string>& AEdited,
                             const TWebOptions& AOptions, const std::string& AOutputDir, const TWebNotify& ANotify) {
  TRunRequest Request;
  Request.SourceFiles = ASource;
  Request.EditedFiles = AEdited;
  Request.HideEquivalentString = AOptions.HideIdentical;
  Request.DoNotSeparateSpaces = AOptions.IgnoreNbsp;
  Request.FillDiffRowColored = AOptions.Highlight;
  Request.ShowTagsFlag = AOptions.Tags;
  Request.ResultFileFormat = AOptions.Format;
  Request.LocalizationLanguare = AOptions.Lang;
  Request.OutputDir = AOutputDir;
  Request.WorkFolderName = "lexmora-page";
  TComparisonRun Run(std::move(Request));
  if (Run.Prepare()) {
    TWebProgress Progress(AOptions.Lang, ANotify);
    Run.Execute(Progress);
  }
  const TRunOutcome& Outcome = Run.Outcome();
  return "{\"result\": " + std::to_string(static_cast<int>(Outcome.Result)) +
         ", \"lines\": " + LinesJson(OutcomeLines(Outcome, AOptions.Lang)) + "}";
}

std::string WebMessagesJson() {
  std::string Out = "{";
  TRunOutcome Stopped;
  Stopped.Result = TExecuteResult::erTerminatedByUser;
  std::string StoppedJson;
  for (const auto& [Lang, Name] :
       {std::pair{TLocalizationLanguare::llEN, "en"}, std::pair{TLocalizationLanguare::llRU, "ru"}}) {
    Out += std::string(Lang == TLocalizationLanguare::llEN ? "" : ", ") + "\"" + Name + "\": [";
    for (int Id = 0; Id < MessageCount; ++Id) Out += (Id ? ", " : "") + JsonString(GetLocalizedText(Id, Lang));
    Out += "]";
    StoppedJson +=
        std::string(StoppedJson.empty() ? "" : ", ") + "\"" + Name + "\": " + LinesJson(OutcomeLines(Stopped, Lang));
  }
  return Out + ", \"stopped\": {" + StoppedJson + "}}";
}

}  // namespace lexmora
