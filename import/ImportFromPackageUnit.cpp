#include "ImportFromPackageUnit.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "AsciiTextUnit.h"
#include "LoggerUnit.h"
#include "SevenZipHelper.h"
#include "Utf8PathUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

namespace {

bool EndsWithNoCase(const std::string& AName, const std::string& ALowerEnding) {
  return AName.size() >= ALowerEnding.size() &&
         AsciiLowerCase(AName.substr(AName.size() - ALowerEnding.size())) == ALowerEnding;
}

// Entries of one folder in name order, so the reading order does not depend on the file system.
std::vector<fs::directory_entry> SortedEntries(const fs::path& AFolder) {
  std::vector<fs::directory_entry> Entries;
  for (const fs::directory_entry& E : fs::directory_iterator(AFolder)) Entries.push_back(E);
  std::sort(Entries.begin(), Entries.end(), [](const fs::directory_entry& A, const fs::directory_entry& B) {
    return A.path().filename() < B.path().filename();
  });
  return Entries;
}

}  // namespace

TPackageImporter::TPackageImporter(const std::string& ATempDir, const std::string& AFileFullName,
                                   bool ADoNotSeparateSpaces)
    : TImporter(ATempDir, AFileFullName, ADoNotSeparateSpaces), FTempFileName(ATempDir + "tmp.zip") {}

TExtractFilesResult TPackageImporter::ExtractFile() {
  using enum TExtractFilesResult;
  const TExtractFilesResult Prepared = PrepareTempDir();
  if (Prepared != efrUnknown) return Prepared;
  try {
    std::error_code Ec;
    if (!CopyWorkingFile(FFileFullName, FTempFileName, Ec)) {
      NoteFailure(CopyFailureReason(FFileFullName, Ec));
      return efrFileCopyError;
    }
  } catch (const std::exception& E) {
    NoteFailure(ReasonOf(E));
    return efrFileCopyError;
  }
  std::string Reason;
  if (ExtractArchiveToDir(FTempFileName, FTempDir, &Reason)) return efrOk;
  NoteFailure(Reason);
  return efrFileUnpackError;
}

bool TPackageImporter::GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                                       TArrayOfDiffInfoRecord& AResultData) {
  // The document as the package names it, for the error line.
  std::string Document =
      ASrcFile.rfind(FTempDir, 0) == 0 && !FTempDir.empty() ? ASrcFile.substr(FTempDir.size()) : ASrcFile;
#ifdef _WIN32
  // The unpacked folders are walked with \ there; the error line names it with / as on Linux.
  std::replace(Document.begin(), Document.end(), '\\', '/');
#endif
  const auto PassOn = [&](const TImporter& AInner) {
    NoteFailure(AInner.Failures().empty() ? std::string() : AInner.Failures().back().Reason, Document);
  };
  std::unique_ptr<TImporter> Inner;
  try {
    Inner = CreateInnerReader(FTempDir + "internal/", ASrcFile);
    const TImporter::TReadOutcome Outcome = Inner->ReadAll(AIsTerminateSet, AResultData);
    if (Outcome.Extracted != TExtractFilesResult::efrOk) {
      PassOn(*Inner);
      return false;
    }
    // The package reads on after a document that failed; the run still names it.
    if (Outcome.ReadFailed) PassOn(*Inner);
  } catch (const std::exception& E) {
    // Only the removal of "internal/" can throw here; the document itself was read, or failed
    // (it is still named, before the removal's line).
    if (Inner && !Inner->Failures().empty()) PassOn(*Inner);
    Logger().AddException(ClassName() + ".GetDataFromFile", E);
  }
  return true;
}

std::string TPackageImporter::FirstFileWithExtension(const std::string& AExtension) const {
  const std::string Ending = AsciiLowerCase(AExtension);
  for (const fs::directory_entry& E : SortedEntries(PathFromUtf8(FTempDir))) {
    const std::string Name = Utf8FromPath(E.path().filename());
    if (E.is_regular_file() && EndsWithNoCase(Name, Ending)) return FTempDir + Name;
  }
  return "";
}

void TPackageImporter::CollectFiles(const std::string& AFolder, const std::string& AExtension,
                                    std::vector<std::string>& AFiles) {
  const std::string Ending = AsciiLowerCase(AExtension);
  // Explicit stack instead of recursion: a package can nest folders deeply.
  std::vector<std::vector<fs::directory_entry>> Stack;
  std::vector<std::size_t> Next;
  Stack.push_back(SortedEntries(PathFromUtf8(AFolder)));
  Next.push_back(0);
  while (!Stack.empty()) {
    if (Next.back() == Stack.back().size()) {
      Stack.pop_back();
      Next.pop_back();
      continue;
    }
    const fs::directory_entry E = Stack.back()[Next.back()++];
    if (E.is_symlink()) continue;  // never leave the unpacked package
    if (E.is_directory()) {
      Stack.push_back(SortedEntries(E.path()));
      Next.push_back(0);
    } else if (E.is_regular_file() && EndsWithNoCase(Utf8FromPath(E.path().filename()), Ending)) {
      AFiles.push_back(Utf8FromPath(E.path()));
    }
  }
}

}  // namespace lexmora
