#include "driver/page_memory.h"

#include <windows.h>

#include <cstdint>

namespace kestrelfold {
namespace {

// VirtualAlloc places a block on a 64 KiB boundary. A range one large page
// longer is looked for and given back, and the block is taken at the large
// page boundary inside it; another thread could take that range meanwhile,
// so it is tried a few times.
constexpr int kPlacingAttempts = 8;

char* first_boundary_in_free_range(std::size_t length) {
    void* probe = ::VirtualAlloc(nullptr, length + kLargePage, MEM_RESERVE, PAGE_NOACCESS);
    if (probe == nullptr) return nullptr;
    const auto address = reinterpret_cast<std::uintptr_t>(probe);
    ::VirtualFree(probe, 0, MEM_RELEASE);
    return reinterpret_cast<char*>((address + kLargePage - 1) / kLargePage * kLargePage);
}

}  // namespace

// Committed at once: Windows charges the memory now, and refuses here what
// it could not give later. Large pages need a privilege that a desktop
// user does not hold: the fields live in small pages.
char* map_pages(std::size_t length) {
    for (int attempt = 0; attempt < kPlacingAttempts; ++attempt) {
        char* boundary = first_boundary_in_free_range(length);
        if (boundary == nullptr) return nullptr;
        void* memory = ::VirtualAlloc(boundary, length, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (memory != nullptr) return static_cast<char*>(memory);
    }
    return nullptr;
}

void unmap_pages(char* memory, std::size_t) { ::VirtualFree(memory, 0, MEM_RELEASE); }

// Committed memory is only faulted in when first touched.
bool back_pages(char* begin, std::size_t length) {
    for (std::size_t offset = 0; offset < length; offset += kPage) {
        *static_cast<volatile char*>(begin + offset) = 0;
    }
    return true;
}

}  // namespace kestrelfold
