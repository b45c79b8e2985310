// The current local time as text, for log stamps and report names.
#pragma once

#include <string>

namespace lexmora {

// The current local time formatted with strftime's AFormat (at most 63 characters of output).
std::string FormatLocalTime(const char* AFormat);

}  // namespace lexmora
