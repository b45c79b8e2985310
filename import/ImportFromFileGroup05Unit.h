// TImporterFromGroup05: reader of Memsource bilingual documents (.mxliff), in XLIFF 1.2 form (one
// record per trans-unit) and in XLIFF 2 form (one record per segment of a unit).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ImportFromBaseUnit.h"
#include "Xliff2ReadUnit.h"

namespace lexmora {

// One tag of a unit's metadata ("m:mark").
struct TMemsourceTagDictRecord {
  bool FIsBeginEndTag = false;  // always false; the replacement does not consult it
  std::string FTagID;           // the id as in the placeholder tokens
  std::string FTagContent;      // serialised content of "m:content" (" & ' < > as numeric references)
};

using TMemsourceTagDict = std::vector<TMemsourceTagDictRecord>;

class TImporterFromGroup05 : public TImporter {
 public:
  // Working copy: ATempDir + the input's file name. Touches no file.
  TImporterFromGroup05(const std::string& ATempDir, const std::string& AFileFullName, bool ADoNotSeparateSpaces);

  TExtractFilesResult ExtractFile() override;
  void DefineSrcAndTrgLanguages() override;  // logs "TImporterFromGroup05.DefineSrcAndTrgLanguages"
  void GetSrcFileNames() override;
  bool GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                       TArrayOfDiffInfoRecord& AResultData) override;  // logs "TImporterFromGroup05.GetDataFromFile"

  // The document walk over a document held in memory; records name AFileName as their file.
  bool GetDataFromText(std::string_view AData, const std::string& AFileName, const TIsTerminateSetFunc& AIsTerminateSet,
                       TArrayOfDiffInfoRecord& AResultData);

  const std::string& TempFileName() const { return FTempFileName; }

  // A score ("0.95", "1,0") as a whole percentage ("95", "100"): "," or "." as decimal separator
  // whatever the locale, halves to the even neighbour; empty for 0.001 and less or a non-number.
  static std::string ScoreToMatch(const std::string& AScore);

  // The "m:mark" children of a metadata element that have an "id", in document order.
  static TMemsourceTagDict ReadTagMetadata(pugi::xml_node AMetadata);

  // ASerialised (serialised segment content) with the tokens "{id&#62;", "&#60;id}" and "{id}"
  // of every tag of AMetadata replaced by x, y and z markup carrying the tag's content.
  static std::string ReplacePlaceholders(const std::string& ASerialised, pugi::xml_node AMetadata);

 protected:
  // What a unit says of all its segments.
  struct TUnitState {
    std::string ID;
    bool IsLocked = false;  // m:locked, lower-cased, is "true"
    std::string Match;      // ScoreToMatch of m:score, empty without it
  };
  static TUnitState UnitState(pugi::xml_node AUnit);

  // One record per unit with an id; throws when its source or target is missing.
  void ReadTransUnit(pugi::xml_node AUnit, const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData);
  // XLIFF 2 form: one record per segment of a unit with an id (segment id, else its position).
  void ReadUnit(pugi::xml_node AUnit, TXmlNamespaceScope& AScope, const std::string& AFileName,
                TArrayOfDiffInfoRecord& AResultData);
  void ReadFileChild(pugi::xml_node AFileChild, TXliff2Walker& AWalker, const std::string& AFileName,
                     TArrayOfDiffInfoRecord& AResultData);

  std::string FTempFileName;
};

}  // namespace lexmora
