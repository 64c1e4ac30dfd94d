#include "ProcessMemory.h"

#include <malloc.h>

namespace ProcessMemory {

void returnFreed() {
    malloc_trim(0);
}

void returnLargeBlocksAtOnce() {
    // A fixed threshold also stops the C library from raising it each time
    // a large block is freed.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
}

} // namespace ProcessMemory
