#include "study/heap_reuse.h"

#include <malloc.h>

namespace kestrelfold::study {

void reuse_freed_heap() {
    // A free block at the top of the heap stays there up to 64 MiB, and
    // blocks up to 4 MiB come from the heap, not from mappings of their own.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_MMAP_THRESHOLD, 4 << 20);
}

}  // namespace kestrelfold::study
