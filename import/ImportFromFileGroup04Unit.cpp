#include "ImportFromFileGroup04Unit.h"

#include <filesystem>

#include "ImportFromFileGroup03Unit.h"
#include "LoggerUnit.h"
#include "Utf8PathUnit.h"

namespace lexmora {

TImporterFromGroup04::TImporterFromGroup04(const std::string& ATempDir, const std::string& AFileFullName,
                                           bool ADoNotSeparateSpaces)
    : TPackageImporter(ATempDir, AFileFullName, ADoNotSeparateSpaces) {}

std::string TImporterFromGroup04::DefineFirstFileName() const {
  try {
    return FirstFileWithExtension(".mqxliff");
  } catch (const std::exception& E) {
    Logger().AddException("TImporterFromGroup04.DefineFirstFileName", E);
  }
  return "";
}

void TImporterFromGroup04::DefineSrcAndTrgLanguages() {
  FLangPair = {};
  try {
    const std::string First = DefineFirstFileName();
    if (First.empty() || !std::filesystem::is_regular_file(PathFromUtf8(First))) return;
    ReadLanguagesOfFirstFile(First, "TImporterFromGroup04.DefineSrcAndTrgLanguages");
    ReleaseDocument();  // the package's documents are read by readers of their own
  } catch (const std::exception& E) {
    Logger().AddException("TImporterFromGroup04.DefineSrcAndTrgLanguages", E);
  }
}

void TImporterFromGroup04::GetSrcFileNames() {
  try {
    CollectFiles(FTempDir, ".mqxliff", FUnpackedFiles);
    if (FUnpackedFiles.empty()) NoteFailure("no .mqxliff document in the package");
  } catch (const std::exception& E) {
    Logger().AddException("TImporterFromGroup04.GetSrcFileNames", E);
    NoteFailure(ReasonOf(E));
  }
}

std::unique_ptr<TImporter> TImporterFromGroup04::CreateInnerReader(const std::string& AInnerTempDir,
                                                                   const std::string& ASrcFile) const {
  return std::make_unique<TImporterFromGroup03>(AInnerTempDir, ASrcFile, FDoNotSeparateSpaces);
}

}  // namespace lexmora
