#include "AllocatorTuningUnit.h"

#include <cstddef>  // defines __GLIBC__ where it applies
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace lexmora {

void TuneAllocator() {
#if defined(__GLIBC__)
  // Blocks up to 1 MiB come from the heap, not from a mapping of their own; up to 8 MiB free at the
  // top of a heap stay there. Setting either fixes both (no adaptive threshold).
  mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 8 * 1024 * 1024);
#endif
}

}  // namespace lexmora
