#include "DiffFileConstructorUnit.h"

#include <condition_variable>
#include <exception>
#include <filesystem>
#include <mutex>

#include "ExportToBaseUnit.h"
#include "ExportToExcelUnit.h"
#include "ExportToHTMLUnit.h"
#include "ImportFromBaseUnit.h"
#include "ImporterFactoryUnit.h"
#include "InputFolderUnit.h"
#include "LocalizationUnit.h"
#include "LoggerUnit.h"
#include "ParallelJobsUnit.h"
#include "ProgressatorUnit.h"
#include "Utf8PathUnit.h"
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
  TErrorSide Side;
  TMsg Operation;
  TMsg Outcome[OutcomeAllRead];
  TMsg NoSegments;  // a document read without error gave no segment
};

namespace {

constexpr TSideMessages kSourceMessages{
    TErrorSide::esSource,
    TMsg::ReadSourceFilesOperation,
    {TMsg::SourceUnknownError, TMsg::SourceNoProcessor, TMsg::SourceNotFound, TMsg::SourceDeleteTempDirFailed,
     TMsg::SourceCreateTempDirFailed, TMsg::SourceCopyFailed, TMsg::SourceExtractFailed,
     TMsg::SourcePrepareUnknownError, TMsg::SourceReadFailed, TMsg::SourceReadStopped},
    TMsg::SourceNoSegments};

constexpr TSideMessages kEditedMessages{
    TErrorSide::esEdited,
    TMsg::ReadEditedFilesOperation,
    {TMsg::EditedUnknownError, TMsg::EditedNoProcessor, TMsg::EditedNotFound, TMsg::EditedDeleteTempDirFailed,
     TMsg::EditedCreateTempDirFailed, TMsg::EditedCopyFailed, TMsg::EditedExtractFailed,
     TMsg::EditedPrepareUnknownError, TMsg::EditedReadFailed, TMsg::EditedReadStopped},
    TMsg::EditedNoSegments};

// ADocument's path below the folder a package was unpacked into, with "/" separators.
std::string PathInside(const std::string& ADocument, const std::string& AFolder) {
  const std::filesystem::path Rel = PathFromUtf8(ADocument).lexically_relative(PathFromUtf8(AFolder));
  if (Rel.empty() || *Rel.begin() == "..") return Utf8FromPath(PathFromUtf8(ADocument).filename());
  return GenericUtf8FromPath(Rel);
}

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

TDiffFileConstructor::~TDiffFileConstructor() {
  // A large run's records are millions of small blocks, and freeing them is a noticeable pause
  // at the end: each side is freed on a core of its own.
  try {
    RunJobs({[this] { TArrayOfDiffInfoRecord().swap(FTranslatorFileData); },
             [this] { TArrayOfDiffInfoRecord().swap(FEditorFileData); }},
            2);
  } catch (...) {
    // Nothing to report from a destructor; the members are freed below in any case.
  }
}

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
  // observer still sees the two operations one after the other, and the error records hold the
  // source side's before the edited side's, as if the sides were read in turn: each side gathers
  // its own, and only this thread adds them.
  const std::vector<std::string>& EditedFiles = FSettings.EditorFiles;
  TRunErrors EditedErrors;
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

  // No thread to be had (a page runs the engine on one): the edited side is read after the source
  // side, on this thread, and reports its progress itself.
  bool EditedInPlace = false;
  TBackgroundJob EditedReader([&] {
    try {
      ImportSide(
          EditedFiles, EditedTempDir, kEditedMessages, FEditorFileData, EditedErrors, [&] { return Abandoned.load(); },
          [&](int AFile) {
            if (EditedInPlace) {
              ReportProgress(AFile, false);
              return;
            }
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
  const auto JoinEdited = [&] { EditedReader.Wait(); };
  const auto AddErrors = [this](TRunErrors& AErrors) {
    for (TRunError& E : AErrors) AddError(std::move(E));
    AErrors.clear();
  };

  const std::vector<std::string>& SourceFiles = FSettings.TranslatorFiles;
  StartOperation(GetLocalizedText(kSourceMessages.Operation, FSettings.LocalizationLanguare),
                 static_cast<int>(SourceFiles.size()), 0, 30);
  TRunErrors SourceErrors;
  try {
    ImportSide(
        SourceFiles, FSettings.TempDirectory, kSourceMessages, FTranslatorFileData, SourceErrors, [] { return false; },
        [this](int AFile) { ReportProgress(AFile, false); });
  } catch (...) {
    Abandoned = true;
    JoinEdited();
    AddErrors(SourceErrors);
    throw;
  }
  AddErrors(SourceErrors);
  if (IsTerminateSet()) {
    // Stopped before the edited side's turn: nothing of it counts.
    JoinEdited();
    FEditorFileData.clear();
    return;
  }

  StartOperation(GetLocalizedText(kEditedMessages.Operation, FSettings.LocalizationLanguare),
                 static_cast<int>(EditedFiles.size()), 30, 60);
  EditedInPlace = !EditedReader.Aside();
  for (int I = 0; !EditedInPlace && I < static_cast<int>(EditedFiles.size()); ++I) {
    {
      std::unique_lock<std::mutex> Guard(Lock);
      Changed.wait(Guard, [&] { return EditedReached >= I || EditedFinished; });
      if (EditedReached < I) break;
    }
    ReportProgress(I, false);
  }
  JoinEdited();
  AddErrors(EditedErrors);
  if (EditedError) std::rethrow_exception(EditedError);
}

void TDiffFileConstructor::ImportSide(const std::vector<std::string>& AFiles, const std::string& ATempDir,
                                      const TSideMessages& AMessages, TArrayOfDiffInfoRecord& AResultData,
                                      TRunErrors& AErrors, const std::function<bool()>& AAbandoned,
                                      const std::function<void(int)>& AOnFile) {
  const TIsTerminateSetFunc IsStopped = [&] { return IsTerminateSet() || AAbandoned(); };
  const TLocalizationLanguare Lang = FSettings.LocalizationLanguare;
  for (std::size_t I = 0; I < AFiles.size(); ++I) {
    AOnFile(static_cast<int>(I));
    if (IsStopped()) break;
    const TImportResult Read = ImportFile(AFiles[I], ATempDir, IsStopped, AResultData);
    const int Outcome = Read.Outcome;
    const std::vector<TReadFailure>& Failures = Read.Failures;
    // The failure that gave the outcome is the last one noted; earlier ones (and every one noted
    // when the input was read on) are documents of a package that could not be read.
    const bool Failed = Outcome >= 0 && Outcome < OutcomeAllRead && Outcome != OutcomeStopped;
    const std::size_t Skipped = Failed && !Failures.empty() ? Failures.size() - 1 : Failures.size();
    for (std::size_t F = 0; F < Skipped; ++F)
      AErrors.push_back({AMessages.Side, GetLocalizedText(AMessages.Outcome[OutcomeReadFailed], Lang), AFiles[I],
                         Failures[F].Document, Failures[F].Reason});
    if (Outcome >= 0 && Outcome < OutcomeAllRead) {
      TRunError Error{AMessages.Side, GetLocalizedText(AMessages.Outcome[Outcome], Lang), AFiles[I], {}, {}};
      if (Failed && Skipped < Failures.size()) {
        Error.Document = Failures.back().Document;
        Error.Reason = Failures.back().Reason;
      }
      AErrors.push_back(std::move(Error));
    }
    // Note: a document without a single segment is not a failure, but it must not pass unnoticed.
    for (const std::string& Document : Read.EmptyDocuments)
      AErrors.push_back(
          {AMessages.Side, GetLocalizedText(AMessages.NoSegments, Lang), AFiles[I], Document, "no segments found"});
  }
}

void TDiffFileConstructor::AddError(TRunError AError) {
  FErrorLog += FormatErrorLine(AError) + "\r\n";
  FErrors.push_back(std::move(AError));
}

TDiffFileConstructor::TImportResult TDiffFileConstructor::ImportFile(const std::string& AFileName,
                                                                     const std::string& ATempDir,
                                                                     const TIsTerminateSetFunc& AIsStopped,
                                                                     TArrayOfDiffInfoRecord& AResultData) {
  TImportResult Result;
  const TFileTypeGroup Group = TImporter::DefineFileType(AFileName);
  if (Group == TFileTypeGroup::ftg_undefined) {
    Result.Failures.push_back({{}, NoReaderReason(AFileName)});
    Result.Outcome = OutcomeNoImporter;
    return Result;
  }
  std::string TempDir = ATempDir;
  if (!TempDir.empty() && TempDir.back() != '/') TempDir.push_back('/');
  // A group whose reader is not part of this build has no processor either.
  std::unique_ptr<TImporter> Importer = CreateImporter(Group, TempDir, AFileName, FSettings.DoNotSeparateSpaces);
  if (!Importer) {
    Result.Failures.push_back({{}, "no reader for this file type in this build"});
    Result.Outcome = OutcomeNoImporter;
    return Result;
  }

  // Documents of a package are named relative to it; a single document is the input itself.
  // The reports name documents so too, never by their working copies.
  const bool IsPackage = Group == TFileTypeGroup::ftg_02 || Group == TFileTypeGroup::ftg_04;
  const auto OnDocument = [&](const std::string& ADocument, std::size_t ABefore, bool ARead) {
    const std::string Inside = IsPackage ? PathInside(ADocument, TempDir) : std::string();
    const std::string UserPath = IsPackage ? AFileName + " (" + Inside + ")" : AFileName;
    for (std::size_t R = ABefore; R < AResultData.size(); ++R) AResultData[R].UserPath = UserPath;
    if (ARead && AResultData.size() == ABefore && !AIsStopped()) Result.EmptyDocuments.push_back(Inside);
  };
  const TImporter::TReadOutcome Read = Importer->ReadAll(AIsStopped, AResultData, OnDocument);
  Result.Failures = Importer->Failures();
  if (Read.Extracted != TExtractFilesResult::efrOk) {
    Result.Outcome = OutcomeOfExtract(Read.Extracted);
    return Result;
  }
  Result.Outcome = Read.Stopped ? OutcomeStopped : Read.ReadFailed ? OutcomeReadFailed : OutcomeAllRead;
  // A package without any document to read gives no segment either.
  if (Importer->UnpackedFiles().empty() && !AIsStopped()) Result.EmptyDocuments.emplace_back();
  return Result;
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
