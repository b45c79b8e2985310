// Named binary resources built into the program, and copying one into a file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lexmora {

// The bytes of the resource named AResName ("R004": the XLSX report's logo, a 150 x 39 PNG);
// nothing when the program carries no resource of that name.
std::optional<std::string_view> FindResource(std::string_view AResName);

// Copies the resource AResName byte for byte into AFileName (an existing file is truncated).
// Note: never throws and reports nothing to the caller; a failure is logged under
// "TMainForm.ExtractResToFile" and AFileName is deleted, so no partial file stays behind.
void ExtractResToFile(const std::string& AResName, const std::string& AFileName);

}  // namespace lexmora
