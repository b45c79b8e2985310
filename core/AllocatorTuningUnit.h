// The allocator settings of the program's processes.
#pragma once

namespace lexmora {

// Called first thing in main. A comparison allocates and frees the trees of document slices and
// the report's buffers by the hundred; glibc by default hands such blocks of some hundred KiB back
// to the system and takes them again, each time paying a page fault per page touched (a tenth of
// the run's time on big documents). Keeping up to a few MiB of freed memory for reuse avoids that
// and costs next to nothing in peak memory. Elsewhere than glibc it does nothing, and where the
// programs are linked with jemalloc, which keeps freed memory for reuse by itself, it is moot.
void TuneAllocator();

}  // namespace lexmora
