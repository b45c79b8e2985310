// TImporterFromGroup02: reader of SDL project and return packages (.sdlppx, .sdlrpx), through
// TImporterFromGroup01.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ImportFromPackageUnit.h"

namespace lexmora {

class TImporterFromGroup02 : public TPackageImporter {
 public:
  // Working copy: ATempDir + "tmp.zip". Touches no file.
  TImporterFromGroup02(const std::string& ATempDir, const std::string& AFileFullName, bool ADoNotSeparateSpaces);

  // Full path of the first *.sdlproj directly in the unpacked package (letter case ignored), or
  // empty. Logs "TImporterFromGroup02.DefineProjectFileName".
  std::string DefineProjectFileName() const;
  // The project's language directions in project order: FLangPair.SrcLang and .TrgLang hold the
  // codes joined by ";". Logs "TImporterFromGroup02.DefineSrcAndTrgLanguages".
  void DefineSrcAndTrgLanguages() override;
  // Every .sdlxliff at any depth of each target-language folder, in list order. Folder names
  // are matched without regard to letter case; empty codes and folders read already are skipped.
  // Logs "TImporterFromGroup02.GetSrcFileNames".
  void GetSrcFileNames() override;

  // The pieces of a ";" list as the target-language list is split: the text after the last
  // ";" only when it is not empty (empty pieces before it are kept here).
  static std::vector<std::string> SplitLanguageList(const std::string& AList);

 protected:
  std::unique_ptr<TImporter> CreateInnerReader(const std::string& AInnerTempDir, const std::string& ASrcFile) const override;
  std::string ClassName() const override { return "TImporterFromGroup02"; }
};

}  // namespace lexmora
