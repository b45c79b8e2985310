// The platform seam in a browser or under node: emscripten emulates POSIX on its in-memory file
// system (or on node's), with one process and no signals. The calls it shares with POSIX systems
// are in PlatformPosixCommonUnit.cpp.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "PlatformPosixCommonUnit.h"

namespace lexmora {

std::string ProgramFilePath() { return {}; }

TFileOutcome RenameNoReplace(const std::string& AFrom, const std::string& ATo) {
  // Note: emscripten has no no-replace rename and its in-memory file system no hard links. A look
  // before the move is enough here: nothing but the engine's own thread touches these files.
  struct stat Existing {};
  if (::lstat(ATo.c_str(), &Existing) == 0) return PosixFileFailure(TFileStep::fsRename, EEXIST);
  if (errno != ENOENT) return PosixFileFailure(TFileStep::fsRename, errno);
  if (struct stat From{}; ::lstat(AFrom.c_str(), &From) != 0) return PosixFileFailure(TFileStep::fsRename, errno);
  if (std::rename(AFrom.c_str(), ATo.c_str()) != 0) return PosixFileFailure(TFileStep::fsRename, errno);
  return {};
}

// No Ctrl-C reaches a page or a node program through the engine: a run stops through its own
// stop call.
void InstallInterruptHandler(TInterruptCallback) {}

void RestoreInterruptHandler() {}

}  // namespace lexmora
