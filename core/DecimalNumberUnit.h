// Floating-point numbers read from text alike on every standard library the engine is built with.
#pragma once

#include <string_view>

namespace lexmora {

// Reads all of AText as a decimal number in the C locale's form (optional "-", digits, optional
// "." and digits, optional exponent), as std::from_chars does with the general format. False, with
// AValue unspecified, when AText holds anything else or the value is out of double's range.
// Note: where the standard library has no floating-point std::from_chars (the WebAssembly build's),
// strtod_l in the C locale reads it, so no process locale ever changes the result.
bool ParseDecimalNumber(std::string_view AText, double& AValue);

}  // namespace lexmora
