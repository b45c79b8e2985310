#include "DiffFileConstructorUnit.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "ExportToBaseUnit.h"
#include "ExportToExcelUnit.h"
#include "ExportToHTMLUnit.h"
#include "ImportFromBaseUnit.h"
#include "ImporterFactoryUnit.h"
#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "ProgressatorUnit.h"
#include "Utf8Unit.h"

namespace lexmora {

// Outcomes of ImportFile that are not a failure of ExtractFile.
constexpr int OutcomeNoImporter = 1;
constexpr int OutcomeReadFailed = 8;
constexpr int OutcomeStopped = 9;
constexpr int OutcomeAllRead = 10;

// Milliseconds within which a second unforced progress point is not passed on.
constexpr std::uint32_t ProgressPeriodMs = 250;

// What one side's reading shows: its operation name and the error-log message of each import
// outcome that is not OutcomeAllRead, indexed by the outcome.
struct TSideMessages {
  TMsg Operation;
  TMsg Outcome[OutcomeAllRead];
};

namespace {

constexpr TSideMessages kSourceMessages{
    TMsg::ReadSourceFilesOperation,
    {TMsg::SourceUnknownError, TMsg::SourceNoProcessor, TMsg::SourceNotFound, TMsg::SourceDeleteTempDirFailed,
     TMsg::SourceCreateTempDirFailed, TMsg::SourceCopyFailed, TMsg::SourceExtractFailed,
     TMsg::SourcePrepareUnknownError, TMsg::SourceReadFailed, TMsg::SourceReadStopped}};

constexpr TSideMessages kEditedMessages{
    TMsg::ReadEditedFilesOperation,
    {TMsg::EditedUnknownError, TMsg::EditedNoProcessor, TMsg::EditedNotFound, TMsg::EditedDeleteTempDirFailed,
     TMsg::EditedCreateTempDirFailed, TMsg::EditedCopyFailed, TMsg::EditedExtractFailed,
     TMsg::EditedPrepareUnknownError, TMsg::EditedReadFailed, TMsg::EditedReadStopped}};

int OutcomeOfExtract(TExtractFilesResult AResult) {
  switch (AResult) {
    using enum TExtractFilesResult;
    case efrUnknown:
      return 0;
    case efrFileNotFound:
      return 2;
    case efrDeleteTempDirError:
      return 3;
    case efrCreateTempDirError:
      return 4;
    case efrFileCopyError:
      return 5;
    case efrFileUnpackError:
      return 6;
    case efrPrepareExtractOtherError:
      return 7;
    case efrOk:
      break;
  }
  return -1;
}

}  // namespace

TDiffFileConstructor::TDiffFileConstructor(const TDiffFileConstructorSettings& ASettings,
                                           TDiffFileConstructorObserver& AObserver)
    : FObserver(AObserver), FTickSource(GetTickCount32), FSettings(ASettings) {}

TDiffFileConstructor::~TDiffFileConstructor() = default;

std::unique_ptr<TBaseFileCreator> TDiffFileConstructor::CreateFileCreator(
    const TDiffFileConstructorSettings& ASettings) {
  switch (ASettings.ResultFileFormat) {
    using enum TResultFileFormat;
    case rffHTML:
      return std::make_unique<THTMLFileCreator>(ASettings);
    case rffXLSX:
      return std::make_unique<TExcelFileCreator>(ASettings);
  }
  return nullptr;
}

std::string TDiffFileConstructor::SafeLangPairSuffix(const std::string& ASrc, const std::string& ATrg) {
  // Decoded first, so that a character of several bytes gives one "_", not one per byte.
  const std::u32string Chars = Utf8ToU32(ASrc + "_" + ATrg);
  std::string Result;
  Result.reserve(Chars.size());
  for (const char32_t C : Chars) {
    const bool Safe = (C >= U'a' && C <= U'z') || (C >= U'A' && C <= U'Z') || (C >= U'0' && C <= U'9') || C == U'-' ||
                      C == U'_' || C == U'.';
    Result.push_back(Safe ? static_cast<char>(C) : '_');
  }
  return Result;
}

void TDiffFileConstructor::Execute() {
  FExecuteResult = TExecuteResult::erUnknown;
  try {
    ImportBothSides();
    if (IsTerminateSet())
      FExecuteResult = TExecuteResult::erTerminatedByUser;
    else
      FExecuteResult = CreateDiffFile() ? TExecuteResult::erOk : TExecuteResult::erCreateDiffFileError;
  } catch (const std::exception& E) {
    Logger().AddException("TDiffFileConstructor.Execute", E);
  } catch (...) {
    Logger().AddError("TDiffFileConstructor.Execute", "unknown exception");
  }
  // The owner's handler must not take the run's thread down with it.
  try {
    ReportResult();
  } catch (const std::exception& E) {
    Logger().AddException("TDiffFileConstructor.ReportResult", E);
  } catch (...) {
    Logger().AddError("TDiffFileConstructor.ReportResult", "unknown exception");
  }
}

void TDiffFileConstructor::ImportBothSides() {
  // The edited side is read on a thread of its own while this one reads the source side. The
  // observer still sees the two operations one after the other, and the error log holds the
  // source side's lines before the edited side's, as if the sides were read in turn.
  const std::vector<std::string> EditedFiles = SplitLines(FSettings.EditorFiles);
  std::string EditedLog;
  std::exception_ptr EditedError;
  std::mutex Lock;
  std::condition_variable Changed;
  int EditedReached = -1;  // the edited file the reader is at
  bool EditedFinished = false;
  std::atomic<bool> Abandoned{false};  // the source side failed: the edited side is not wanted
  // Each side unpacks into a working folder of its own.
  std::string EditedTempDir = FSettings.TempDirectory;
  while (!EditedTempDir.empty() && EditedTempDir.back() == '/') EditedTempDir.pop_back();
  if (!EditedTempDir.empty()) EditedTempDir += "-edited/";

  std::jthread EditedReader([&] {
    try {
      ImportSide(EditedFiles, EditedTempDir, kEditedMessages, FEditorFileData, EditedLog, [&] { return Abandoned.load(); },
                 [&](int AFile) {
                   const std::lock_guard<std::mutex> Guard(Lock);
                   EditedReached = AFile;
                   Changed.notify_all();
                 });
    } catch (...) {
      EditedError = std::current_exception();
    }
    const std::lock_guard<std::mutex> Guard(Lock);
    EditedFinished = true;
    Changed.notify_all();
  });
  const auto JoinEdited = [&] {
    if (EditedReader.joinable()) EditedReader.join();
  };

  const std::vector<std::string> SourceFiles = SplitLines(FSettings.TranslatorFiles);
  StartOperation(GetLocalizedText(kSourceMessages.Operation, FSettings.LocalizationLanguare),
                 static_cast<int>(SourceFiles.size()), 0, 30);
  try {
    ImportSide(SourceFiles, FSettings.TempDirectory, kSourceMessages, FTranslatorFileData, FErrorLog, [] { return false; },
               [this](int AFile) { ReportProgress(AFile, false); });
  } catch (...) {
    Abandoned = true;
    JoinEdited();
    throw;
  }
  if (IsTerminateSet()) {
    // Stopped before the edited side's turn: nothing of it counts.
    JoinEdited();
    FEditorFileData.clear();
    return;
  }

  StartOperation(GetLocalizedText(kEditedMessages.Operation, FSettings.LocalizationLanguare),
                 static_cast<int>(EditedFiles.size()), 30, 60);
  for (int I = 0; I < static_cast<int>(EditedFiles.size()); ++I) {
    {
      std::unique_lock<std::mutex> Guard(Lock);
      Changed.wait(Guard, [&] { return EditedReached >= I || EditedFinished; });
      if (EditedReached < I) break;
    }
    ReportProgress(I, false);
  }
  JoinEdited();
  FErrorLog += EditedLog;
  if (EditedError) std::rethrow_exception(EditedError);
}

void TDiffFileConstructor::ImportSide(const std::vector<std::string>& AFiles, const std::string& ATempDir,
                                      const TSideMessages& AMessages, TArrayOfDiffInfoRecord& AResultData,
                                      std::string& AErrorLog,
                                      const std::function<bool()>& AAbandoned,
                                      const std::function<void(int)>& AOnFile) {
  const TIsTerminateSetFunc IsStopped = [&] { return IsTerminateSet() || AAbandoned(); };
  for (std::size_t I = 0; I < AFiles.size(); ++I) {
    AOnFile(static_cast<int>(I));
    if (IsStopped()) break;
    const int Outcome = ImportFile(AFiles[I], ATempDir, IsStopped, AResultData);
    if (Outcome >= 0 && Outcome < OutcomeAllRead)
      AErrorLog += GetLocalizedText(AMessages.Outcome[Outcome], FSettings.LocalizationLanguare) + "\r\n";
  }
}

int TDiffFileConstructor::ImportFile(const std::string& AFileName, const std::string& ATempDir,
                                     const TIsTerminateSetFunc& AIsStopped, TArrayOfDiffInfoRecord& AResultData) {
  const TFileTypeGroup Group = TImporter::DefineFileType(AFileName);
  if (Group == TFileTypeGroup::ftg_undefined) return OutcomeNoImporter;
  std::string TempDir = ATempDir;
  if (!TempDir.empty() && TempDir.back() != '/') TempDir.push_back('/');
  // A group whose reader is not part of this build has no processor either.
  std::unique_ptr<TImporter> Importer = CreateImporter(Group, TempDir, AFileName, FSettings.DoNotSeparateSpaces);
  if (!Importer) return OutcomeNoImporter;

  const TImporter::TReadOutcome Read = Importer->ReadAll(AIsStopped, AResultData);
  if (Read.Extracted != TExtractFilesResult::efrOk) return OutcomeOfExtract(Read.Extracted);
  if (Read.Stopped) return OutcomeStopped;
  return Read.ReadFailed ? OutcomeReadFailed : OutcomeAllRead;
}

void TDiffFileConstructor::StartOperation(const std::string& AName, int APointCount, int APercentBegin,
                                          int APercentEnd) {
  FCurrentOperation = AName;
  FTotalPoints = APointCount;
  FPercentBegin = static_cast<std::uint8_t>(APercentBegin);
  FPercentEnd = static_cast<std::uint8_t>(APercentEnd);
  FObserver.SetNewOperation(FCurrentOperation, FTotalPoints, FPercentBegin, FPercentEnd);
}

void TDiffFileConstructor::ReportProgress(int APoint, bool AForce) {
  FCurrentPoint = APoint;
  const std::uint32_t Now = FTickSource();
  // Note: the unsigned difference stays right across the 32-bit wrap of the tick.
  if (!AForce && static_cast<std::uint32_t>(Now - FLastSetProgressTick) <= ProgressPeriodMs) return;
  FLastSetProgressTick = Now;
  FObserver.SetProgress(FCurrentPoint);
}

void TDiffFileConstructor::ReportResult() { FObserver.SetResult(FExecuteResult, FErrorLog, FResultFiles); }

}  // namespace lexmora
