// TPackageImporter: what the package readers (.sdlppx/.sdlrpx, .mqxlz) share: the working copy
// "tmp.zip" unpacked beside itself, and each document read through an inner single-document reader.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ImportFromBaseUnit.h"

namespace lexmora {

class TPackageImporter : public TImporter {
 public:
  // Working copy: ATempDir + "tmp.zip". Touches no file.
  TPackageImporter(const std::string& ATempDir, const std::string& AFileFullName, bool ADoNotSeparateSpaces);

  // PrepareTempDir, copy to "tmp.zip" (efrFileCopyError), unpack into the working folder
  // (efrFileUnpackError for a damaged, hostile or non-ZIP package). Never throws.
  TExtractFilesResult ExtractFile() override;

  // Reads the document ASrcFile of the unpacked package through a fresh inner reader working in
  // "internal/": false only when the inner reader cannot copy it; true also after an inner read
  // failed (the inner reader logged it, this reader notes it with the document's name), so the
  // run goes on with the next document.
  bool GetDataFromFile(const std::string& ASrcFile, const TIsTerminateSetFunc& AIsTerminateSet,
                       TArrayOfDiffInfoRecord& AResultData) override;

  const std::string& TempFileName() const { return FTempFileName; }

 protected:
  // The single-document reader for ASrcFile with the working folder AInnerTempDir.
  virtual std::unique_ptr<TImporter> CreateInnerReader(const std::string& AInnerTempDir, const std::string& ASrcFile) const = 0;
  // Name under which the unexpected failures of GetDataFromFile are logged.
  virtual std::string ClassName() const = 0;

  // Full path of the first regular file directly in the working folder whose name ends in
  // AExtension (letter case ignored), in name order; empty when there is none.
  std::string FirstFileWithExtension(const std::string& AExtension) const;

  // Appends every regular file below AFolder whose name ends in AExtension (letter case
  // ignored), depth first: a folder's entries in name order, a subfolder's files at its place.
  static void CollectFiles(const std::string& AFolder, const std::string& AExtension, std::vector<std::string>& AFiles);

  std::string FTempFileName;
};

}  // namespace lexmora
