// TImporterFromGroup03: reader of memoQ bilingual documents (.mqxliff).
#pragma once

#include <string>
#include <string_view>

#include "ImportFromBaseUnit.h"

namespace lexmora {

class TImporterFromGroup03 : public TImporter {
 public:
  // Working copy: ATempDir + the input's file name. Touches no file.
  TImporterFromGroup03(const std::string& ATempDir, const std::string& AFileFullName, bool ADoNotSeparateSpaces);

  TExtractFilesResult ExtractFile() override;
  void DefineSrcAndTrgLanguages() override;  // logs "TImporterFromGroup03.DefineSrcAndTrgLanguages"
  void GetSrcFileNames() override;
  bool GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                       TArrayOfDiffInfoRecord& AResultData) override;  // logs "TImporterFromGroup03.GetDataFromFile"

  // The document walk over a document held in memory; records name AFileName as their file.
  bool GetDataFromText(std::string_view AData, const std::string& AFileName, const TIsTerminateSetFunc& AIsTerminateSet,
                       TArrayOfDiffInfoRecord& AResultData);

  const std::string& TempFileName() const { return FTempFileName; }

  // Inline-tag kind of an element: ttBegin ("bpt"), ttEnd ("ept"), ttFull (any other name), or
  // ttNotNeeded without an "id" or when its text is exactly "{}".
  // Throws EXmlError for an element with an "id" whose content is not a single text node.
  static TTagType ClassifyTag(pugi::xml_node AElement);

  // ANode and its content in internal markup: tags as x/y/z with their escaped native code, text
  // escaped, a text that is exactly "{}" dropped, tracked deletions left out. Iterative.
  static std::string ConvertNode(pugi::xml_node ANode);
  class TMemoQConverter;

 protected:
  // One record per unit with a segment guid and a source; throws when the target is missing.
  void ReadTransUnit(pugi::xml_node AUnit, const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData);
  void ReadFileChild(pugi::xml_node AFileChild, const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData);

  std::string FTempFileName;
};

}  // namespace lexmora
