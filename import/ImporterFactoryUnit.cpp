#include "ImporterFactoryUnit.h"

#include "ImportFromFileGroup01Unit.h"

namespace lexmora {

std::unique_ptr<TImporter> CreateImporter(TFileTypeGroup AGroup, const std::string& ATempDir,
                                          const std::string& AFileFullName, bool ADoNotSeparateSpaces) {
  switch (AGroup) {
    using enum TFileTypeGroup;
    case ftg_01: return std::make_unique<TImporterFromGroup01>(ATempDir, AFileFullName, ADoNotSeparateSpaces);
    case ftg_02:
    case ftg_03:
    case ftg_04:
    case ftg_05:
    case ftg_undefined: return nullptr;
  }
  return nullptr;
}

}  // namespace lexmora
