#include "ImporterFactoryUnit.h"

#include "ImportFromFileGroup01Unit.h"
#include "ImportFromFileGroup02Unit.h"
#include "ImportFromFileGroup03Unit.h"
#include "ImportFromFileGroup04Unit.h"
#include "ImportFromFileGroup05Unit.h"
#include "ImportFromFileGroup06Unit.h"

namespace lexmora {

std::unique_ptr<TImporter> CreateImporter(TFileTypeGroup AGroup, const std::string& ATempDir,
                                          const std::string& AFileFullName, bool ADoNotSeparateSpaces) {
  switch (AGroup) {
    using enum TFileTypeGroup;
    case ftg_01: return std::make_unique<TImporterFromGroup01>(ATempDir, AFileFullName, ADoNotSeparateSpaces);
    case ftg_02: return std::make_unique<TImporterFromGroup02>(ATempDir, AFileFullName, ADoNotSeparateSpaces);
    case ftg_03: return std::make_unique<TImporterFromGroup03>(ATempDir, AFileFullName, ADoNotSeparateSpaces);
    case ftg_04: return std::make_unique<TImporterFromGroup04>(ATempDir, AFileFullName, ADoNotSeparateSpaces);
    case ftg_05: return std::make_unique<TImporterFromGroup05>(ATempDir, AFileFullName, ADoNotSeparateSpaces);
    case ftg_06: return std::make_unique<TImporterFromGroup06>(ATempDir, AFileFullName, ADoNotSeparateSpaces);
    case ftg_undefined: return nullptr;
  }
  return nullptr;
}

}  // namespace lexmora
