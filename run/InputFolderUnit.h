// Folders among the inputs: the files of a folder that the comparison can read.
#pragma once

#include <string>
#include <vector>

namespace lexmora {

// Every regular file below ADir, at any depth, whose name a reader accepts, in name order of
// the path below ADir ("a/x" before "b"). Each is ADir joined with that path, so it reads as the
// folder was given. Symbolic links to folders are not followed; unreadable subfolders are
// skipped. Empty when ADir is no folder or holds no such file.
std::vector<std::string> SupportedFilesBelow(const std::string& ADir);

// Why AFileName has no reader, in one short clause: a folder, a missing file, another type.
std::string NoReaderReason(const std::string& AFileName);

}  // namespace lexmora
