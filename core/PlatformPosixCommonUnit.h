// What the POSIX systems' and the browser's implementations of the platform seam share.
#pragma once

#include "PlatformUnit.h"

namespace lexmora {

// The outcome of a file operation that failed at AStep with errno AErrno (frExists for EEXIST).
TFileOutcome PosixFileFailure(TFileStep AStep, int AErrno);

}  // namespace lexmora
