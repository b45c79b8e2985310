// Package entry names that are safe on Linux but not on Windows: there "\" separates folders,
// device names and drive or network prefixes reach outside the working folder, and names that
// Windows alters (trailing dots and blanks, letter case) can make two entries one file.
// Compiled on every platform so the rules are tested natively; the extraction applies them on
// Windows only, where Linux keeps its own (a Linux user's "COM1.txt" stays readable there).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lexmora {

// Why the entry name AName cannot be unpacked on Windows, in one short lower-case clause, or an
// empty view when it can. Both "/" and "\" separate components; empty and "." components are
// skipped as the extraction skips them.
// A component in the form of an 8.3 short name ("VERYLO~1.SDL") is refused too: on Windows it can
// be the alias of a file another entry made, and would be written over it.
// Note: a reserved device name counts with any extension ("nul.txt", "COM1.tar.gz") because
// Windows opens the device for those too; "COM0", "LPT0" and "COM10" are ordinary names.
std::string_view WindowsEntryNameProblem(std::string_view AName);

// The refusal for the first two of ANames (entry names as stored, a trailing separator marks a
// folder) that would be one file on Windows: the same components when letter case is ignored,
// where at least one of them is a file. Empty when there is none. Folders that differ only in
// case are one folder there and are not refused.
std::string WindowsNameClash(const std::vector<std::string>& ANames);

}  // namespace lexmora
