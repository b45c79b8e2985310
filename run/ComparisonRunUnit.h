// The one entry every front end calls for a comparison: it fills a request, starts the run on a
// thread of its choice and reads the outcome. Everything between (the inputs below folders, the
// report name prefix, the private working folder, the settings record, the clean-up) happens here,
// so the desktop window, the command-line tool and the browser page prepare a run the same way.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "DataTypeUnit.h"
#include "DiffFileConstructorUnit.h"
#include "PairingAuditUnit.h"
#include "RunErrorUnit.h"

namespace lexmora {

// What a front end asks for.
struct TRunRequest {
  // Files, packages or folders as the user gave them; a folder stands for the supported files
  // below it. Error lines name an input as it is given here.
  std::vector<std::string> SourceFiles;
  std::vector<std::string> EditedFiles;
  bool HideEquivalentString = false;
  bool DoNotSeparateSpaces = false;
  bool FillDiffRowColored = false;
  TShowTagsFlag ShowTagsFlag = TShowTagsFlag::stfDontShowTags;
  TResultFileFormat ResultFileFormat = TResultFileFormat::rffHTML;
  TLocalizationLanguare LocalizationLanguare = TLocalizationLanguare::llEN;
  // Lower bounds of the analysis's edit-distance bands, highest first; empty: the default bands.
  std::vector<int> EditBandBounds;
  // Shares of the full rate by band, price and currency; the rates' bounds must be the bands'
  // (and are the bands when EditBandBounds is empty). No rates: no cost table.
  TCostTerms Cost;
  // Also write each report's segments as "<report name>.csv".
  bool WriteCsv = false;
  // Folder of the reports, created when missing.
  std::string OutputDir;
  // Where the run's private working folder is made; empty: the system's temporary folder.
  std::string WorkParent;
  // The working folder's name before its random part ("<name>-XXXXXX").
  std::string WorkFolderName = "run";
};

// Why a run could not start; rsReady once it could.
enum class TRunSetup : std::uint8_t {
  rsReady = 0,
  rsNoFiles = 1,        // one of the two lists is empty
  rsResultsFolder = 2,  // the output folder cannot be made or written
  rsWorkFolder = 3,     // no working folder could be made
};

// One report file the run named, and whether it is there now.
struct TReportFile {
  std::string Path;
  bool Exists = false;
};

// What a run came to.
struct TRunOutcome {
  TRunSetup Setup = TRunSetup::rsReady;
  std::string SetupFolder;  // the folder a setup failure names, as the request gave it
  TExecuteResult Result = TExecuteResult::erUnknown;
  TRunErrors Errors;                 // inputs named as the request gave them
  std::vector<TReportFile> Reports;  // every report the run meant to write, in language-pair order
  std::vector<TPairSummary> Pairs;
  TPairingAudit Audit;
};

// The run's calls to its front end, made on the run's thread.
class TRunObserver {
 public:
  virtual ~TRunObserver() = default;
  // A new progress operation begins; it moves the whole from APercentBegin to APercentEnd.
  virtual void SetNewOperation(const std::string& AOperationName, int APointCount, int APercentBegin,
                               int APercentEnd) = 0;
  // The current operation reached this point (at most four times a second).
  virtual void SetProgress(int ACurrentPoint) = 0;
  // The outcome, once: sent before the working folder is removed, which can take a while, so a
  // front end can show it at once. Execute returns only after the clean-up.
  virtual void SetOutcome(const TRunOutcome& AOutcome) = 0;
};

class TComparisonRun {
 public:
  explicit TComparisonRun(TRunRequest ARequest);
  // Releases what Prepare made when Execute never ran.
  ~TComparisonRun();
  TComparisonRun(const TComparisonRun&) = delete;
  TComparisonRun& operator=(const TComparisonRun&) = delete;

  // Checks the lists and makes the places the run writes to: the output folder, a report name
  // prefix reserved in it, a private working folder. Quick, so a front end may call it on its
  // GUI thread. False: Outcome().Setup says why, and Execute must not be called.
  bool Prepare();
  // Runs the comparison on the calling thread, then releases the reservation and removes the
  // working folder. Call once, after Prepare succeeded. Never throws.
  const TRunOutcome& Execute(TRunObserver& AObserver);
  // Asks the run to stop; safe from any thread.
  void Terminate();
  bool IsTerminateSet() const { return FStopAsked.load(); }

  const TRunOutcome& Outcome() const { return FOutcome; }
  // The record the run was given (tests).
  const TDiffFileConstructorSettings& Settings() const { return FSettings; }

 private:
  class TObserverBridge;

  void Release();

  TRunRequest FRequest;
  TDiffFileConstructorSettings FSettings;
  TRunOutcome FOutcome;
  std::atomic<bool> FStopAsked{false};
  std::string FPrefix;   // the reserved report name prefix, while held
  std::string FWorkDir;  // the private working folder, while it exists
  // Each side's inputs: full path -> path as given.
  std::map<std::string, std::string> FSourceGiven;
  std::map<std::string, std::string> FEditedGiven;
  std::unique_ptr<TObserverBridge> FBridge;
  std::mutex FRunLock;  // FRun is let go on the run's thread while a stop may come from another
  std::unique_ptr<TDiffFileConstructor> FRun;
};

}  // namespace lexmora
