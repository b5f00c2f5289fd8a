#include "driver/page_memory.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstdint>

namespace kestrelfold {
namespace {

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it with EINVAL
#endif

// A mapping one huge page longer, trimmed at both ends. From its huge-page
// aligned start every whole 2 MiB of it can be a huge page; the tail beyond
// the last one stays in small pages, so that no field holds up to 2 MiB it
// does not use.
char* map_aligned(std::size_t length) {
    void* raw = ::mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    char* start = static_cast<char*>(raw);
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::size_t lead = (kLargePage - address % kLargePage) % kLargePage;
    if (lead != 0) ::munmap(start, lead);
    if (kLargePage - lead != 0) ::munmap(start + lead + length, kLargePage - lead);
    return start + lead;
}

}  // namespace

char* map_pages(std::size_t length) {
    char* memory = map_aligned(length);
    // A refusal only costs the huge pages; the memory is as good.
    if (memory != nullptr) ::madvise(memory, length, MADV_HUGEPAGE);
    return memory;
}

void unmap_pages(char* memory, std::size_t length) { ::munmap(memory, length); }

// The kernel's populate reports a lack of memory as a failure; touching
// every page is the fallback for kernels without it.
bool back_pages(char* begin, std::size_t length) {
    if (::madvise(begin, length, MADV_POPULATE_WRITE) == 0) return true;
    if (errno != EINVAL) return false;
    for (std::size_t offset = 0; offset < length; offset += kPage) {
        *static_cast<volatile char*>(begin + offset) = 0;
    }
    return true;
}

}  // namespace kestrelfold
