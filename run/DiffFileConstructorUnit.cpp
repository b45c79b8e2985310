#include "DiffFileConstructorUnit.h"

#include <exception>
#include <filesystem>

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
  TMsg NoSegments;  // a document read without error gave no segment
};

namespace {

constexpr TSideMessages kSourceMessages{
    TMsg::ReadSourceFilesOperation,
    {TMsg::SourceUnknownError, TMsg::SourceNoProcessor, TMsg::SourceNotFound, TMsg::SourceDeleteTempDirFailed,
     TMsg::SourceCreateTempDirFailed, TMsg::SourceCopyFailed, TMsg::SourceExtractFailed,
     TMsg::SourcePrepareUnknownError, TMsg::SourceReadFailed, TMsg::SourceReadStopped},
    TMsg::SourceNoSegments};

constexpr TSideMessages kEditedMessages{
    TMsg::ReadEditedFilesOperation,
    {TMsg::EditedUnknownError, TMsg::EditedNoProcessor, TMsg::EditedNotFound, TMsg::EditedDeleteTempDirFailed,
     TMsg::EditedCreateTempDirFailed, TMsg::EditedCopyFailed, TMsg::EditedExtractFailed,
     TMsg::EditedPrepareUnknownError, TMsg::EditedReadFailed, TMsg::EditedReadStopped},
    TMsg::EditedNoSegments};

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
    if (Outcome >= 0 && Outcome < OutcomeAllRead)
      FErrorLog += GetLocalizedText(AMessages.Outcome[Outcome], FSettings.LocalizationLanguare) + "\r\n";
    // Note: a document without a single segment is not a failure, but it must not pass unnoticed.
    for (const std::string& Document : FEmptyDocuments)
      FErrorLog += GetLocalizedText(AMessages.NoSegments, FSettings.LocalizationLanguare) + ": " + Files[I] +
                   (Document.empty() ? "" : " (" + Document + ")") + "\r\n";
  }
}

int TDiffFileConstructor::ImportFile(const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData) {
  const TFileTypeGroup Group = TImporter::DefineFileType(AFileName);
  if (Group == TFileTypeGroup::ftg_undefined) return OutcomeNoImporter;
  std::string TempDir = FSettings.TempDirectory;
  if (!TempDir.empty() && TempDir.back() != '/') TempDir.push_back('/');
  // A group whose reader is not part of this build has no processor either.
  std::unique_ptr<TImporter> Importer = CreateImporter(Group, TempDir, AFileName, FSettings.DoNotSeparateSpaces);
  if (!Importer) return OutcomeNoImporter;

  const TExtractFilesResult Extracted = Importer->ExtractFile();
  if (Extracted != TExtractFilesResult::efrOk) return OutcomeOfExtract(Extracted);

  Importer->DefineSrcAndTrgLanguages();
  Importer->GetSrcFileNames();
  int Outcome = OutcomeAllRead;
  const TIsTerminateSetFunc IsStopped = [this] { return IsTerminateSet(); };
  // Documents of a package are named relative to it; a single document is the input itself.
  const bool IsPackage = Group == TFileTypeGroup::ftg_02 || Group == TFileTypeGroup::ftg_04;
  for (const std::string& Document : Importer->UnpackedFiles()) {
    if (IsTerminateSet()) {
      Outcome = OutcomeStopped;
      break;
    }
    const std::size_t Before = AResultData.size();
    if (!Importer->GetDataFromFile(Document, IsStopped, AResultData)) {
      Outcome = OutcomeReadFailed;
      break;
    }
    if (AResultData.size() == Before && !IsTerminateSet())
      FEmptyDocuments.push_back(IsPackage ? std::filesystem::path(Document).lexically_relative(TempDir).generic_string() : "");
  }
  // A package without any document to read gives no segment either.
  if (Importer->UnpackedFiles().empty() && !IsTerminateSet()) FEmptyDocuments.emplace_back();
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
