// One comparison run: read every source file, then every edited file, then write one report
// per language pair. Qt-free; the caller runs Execute on a worker thread of its choice.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DataTypeUnit.h"
#include "ExportToBaseUnit.h"
#include "ImportFromBaseUnit.h"
#include "PairAnalysisUnit.h"
#include "PairingAuditUnit.h"
#include "RunErrorUnit.h"

namespace lexmora {

struct TSideMessages;
class TCsvSegmentTable;

// Outcome of a run.
enum class TExecuteResult : std::uint8_t { erUnknown = 0, erTerminatedByUser = 1, erCreateDiffFileError = 2, erOk = 3 };

// The run's three calls to its owner, made on the run's thread. The desktop program hands them
// synchronously to its GUI thread; the command-line tool prints them.
class TDiffFileConstructorObserver {
 public:
  virtual ~TDiffFileConstructorObserver() = default;
  // A new progress operation begins; it moves the whole from APercentBegin to APercentEnd.
  virtual void SetNewOperation(const std::string& AOperationName, int APointCount, int APercentBegin,
                               int APercentEnd) = 0;
  // The current operation reached this point (throttled, see ReportProgress).
  virtual void SetProgress(int ACurrentPoint) = 0;
  // The run is over: the error-log lines (each ended by CR LF; FormatErrorLine of Errors()) and
  // the report files that were written, one per line.
  virtual void SetResult(TExecuteResult AResultCode, const std::string& AErrorLog, const std::string& AResultFile) = 0;
};

// What one language pair's report holds, for front ends that summarise a run.
struct TPairSummary {
  TLangPair LangPair;       // codes as first met on the source side
  int TotalSegCount = 0;    // source segments of the pair
  int ChangedSegCount = 0;  // of those, the ones whose translated and edited texts differ
  std::string EdDist;       // total edit distance as the report shows it ("66.7%", or empty)
  std::string ReportFile;   // full name of the report file
  bool Written = false;     // the writer reported success (the file exists under this name)
  TPairAnalysis Analysis;   // bands and documents of the pair
  std::string CsvFile;      // the segments' export beside the report, when one was written
};

// Millisecond clock for progress throttling: 32 bits, compared by unsigned difference.
using TTickSource = std::function<std::uint32_t()>;

class TDiffFileConstructor {
 public:
  // Copies the settings; AObserver must outlive the run.
  TDiffFileConstructor(const TDiffFileConstructorSettings& ASettings, TDiffFileConstructorObserver& AObserver);
  virtual ~TDiffFileConstructor();
  TDiffFileConstructor(const TDiffFileConstructor&) = delete;
  TDiffFileConstructor& operator=(const TDiffFileConstructor&) = delete;

  // The run body; ends with exactly one SetResult. Never throws.
  void Execute();
  // Asks the run to stop; safe from any thread and from a signal handler.
  void Terminate() { FTerminated.store(true); }
  // The stop flag, polled by the run, the readers and the report construction.
  bool IsTerminateSet() const { return FTerminated.load(); }

  TExecuteResult ExecuteResult() const { return FExecuteResult; }
  const std::string& ErrorLog() const { return FErrorLog; }
  // The same failures as records, one per error-log line.
  const TRunErrors& Errors() const { return FErrors; }
  const std::string& ResultFiles() const { return FResultFiles; }
  const TLangPairs& LangPairs() const { return FLangPairs; }
  const std::vector<TPairSummary>& PairSummaries() const { return FPairSummaries; }
  // The pairing audit of the whole run, with the report rows of source-side entries.
  const TPairingAudit& Audit() const { return FAudit; }
  const TArrayOfDiffInfoRecord& TranslatorFileData() const { return FTranslatorFileData; }
  const TArrayOfDiffInfoRecord& EditorFileData() const { return FEditorFileData; }

  // Replaces the clock used for progress throttling (tests).
  void SetTickSource(TTickSource ATickSource) { FTickSource = std::move(ATickSource); }

  // The writer for a report format, or nullptr when the format has no writer in this build.
  static std::unique_ptr<TBaseFileCreator> CreateFileCreator(const TDiffFileConstructorSettings& ASettings);
  // ASrc + "_" + ATrg with every character other than ASCII letters, digits, "-", "_" and "."
  // replaced by "_", so that codes read from input files cannot steer the report's path.
  static std::string SafeLangPairSuffix(const std::string& ASrc, const std::string& ATrg);

 protected:
  // What the reading of one input left: its outcome 0..10 (10: every document read), the
  // reader's noted failures in order and the documents read without error but without a
  // segment (their path inside the package, or empty for the input itself).
  struct TImportResult {
    int Outcome = 0;
    std::vector<TReadFailure> Failures;
    std::vector<std::string> EmptyDocuments;
  };
  // Imports one input into AResultData with ATempDir as the working folder; AIsStopped is the
  // side's stop query.
  TImportResult ImportFile(const std::string& AFileName, const std::string& ATempDir,
                           const TIsTerminateSetFunc& AIsStopped, TArrayOfDiffInfoRecord& AResultData);
  // Builds one report per language pair, every pair attempted; true when there was a pair and
  // every pair's file was written. A pair that fails adds an error line naming its file.
  bool CreateDiffFile();
  // Appends one failure to Errors() and its line to ErrorLog().
  void AddError(TRunError AError);
  void CollectLangPairs();
  bool LangPairExists(const std::string& ASrcLang, const std::string& ATrgLang) const;
  void StartOperation(const std::string& AName, int APointCount, int APercentBegin, int APercentEnd);
  // Sends APoint to the observer unless forced or more than 250 ms passed since the last one.
  void ReportProgress(int APoint, bool AForce);
  void ReportResult();

  // The writer of one language pair (tests put a recording writer in its place).
  virtual std::unique_ptr<TBaseFileCreator> NewFileCreator() { return CreateFileCreator(FSettings); }

  // Test seams: the segment arrays can be filled directly before CreateDiffFile runs.
  TArrayOfDiffInfoRecord& MutableTranslatorFileData() { return FTranslatorFileData; }
  TArrayOfDiffInfoRecord& MutableEditorFileData() { return FEditorFileData; }

 private:
  // Reads both sides' file lists (the edited side on a second thread) with their progress
  // operations; the error records go to Errors() as if the sides were read in turn.
  void ImportBothSides();
  // Reads one side's files into AResultData, appending to AErrors the records of each file not
  // read whole and of each document without a segment, from the side's AMessages. AOnFile is
  // told each file's index before it is read; AAbandoned stops the reading as the user's stop does.
  void ImportSide(const std::vector<std::string>& AFiles, const std::string& ATempDir, const TSideMessages& AMessages,
                  TArrayOfDiffInfoRecord& AResultData, TRunErrors& AErrors, const std::function<bool()>& AAbandoned,
                  const std::function<void(int)>& AOnFile);
  // Writes one pair's report; on failure adds the error line naming AReportFile.
  bool WritePairReport(TBaseFileCreator& AWriter, const std::string& ASuffix, const std::string& AReportFile);
  // Writes a pair's CSV export; on failure adds the error line naming AFileName.
  bool WriteCsvFile(const TCsvSegmentTable& ATable, const std::string& AFileName);

  TDiffFileConstructorObserver& FObserver;
  std::atomic<bool> FTerminated{false};
  TTickSource FTickSource;

  std::uint32_t FLastSetProgressTick = 0;
  std::string FCurrentOperation;
  int FCurrentPoint = 0;
  int FTotalPoints = 0;
  std::uint8_t FPercentBegin = 0;
  std::uint8_t FPercentEnd = 0;
  std::string FErrorLog;
  TRunErrors FErrors;
  TDiffFileConstructorSettings FSettings;
  TArrayOfDiffInfoRecord FTranslatorFileData;
  TArrayOfDiffInfoRecord FEditorFileData;
  TLangPairs FLangPairs;
  TExecuteResult FExecuteResult = TExecuteResult::erUnknown;
  std::string FResultFiles;
  std::vector<TPairSummary> FPairSummaries;
  TPairingAudit FAudit;
};

}  // namespace lexmora
