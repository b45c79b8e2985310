// Creates the reader of a file-type group (a plain switch; no registry).
#pragma once

#include <memory>
#include <string>

#include "DataTypeUnit.h"
#include "ImportFromBaseUnit.h"

namespace lexmora {

// The reader for AGroup, constructed with the run's Temp folder (ending with a path delimiter),
// the input path and the no-break-space option; nullptr for ftg_undefined or a group without a
// reader yet. Constructing touches no file.
std::unique_ptr<TImporter> CreateImporter(TFileTypeGroup AGroup, const std::string& ATempDir,
                                          const std::string& AFileFullName, bool ADoNotSeparateSpaces);

}  // namespace lexmora
