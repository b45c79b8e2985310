// JSON text for the machine-readable answers of the front ends (the command-line tool's summary,
// the browser page's engine).
#pragma once

#include <string>

namespace lexmora {

// The JSON text of one string, quotes included.
std::string JsonString(const std::string& AText);

}  // namespace lexmora
