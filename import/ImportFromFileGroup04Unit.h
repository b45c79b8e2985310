// TImporterFromGroup04: reader of zipped memoQ documents (.mqxlz), through TImporterFromGroup03.
#pragma once

#include <memory>
#include <string>

#include "ImportFromPackageUnit.h"

namespace lexmora {

class TImporterFromGroup04 : public TPackageImporter {
 public:
  // Working copy: ATempDir + "tmp.zip". Touches no file.
  TImporterFromGroup04(const std::string& ATempDir, const std::string& AFileFullName, bool ADoNotSeparateSpaces);

  // Full path of the first .mqxliff directly in the unpacked package, or empty.
  // Logs "TImporterFromGroup04.DefineFirstFileName".
  std::string DefineFirstFileName() const;
  // The pair of that first document; the records take theirs from each document.
  // Logs "TImporterFromGroup04.DefineSrcAndTrgLanguages".
  void DefineSrcAndTrgLanguages() override;
  // Every .mqxliff at any depth of the unpacked package. Logs "TImporterFromGroup04.GetSrcFileNames".
  void GetSrcFileNames() override;

 protected:
  std::unique_ptr<TImporter> CreateInnerReader(const std::string& AInnerTempDir, const std::string& ASrcFile) const override;
  std::string ClassName() const override { return "TImporterFromGroup04"; }
};

}  // namespace lexmora
