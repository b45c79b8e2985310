#include "DiffFileConstructorUnit.h"

#include <exception>
#include <filesystem>

#include "ExportToBaseUnit.h"
#include "ExportToExcelUnit.h"
#include "ExportToHTMLUnit.h"
#include "ImportFromBaseUnit.h"
#include "ImporterFactoryUnit.h"
#include "InputFolderUnit.h"
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
  const std::filesystem::path Rel = std::filesystem::path(ADocument).lexically_relative(AFolder);
  if (Rel.empty() || *Rel.begin() == "..") return std::filesystem::path(ADocument).filename().string();
  return Rel.generic_string();
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
    ImportSide(FSettings.TranslatorFiles, kSourceMessages, 0, 30, FTranslatorFileData);
    if (IsTerminateSet()) {
      FExecuteResult = TExecuteResult::erTerminatedByUser;
    } else {
      ImportSide(FSettings.EditorFiles, kEditedMessages, 30, 60, FEditorFileData);
      if (IsTerminateSet())
        FExecuteResult = TExecuteResult::erTerminatedByUser;
      else
        FExecuteResult = CreateDiffFile() ? TExecuteResult::erOk : TExecuteResult::erCreateDiffFileError;
    }
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

void TDiffFileConstructor::ImportSide(const std::string& AFileList, const TSideMessages& AMessages, int APercentBegin,
                                      int APercentEnd, TArrayOfDiffInfoRecord& AResultData) {
  const std::vector<std::string> Files = SplitLines(AFileList);
  StartOperation(GetLocalizedText(AMessages.Operation, FSettings.LocalizationLanguare), static_cast<int>(Files.size()),
                 APercentBegin, APercentEnd);
  for (std::size_t I = 0; I < Files.size(); ++I) {
    ReportProgress(static_cast<int>(I), false);
    if (IsTerminateSet()) break;
    FEmptyDocuments.clear();
    const int Outcome = ImportFile(Files[I], AResultData);
    const TLocalizationLanguare Lang = FSettings.LocalizationLanguare;
    // The failure that gave the outcome is the last one noted; earlier ones (and every one noted
    // when the input was read on) are documents of a package that could not be read.
    const bool Failed = Outcome >= 0 && Outcome < OutcomeAllRead && Outcome != OutcomeStopped;
    const std::size_t Skipped =
        Failed && !FImportFailures.empty() ? FImportFailures.size() - 1 : FImportFailures.size();
    for (std::size_t F = 0; F < Skipped; ++F)
      AddError({AMessages.Side, GetLocalizedText(AMessages.Outcome[OutcomeReadFailed], Lang), Files[I],
                FImportFailures[F].Document, FImportFailures[F].Reason});
    if (Outcome >= 0 && Outcome < OutcomeAllRead) {
      TRunError Error{AMessages.Side, GetLocalizedText(AMessages.Outcome[Outcome], Lang), Files[I], {}, {}};
      if (Failed && Skipped < FImportFailures.size()) {
        Error.Document = FImportFailures.back().Document;
        Error.Reason = FImportFailures.back().Reason;
      }
      AddError(std::move(Error));
    }
    // Note: a document without a single segment is not a failure, but it must not pass unnoticed.
    for (const std::string& Document : FEmptyDocuments)
      AddError({AMessages.Side, GetLocalizedText(AMessages.NoSegments, Lang), Files[I], Document, "no segments found"});
  }
}

void TDiffFileConstructor::AddError(TRunError AError) {
  FErrorLog += FormatErrorLine(AError) + "\r\n";
  FErrors.push_back(std::move(AError));
}

int TDiffFileConstructor::ImportFile(const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData) {
  FImportFailures.clear();
  const TFileTypeGroup Group = TImporter::DefineFileType(AFileName);
  if (Group == TFileTypeGroup::ftg_undefined) {
    FImportFailures.push_back({{}, NoReaderReason(AFileName)});
    return OutcomeNoImporter;
  }
  std::string TempDir = FSettings.TempDirectory;
  if (!TempDir.empty() && TempDir.back() != '/') TempDir.push_back('/');
  // A group whose reader is not part of this build has no processor either.
  std::unique_ptr<TImporter> Importer = CreateImporter(Group, TempDir, AFileName, FSettings.DoNotSeparateSpaces);
  if (!Importer) {
    FImportFailures.push_back({{}, "no reader for this file type in this build"});
    return OutcomeNoImporter;
  }

  const TExtractFilesResult Extracted = Importer->ExtractFile();
  if (Extracted != TExtractFilesResult::efrOk) {
    FImportFailures = Importer->Failures();
    return OutcomeOfExtract(Extracted);
  }

  Importer->DefineSrcAndTrgLanguages();
  Importer->GetSrcFileNames();
  int Outcome = OutcomeAllRead;
  const TIsTerminateSetFunc IsStopped = [this] { return IsTerminateSet(); };
  // Documents of a package are named relative to it; a single document is the input itself.
  // The reports name documents so too, never by their working copies.
  const bool IsPackage = Group == TFileTypeGroup::ftg_02 || Group == TFileTypeGroup::ftg_04;
  for (const std::string& Document : Importer->UnpackedFiles()) {
    if (IsTerminateSet()) {
      Outcome = OutcomeStopped;
      break;
    }
    const std::size_t Before = AResultData.size();
    const bool Read = Importer->GetDataFromFile(Document, IsStopped, AResultData);
    const std::string Inside = IsPackage ? PathInside(Document, TempDir) : std::string();
    const std::string UserPath = IsPackage ? AFileName + " (" + Inside + ")" : AFileName;
    for (std::size_t R = Before; R < AResultData.size(); ++R) AResultData[R].UserPath = UserPath;
    if (!Read) {
      Outcome = OutcomeReadFailed;
      break;
    }
    if (AResultData.size() == Before && !IsTerminateSet())
      FEmptyDocuments.push_back(Inside);
  }
  // A package without any document to read gives no segment either.
  if (Importer->UnpackedFiles().empty() && !IsTerminateSet()) FEmptyDocuments.emplace_back();
  FImportFailures = Importer->Failures();
  Importer->DeleteTmpDir();
  return Outcome;
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
