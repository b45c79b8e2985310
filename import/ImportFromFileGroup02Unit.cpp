#include "ImportFromFileGroup02Unit.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "AsciiTextUnit.h"
#include "ImportFromFileGroup01Unit.h"
#include "LoggerUnit.h"
#include "Utf8PathUnit.h"
#include "XmlDomUnit.h"

namespace lexmora {

namespace fs = std::filesystem;

namespace {

void AppendToList(std::string& AList, const std::string& AValue) {
  if (!AList.empty()) AList += ';';
  AList += AValue;
}

}  // namespace

TImporterFromGroup02::TImporterFromGroup02(const std::string& ATempDir, const std::string& AFileFullName,
                                           bool ADoNotSeparateSpaces)
    : TPackageImporter(ATempDir, AFileFullName, ADoNotSeparateSpaces) {}

std::string TImporterFromGroup02::DefineProjectFileName() const {
  try {
    return FirstFileWithExtension(".sdlproj");
  } catch (const std::exception& E) {
    Logger().AddException("TImporterFromGroup02.DefineProjectFileName", E);
  }
  return "";
}

void TImporterFromGroup02::DefineSrcAndTrgLanguages() {
  FLangPair = {};
  try {
    const std::string Project = DefineProjectFileName();
    if (Project.empty() || !fs::is_regular_file(PathFromUtf8(Project))) return;
    pugi::xml_document Doc;
    LoadXmlFile(Doc, Project, false);
    const pugi::xml_node Directions = FindChildElement(Doc.document_element(), "LanguageDirections");
    if (!Directions) return;
    for (pugi::xml_node D = Directions.first_child(); D; D = D.next_sibling()) {
      if (D.type() != pugi::node_element || AsciiUpperCase(D.name()) != "LANGUAGEDIRECTION") continue;
      if (HasAttribute(D, "SourceLanguageCode"))
        AppendToList(FLangPair.SrcLang, AttributeValue(D, "SourceLanguageCode"));
      if (HasAttribute(D, "TargetLanguageCode"))
        AppendToList(FLangPair.TrgLang, AttributeValue(D, "TargetLanguageCode"));
    }
  } catch (const std::exception& E) {
    Logger().AddException("TImporterFromGroup02.DefineSrcAndTrgLanguages", E);
  }
}

std::vector<std::string> TImporterFromGroup02::SplitLanguageList(const std::string& AList) {
  std::vector<std::string> Pieces;
  std::size_t Start = 0;
  for (std::size_t Pos = AList.find(';'); Pos != std::string::npos; Pos = AList.find(';', Start)) {
    Pieces.push_back(AList.substr(Start, Pos - Start));
    Start = Pos + 1;
  }
  if (Start < AList.size()) Pieces.push_back(AList.substr(Start));
  return Pieces;
}

void TImporterFromGroup02::GetSrcFileNames() {
  try {
    // Folders of the package itself, in name order; only these can be language folders, so a
    // code such as "../x" never leads outside it.
    std::vector<fs::path> Folders;
    for (const fs::directory_entry& E : fs::directory_iterator(PathFromUtf8(FTempDir)))
      if (E.is_directory() && !E.is_symlink()) Folders.push_back(E.path());
    std::sort(Folders.begin(), Folders.end());
    std::set<fs::path> Done;
    bool FolderFound = false;
    for (const std::string& Code : SplitLanguageList(FLangPair.TrgLang)) {
      // Note: an empty code names no folder; taking it as FTempDir itself would read the source
      // language and everything else in the package.
      if (Code.empty()) continue;
      // Packages are made where folder names ignore letter case: "de-de" serves "de-DE".
      const std::string Wanted = AsciiLowerCase(Code);
      for (const fs::path& Folder : Folders) {
        if (AsciiLowerCase(Utf8FromPath(Folder.filename())) != Wanted || !Done.insert(Folder).second) continue;
        FolderFound = true;
        CollectFiles(Utf8FromPath(Folder), ".sdlxliff", FUnpackedFiles);
      }
    }
    // The run names the package when nothing of it can be read.
    if (FLangPair.TrgLang.empty())
      NoteFailure("no target language in the project file");
    else if (!FolderFound)
      NoteFailure("no target-language folder (" + FLangPair.TrgLang + ")");
    else if (FUnpackedFiles.empty())
      NoteFailure("no .sdlxliff document in the target-language folder");
  } catch (const std::exception& E) {
    Logger().AddException("TImporterFromGroup02.GetSrcFileNames", E);
    NoteFailure(ReasonOf(E));
  }
}

std::unique_ptr<TImporter> TImporterFromGroup02::CreateInnerReader(const std::string& AInnerTempDir,
                                                                   const std::string& ASrcFile) const {
  return std::make_unique<TImporterFromGroup01>(AInnerTempDir, ASrcFile, FDoNotSeparateSpaces);
}

}  // namespace lexmora
