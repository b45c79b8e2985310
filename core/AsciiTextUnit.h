// ASCII letter case for format keywords, file extensions, language codes and library messages.
#pragma once

#include <string>

namespace lexmora {

// Note: only 'A'-'Z' and 'a'-'z' change, whatever the process locale: the texts folded here are
// ASCII by definition, and a locale's rules (a Turkish dotless i) or a byte of UTF-8 must never
// turn one keyword into another.

// C lower-cased when it is an ASCII capital, unchanged otherwise.
constexpr char AsciiLower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

// AText with the ASCII capitals lower-cased.
std::string AsciiLowerCase(std::string AText);

// AText with the ASCII small letters upper-cased.
std::string AsciiUpperCase(std::string AText);

// AText with its first byte lower-cased when that is an ASCII capital, so a library's message
// reads on after our own words ("cannot write the archive: no such file").
std::string LowerFirst(std::string AText);

}  // namespace lexmora
