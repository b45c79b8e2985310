// lexmora-compare: runs one comparison with the options of the command line.
#include "CliUnit.h"

#include <atomic>
#include <filesystem>
#include <map>
#include <thread>

#include "CliProgressUnit.h"
#include "DiffFileConstructorUnit.h"
#include "ExportToBaseUnit.h"
#include "InputFolderUnit.h"
#include "LocalTimeUnit.h"
#include "LocalizationUnit.h"
#include "PlatformUnit.h"
#include "RunFoldersUnit.h"

#ifndef LEXMORA_VERSION
#define LEXMORA_VERSION "1.0.0"
#endif

namespace lexmora {

namespace fs = std::filesystem;

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

// One side's inputs for the run: full paths, and the path as the user gave it for each, which
// the error lines show. A folder stands for its supported files; a folder without any is handed
// on as it is, so the run names it in an error line.
struct TInputs {
  std::string List;                                // CR LF separated full paths
  std::map<std::string, std::string> GivenByFull;  // full path -> path as given
};

TInputs CollectInputs(const std::vector<std::string>& AGiven) {
  TInputs Inputs;
  const auto Add = [&Inputs](const std::string& AGivenPath) {
    std::error_code Ec;
    const fs::path Abs = fs::absolute(AGivenPath, Ec);
    const std::string Full = Ec ? AGivenPath : Abs.lexically_normal().string();
    Inputs.List += Full + "\r\n";
    Inputs.GivenByFull.emplace(Full, AGivenPath);
  };
  for (const std::string& G : AGiven) {
    std::error_code Ec;
    const std::vector<std::string> Files =
        fs::is_directory(G, Ec) ? SupportedFilesBelow(G) : std::vector<std::string>();
    if (Files.empty()) {
      Add(G);
    } else {
      for (const std::string& F : Files) Add(F);
    }
  }
  return Inputs;
}

// The run's failures with each input's path as the user gave it.
TRunErrors ErrorsAsGiven(const TRunErrors& AErrors, const TInputs& ASource, const TInputs& AEdited) {
  TRunErrors Result = AErrors;
  for (TRunError& E : Result) {
    const TInputs* Side = E.Side == TErrorSide::esSource   ? &ASource
                          : E.Side == TErrorSide::esEdited ? &AEdited
                                                           : nullptr;
    if (!Side) continue;
    if (const auto It = Side->GivenByFull.find(E.Path); It != Side->GivenByFull.end()) E.Path = It->second;
  }
  return Result;
}

const char* ResultName(TExecuteResult AResult) {
  switch (AResult) {
    using enum TExecuteResult;
    case erOk:
      return "ok";
    case erCreateDiffFileError:
      return "create-diff-file-error";
    case erTerminatedByUser:
      return "terminated-by-user";
    case erUnknown:
      break;
  }
  return "unknown";
}

TCliExit ExitOf(TExecuteResult AResult) {
  switch (AResult) {
    using enum TExecuteResult;
    case erOk:
      return TCliExit::ceOk;
    case erCreateDiffFileError:
      return TCliExit::ceCreateDiffFileError;
    case erTerminatedByUser:
      return TCliExit::ceTerminatedByUser;
    case erUnknown:
      break;
  }
  return TCliExit::ceUnknown;
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
           ", \"no_match_characters\": " + std::to_string(B.NoMatchCharacters) + "}";
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
           "}";
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

void PrintJson(std::ostream& AOut, const TDiffFileConstructor& ARun, const std::vector<std::string>& AReports,
               const TRunErrors& AErrors) {
  AOut << "{\n  \"result\": " << JsonString(ResultName(ARun.ExecuteResult())) << ",\n  \"reports\": [";
  for (std::size_t I = 0; I < AReports.size(); ++I) AOut << (I ? ", " : "") << JsonString(AReports[I]);
  AOut << "],\n  \"errors\": [";
  for (std::size_t I = 0; I < AErrors.size(); ++I) {
    const TRunError& E = AErrors[I];
    AOut << (I ? "," : "") << "\n    {\"side\": " << JsonString(ErrorSideName(E.Side))
         << ", \"path\": " << JsonString(E.Path) << ", \"document\": " << JsonString(E.Document)
         << ", \"message\": " << JsonString(E.Message) << ", \"reason\": " << JsonString(E.Reason) << "}";
  }
  AOut << (AErrors.empty() ? "]" : "\n  ]") << ",\n  \"pairs\": [";
  const auto& Pairs = ARun.PairSummaries();
  for (std::size_t I = 0; I < Pairs.size(); ++I) {
    const TPairSummary& P = Pairs[I];
    AOut << (I ? "," : "") << "\n    {\"source_lang\": " << JsonString(P.LangPair.SrcLang)
         << ", \"target_lang\": " << JsonString(P.LangPair.TrgLang) << ", \"total\": " << P.TotalSegCount
         << ", \"edited\": " << P.ChangedSegCount << ", \"edit_distance\": " << JsonString(P.EdDist)
         << ", \"written\": " << (P.Written ? "true" : "false")
         << ", \"report\": " << (P.Written ? JsonString(P.ReportFile) : std::string("null"))
         << ",\n     \"bands\": " << JsonBands(P.Analysis) << ",\n     \"documents\": " << JsonDocuments(P.Analysis)
         << "}";
  }
  AOut << (Pairs.empty() ? "]" : "\n  ]") << ",\n  \"audit\": " << JsonAudit(ARun.Audit()) << "\n}\n";
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

  TDiffFileConstructorSettings Settings;
  const TInputs Source = CollectInputs(Options.SourceFiles);
  const TInputs Edited = CollectInputs(Options.EditedFiles);
  Settings.TranslatorFiles = Source.List;
  Settings.EditorFiles = Edited.List;
  Settings.HideEquivalentString = !Options.ShowIdentical;
  Settings.DoNotSeparateSpaces = Options.IgnoreNbsp;
  Settings.FillDiffRowColored = !Options.NoHighlight;
  Settings.ShowTagsFlag = Options.ShowTags;
  Settings.ResultFileFormat = Options.Format;
  Settings.LocalizationLanguare = Lang;
  Settings.EditBandBounds = Options.BandBounds;
  if (!TDiffFileConstructor::CreateFileCreator(Settings)) {
    AErr << "lexmora-compare: this build has no writer for the chosen report format\n";
    return static_cast<int>(TCliExit::ceCreateDiffFileError);
  }

  std::error_code Ec;
  const fs::path OutputDir = fs::absolute(Options.OutputDir, Ec).lexically_normal();
  fs::create_directories(OutputDir, Ec);
  if (Ec || !fs::is_directory(OutputDir)) {
    AErr << "lexmora-compare: cannot create the output folder " << OutputDir.string() << "\n";
    return static_cast<int>(TCliExit::ceCreateDiffFileError);
  }
  const std::string Prefix = ReserveResultPrefix(OutputDir.string(), ResultTimeStamp());
  if (Prefix.empty()) {
    AErr << "lexmora-compare: cannot write into the output folder " << OutputDir.string() << "\n";
    return static_cast<int>(TCliExit::ceCreateDiffFileError);
  }
  Settings.ResultFileName = Prefix;

  // Note: the readers wipe their working folder for every input, so they get a folder of their
  // own inside a private one, never a folder the user named.
  const fs::path TempParent = Options.TempDir.empty() ? fs::temp_directory_path(Ec) : fs::absolute(Options.TempDir, Ec);
  const TPrivateWorkDir Temp(Ec ? fs::path() : TempParent, "lexmora-compare");
  if (Temp.Path().empty()) {
    AErr << "lexmora-compare: cannot create a working folder\n";
    ReleaseResultPrefix(Prefix);
    return static_cast<int>(TCliExit::ceCreateDiffFileError);
  }
  Settings.TempDirectory = (Temp.Path() / "work").string() + "/";

  TInterruptGuard Interrupts;
  const bool Quiet = Options.Quiet;
  if (!Quiet) AErr << GetLocalizedText(TMsg::ComparisonStarted, Lang) << "\n";
  const bool InPlace = &AErr == &std::cerr && StandardErrorIsTerminal();
  TCliProgressPrinter Printer(AErr, Lang, InPlace, Options.Quiet);
  TDiffFileConstructor Run(Settings, Printer);
  {
    std::thread Worker([&Run] { Run.Execute(); });
    bool StopAsked = false;
    while (!Printer.WaitForResult(50)) {
      if (!StopAsked && GInterrupts.load() > 0) {
        StopAsked = true;
        Run.Terminate();
      }
      Printer.Tick();
    }
    Worker.join();
  }
  Printer.Finish();
  ReleaseResultPrefix(Prefix);

  std::vector<std::string> Reports;
  for (const std::string& File : SplitLines(Run.ResultFiles()))
    if (fs::exists(File, Ec)) Reports.push_back(File);

  const TExecuteResult Result = Run.ExecuteResult();
  // Quiet: only what went wrong reaches stderr.
  if (!Quiet || Result != TExecuteResult::erOk) AErr << "\n";
  switch (Result) {
    case TExecuteResult::erOk:
      if (!Quiet) AErr << GetLocalizedText(TMsg::ReportCreated, Lang) << "\n";
      for (const std::string& File : SplitLines(Run.ResultFiles()))
        if (!fs::exists(File, Ec)) AErr << File << " - " << GetLocalizedText(TMsg::ReportNotFound, Lang) << "\n";
      break;
    case TExecuteResult::erTerminatedByUser:
      AErr << GetLocalizedText(TMsg::ComparisonInterrupted, Lang) << "\n"
           << GetLocalizedText(TMsg::ReportStoppedByUser, Lang) << "\n";
      break;
    case TExecuteResult::erCreateDiffFileError:
      AErr << GetLocalizedText(TMsg::ComparisonInterrupted, Lang) << "\n"
           << GetLocalizedText(TMsg::ReportFailed, Lang) << "\n";
      break;
    default:
      AErr << GetLocalizedText(TMsg::ComparisonInterrupted, Lang) << "\n"
           << GetLocalizedText(TMsg::UnknownError, Lang) << "\n";
      break;
  }
  const TRunErrors Errors = ErrorsAsGiven(Run.Errors(), Source, Edited);
  if (!Errors.empty()) {
    if (!Quiet) AErr << "\n" << GetLocalizedText(TMsg::ComparisonHadErrors, Lang) << "\n";
    for (const TRunError& E : Errors) AErr << FormatErrorLine(E) << "\n";
  }
  if (Options.Json) {
    PrintJson(AOut, Run, Reports, Errors);
  } else {
    for (const std::string& File : Reports) AOut << File << "\n";
  }
  AOut.flush();
  return static_cast<int>(ExitOf(Result));
}

}  // namespace lexmora
