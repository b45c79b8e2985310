// lexmora-compare: runs one comparison with the options of the command line.
#include "CliUnit.h"

#include <atomic>
#include <thread>

#include "CliProgressUnit.h"
#include "ComparisonRunUnit.h"
#include "LocalizationUnit.h"
#include "PlatformUnit.h"
#include "RunOutcomeLinesUnit.h"

#ifndef LEXMORA_VERSION
#define LEXMORA_VERSION "1.0.0"
#endif

namespace lexmora {

namespace {

// Ctrl-C presses since the run started; the handler only counts, the waiting loop acts.
std::atomic<int> GInterrupts{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free counter");

// The first press asks the run to stop; a second one ends the process the usual way.
bool OnInterrupt() { return GInterrupts.fetch_add(1) < 1; }

// Installs the Ctrl-C handler for the lifetime of a run and restores the previous one.
class TInterruptGuard {
 public:
  TInterruptGuard() {
    GInterrupts.store(0);
    InstallInterruptHandler(OnInterrupt);
  }
  ~TInterruptGuard() { RestoreInterruptHandler(); }
  TInterruptGuard(const TInterruptGuard&) = delete;
  TInterruptGuard& operator=(const TInterruptGuard&) = delete;
};

// How each result reads in the JSON summary and which exit status it gives, by its value.
struct TResultForm {
  const char* Name;
  TCliExit Exit;
};
constexpr TResultForm kResultForms[] = {{"unknown", TCliExit::ceUnknown},
                                        {"terminated-by-user", TCliExit::ceTerminatedByUser},
                                        {"create-diff-file-error", TCliExit::ceCreateDiffFileError},
                                        {"ok", TCliExit::ceOk}};
static_assert(static_cast<int>(TExecuteResult::erOk) == 3 && static_cast<int>(TExecuteResult::erTerminatedByUser) == 1);

const TResultForm& FormOf(TExecuteResult AResult) {
  const auto I = static_cast<std::size_t>(AResult);
  return I < std::size(kResultForms) ? kResultForms[I] : kResultForms[0];
}

TCliExit ExitOf(const TRunOutcome& AOutcome) {
  return AOutcome.Setup == TRunSetup::rsReady ? FormOf(AOutcome.Result).Exit : TCliExit::ceCreateDiffFileError;
}

// A figure in JSON: "." whatever the user's separator, four decimals at most.
std::string JsonNumber(double AValue) { return FloatToRoundedStr(4, AValue, "."); }

std::string JsonMetrics(const TMetricSums& AMetrics) {
  return "{\"ter\": " + JsonNumber(AMetrics.TerPercent()) + ", \"chrf\": " + JsonNumber(AMetrics.ChrfScore()) +
         ", \"word_edit_distance\": " + JsonNumber(AMetrics.WordEditDistance()) +
         ", \"ter_edits\": " + std::to_string(AMetrics.Ter.Edits) +
         ", \"reference_words\": " + std::to_string(AMetrics.Ter.ReferenceWords) + "}";
}

// The cost figures of a band or of the pair, empty without rates.
std::string JsonCost(const TCostTerms& ACost, double AWeightedWords) {
  if (!ACost.HasRates()) return {};
  std::string Out = ", \"weighted_words\": " + JsonNumber(AWeightedWords);
  if (ACost.WordPrice) Out += ", \"cost\": " + JsonNumber(AWeightedWords * *ACost.WordPrice);
  return Out;
}

std::string JsonBands(const TPairAnalysis& AAnalysis) {
  std::string Out = "[";
  for (std::size_t I = 0; I < AAnalysis.BandTotals().size(); ++I) {
    const TBandTotals& B = AAnalysis.BandTotals()[I];
    Out += I ? ",\n       " : "\n       ";
    Out += "{\"band\": " + JsonString(AAnalysis.Bands().Label(I)) + ", \"segments\": " + std::to_string(B.Segments) +
           ", \"words\": " + std::to_string(B.Words) + ", \"characters\": " + std::to_string(B.Characters) +
           ", \"no_match_segments\": " + std::to_string(B.NoMatchSegments) +
           ", \"no_match_words\": " + std::to_string(B.NoMatchWords) +
           ", \"no_match_characters\": " + std::to_string(B.NoMatchCharacters) +
           ", \"metrics\": " + JsonMetrics(B.Metrics) +
           (AAnalysis.Cost().HasRates() ? ", \"rate\": " + JsonNumber(AAnalysis.Cost().Rates[I].Percent) : "") +
           JsonCost(AAnalysis.Cost(), AAnalysis.WeightedWords(I)) + "}";
  }
  return Out + "]";
}

std::string JsonDocuments(const TPairAnalysis& AAnalysis) {
  std::string Out = "[";
  for (std::size_t I = 0; I < AAnalysis.Documents().size(); ++I) {
    const TDocumentTotals& D = AAnalysis.Documents()[I];
    Out += I ? ",\n       " : "\n       ";
    Out += "{\"document\": " + JsonString(D.Document) + ", \"segments\": " + std::to_string(D.Segments) +
           ", \"edited\": " + std::to_string(D.Edited) + ", \"edit_distance\": " + JsonString(D.EditDistanceText()) +
           ", \"metrics\": " + JsonMetrics(D.Metrics) + "}";
  }
  return Out + "]";
}

std::string JsonAuditList(const std::vector<TAuditEntry>& AEntries, bool AWithSide, bool AWithText) {
  std::string Out = "[";
  for (std::size_t I = 0; I < AEntries.size(); ++I) {
    const TAuditEntry& E = AEntries[I];
    Out += I ? ",\n      " : "\n      ";
    Out += "{\"document\": " + JsonString(E.Document) + ", \"unit_id\": " + JsonString(E.UnitID) +
           ", \"segment_id\": " + JsonString(E.SegmentID) + ", \"source_lang\": " + JsonString(E.SourceLang) +
           ", \"target_lang\": " + JsonString(E.TargetLang);
    if (AWithSide) Out += ", \"side\": " + JsonString(E.Side == TAuditSide::asSource ? "source" : "edited");
    if (AWithText) Out += ", \"edited_text\": " + JsonString(E.Text);
    Out += ", \"row\": " + (E.Row > 0 ? std::to_string(E.Row) : std::string("null")) + "}";
  }
  return Out + (AEntries.empty() ? "]" : "\n    ]");
}

std::string JsonAudit(const TPairingAudit& AAudit) {
  return "{\n    \"missing_in_edited\": " + JsonAuditList(AAudit.MissingInEdited, false, false) +
         ",\n    \"only_in_edited\": " + JsonAuditList(AAudit.OnlyInEdited, false, true) +
         ",\n    \"duplicate_ids\": " + JsonAuditList(AAudit.DuplicateIds, true, false) + "\n  }";
}

void PrintJson(std::ostream& AOut, const TRunOutcome& AOutcome) {
  AOut << "{\n  \"result\": " << JsonString(FormOf(AOutcome.Result).Name) << ",\n  \"reports\": [";
  bool First = true;
  for (const TReportFile& R : AOutcome.Reports) {
    if (!R.Exists) continue;
    AOut << (First ? "" : ", ") << JsonString(R.Path);
    First = false;
  }
  AOut << "],\n  \"errors\": [";
  const TRunErrors& AErrors = AOutcome.Errors;
  for (std::size_t I = 0; I < AErrors.size(); ++I) {
    const TRunError& E = AErrors[I];
    AOut << (I ? "," : "") << "\n    {\"side\": " << JsonString(ErrorSideName(E.Side))
         << ", \"path\": " << JsonString(E.Path) << ", \"document\": " << JsonString(E.Document)
         << ", \"message\": " << JsonString(E.Message) << ", \"reason\": " << JsonString(E.Reason) << "}";
  }
  AOut << (AErrors.empty() ? "]" : "\n  ]") << ",\n  \"pairs\": [";
  const auto& Pairs = AOutcome.Pairs;
  for (std::size_t I = 0; I < Pairs.size(); ++I) {
    const TPairSummary& P = Pairs[I];
    AOut << (I ? "," : "") << "\n    {\"source_lang\": " << JsonString(P.LangPair.SrcLang)
         << ", \"target_lang\": " << JsonString(P.LangPair.TrgLang) << ", \"total\": " << P.TotalSegCount
         << ", \"edited\": " << P.ChangedSegCount << ", \"edit_distance\": " << JsonString(P.EdDist)
         << ", \"written\": " << (P.Written ? "true" : "false")
         << ", \"report\": " << (P.Written ? JsonString(P.ReportFile) : std::string("null"))
         << ",\n     \"metrics\": " << JsonMetrics(P.Analysis.Total().Metrics)
         << JsonCost(P.Analysis.Cost(), P.Analysis.WeightedWordsTotal());
    if (P.Analysis.Cost().WordPrice && !P.Analysis.Cost().Currency.empty())
      AOut << ", \"currency\": " << JsonString(P.Analysis.Cost().Currency);
    if (!P.CsvFile.empty()) AOut << ", \"csv\": " << JsonString(P.CsvFile);
    AOut << ",\n     \"bands\": " << JsonBands(P.Analysis) << ",\n     \"documents\": " << JsonDocuments(P.Analysis)
         << "}";
  }
  AOut << (Pairs.empty() ? "]" : "\n  ]") << ",\n  \"audit\": " << JsonAudit(AOutcome.Audit) << "\n}\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& AArgs, std::ostream& AOut, std::ostream& AErr) {
  TCliOptions Options;
  std::string Error;
  if (!ParseCliArgs(AArgs, Options, Error)) {
    AErr << "lexmora-compare: " << Error << "\n" << CliUsage();
    return static_cast<int>(TCliExit::ceUsage);
  }
  if (Options.Help) {
    AOut << CliUsage();
    return static_cast<int>(TCliExit::ceOk);
  }
  if (Options.Version) {
    AOut << "lexmora-compare " << LEXMORA_VERSION << "\n";
    return static_cast<int>(TCliExit::ceOk);
  }
  const TLocalizationLanguare Lang = Options.Lang;
  const bool Quiet = Options.Quiet;

  TRunRequest Request;
  Request.SourceFiles = Options.SourceFiles;
  Request.EditedFiles = Options.EditedFiles;
  Request.HideEquivalentString = !Options.ShowIdentical;
  Request.DoNotSeparateSpaces = Options.IgnoreNbsp;
  Request.FillDiffRowColored = !Options.NoHighlight;
  Request.ShowTagsFlag = Options.ShowTags;
  Request.ResultFileFormat = Options.Format;
  Request.LocalizationLanguare = Lang;
  Request.EditBandBounds = Options.BandBounds;
  Request.Cost = Options.Cost;
  Request.WriteCsv = Options.Csv;
  Request.OutputDir = Options.OutputDir;
  Request.WorkParent = Options.TempDir;
  Request.WorkFolderName = "lexmora-compare";
  TComparisonRun Run(std::move(Request));

  if (Run.Prepare()) {
    TInterruptGuard Interrupts;
    if (!Quiet) AErr << GetLocalizedText(TMsg::ComparisonStarted, Lang) << "\n";
    const bool InPlace = &AErr == &std::cerr && StandardErrorIsTerminal();
    TCliProgressPrinter Printer(AErr, Lang, InPlace, Options.Quiet);
    std::thread Worker([&Run, &Printer] { Run.Execute(Printer); });
    bool StopAsked = false;
    while (!Printer.WaitForResult(50)) {
      if (!StopAsked && GInterrupts.load() > 0) {
        StopAsked = true;
        Run.Terminate();
      }
      Printer.Tick();
    }
    Worker.join();
    Printer.Finish();
  }

  // Quiet: only what went wrong reaches stderr. The written reports' paths go to stdout.
  const TRunOutcome& Outcome = Run.Outcome();
  for (const TOutcomeLine& Line : OutcomeLines(Outcome, Lang)) {
    switch (Line.Kind) {
      using enum TOutcomeLineKind;
      case olkReport:
        if (!Options.Json) AOut << Line.Path << "\n";
        break;
      case olkBlank:
      case olkDone:
      case olkErrorsHeading:
        if (!Quiet) AErr << Line.Text << "\n";
        break;
      case olkFailure:
      case olkMissingReport:
      case olkError:
        AErr << Line.Text << "\n";
        break;
    }
  }
  if (Options.Json) PrintJson(AOut, Outcome);
  AOut.flush();
  return static_cast<int>(ExitOf(Outcome));
}

}  // namespace lexmora
