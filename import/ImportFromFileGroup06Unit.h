// TImporterFromGroup06: reader of plain XLIFF documents (.xlf, .xliff) in XLIFF 1.2 or 2.x form.
// A document of a dialect that has a reader of its own (SDL, memoQ or Memsource namespace on the
// root) is read by that reader's rules.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ImportFromBaseUnit.h"
#include "Xliff2ReadUnit.h"

namespace lexmora {

class TImporterFromGroup01;
class TImporterFromGroup03;
class TImporterFromGroup05;

// Which rules read a document saved as .xlf or .xliff.
enum class TXliffDialect : unsigned char { xdPlain = 0, xdSdl = 1, xdMemoQ = 2, xdMemsource = 3 };

class TImporterFromGroup06 : public TImporter {
 public:
  // Working copy: ATempDir + the input's file name. Touches no file.
  TImporterFromGroup06(const std::string& ATempDir, const std::string& AFileFullName, bool ADoNotSeparateSpaces);
  ~TImporterFromGroup06() override;

  TExtractFilesResult ExtractFile() override;
  // Logs "TImporterFromGroup06.DefineSrcAndTrgLanguages" (or the dialect reader's name).
  void DefineSrcAndTrgLanguages() override;
  void GetSrcFileNames() override;
  // Logs "TImporterFromGroup06.GetDataFromFile" (or the dialect reader's name).
  bool GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                       TArrayOfDiffInfoRecord& AResultData) override;

  // The document walk over a document held in memory; records name AFileName as their file.
  bool GetDataFromText(std::string_view AData, const std::string& AFileName, const TIsTerminateSetFunc& AIsTerminateSet,
                       TArrayOfDiffInfoRecord& AResultData);

  const std::string& TempFileName() const { return FTempFileName; }

  // The dialect a root element declares: the first of the SDL, memoQ and Memsource namespaces
  // bound on it (by any prefix), else plain XLIFF.
  static TXliffDialect DefineDialect(pugi::xml_node ARoot);

 protected:
  // An XLIFF 1.2 source, target or segment mark in internal markup (empty for a missing node).
  static std::string Convert12(pugi::xml_node ANode);
  // XLIFF 1.2: one record per trans-unit with an id and a source, or one per segment "mrk" of its
  // seg-source; languages from the trans-unit's own "file".
  void ReadTransUnit(pugi::xml_node AUnit, const std::string& AFileName, TArrayOfDiffInfoRecord& AResultData);
  // XLIFF 2: one record per segment of a unit with an id; languages from the root.
  void ReadUnit(pugi::xml_node AUnit, bool ATranslateNo, TXmlNamespaceScope& AScope, const std::string& AFileName,
                TArrayOfDiffInfoRecord& AResultData);
  void ReadFileChild(pugi::xml_node AFileChild, TXliff2Walker& AWalker, const std::string& AFileName,
                     TArrayOfDiffInfoRecord& AResultData);
  // Reads AData by the rules of ADialect's own reader.
  bool ReadAsDialect(TXliffDialect ADialect, std::string_view AData, const std::string& AFileName,
                     const TIsTerminateSetFunc& AIsTerminateSet, TArrayOfDiffInfoRecord& AResultData);

  std::string FTempFileName;
  pugi::xml_node FLanguageSource;  // the element whose languages the records carry now
  // The dialect readers, created when a document needs them; they share the working copy.
  std::unique_ptr<TImporterFromGroup01> FSdlReader;
  std::unique_ptr<TImporterFromGroup03> FMemoQReader;
  std::unique_ptr<TImporterFromGroup05> FMemsourceReader;
};

}  // namespace lexmora
