#include "numerics/field_memory.h"

#include <pthread.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

#include "driver/interruption.h"

namespace kestrelfold {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kPage = 4096;
// Below this a field is heap memory: a mapping of its own would waste most
// of a huge page, and its faults cost nothing worth saving.
constexpr std::size_t kMappedFrom = kHugePage;
// Released blocks kept for reuse (the solver's work memory), of up to two sizes.
constexpr std::size_t kKeptBlocks = 2;

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it with EINVAL
#endif

bool mapped(std::size_t values) { return values * sizeof(double) >= kMappedFrom; }

// The length of the mapping: whole 4 KiB pages. From its huge-page aligned
// start every whole 2 MiB of it can be a huge page; the tail beyond the last
// one stays in small pages, so that no field holds up to 2 MiB it does not use.
std::size_t mapped_length(std::size_t values) {
    return (values * sizeof(double) + kPage - 1) / kPage * kPage;
}

// Maps `length` bytes starting on a huge-page boundary: a mapping one huge
// page longer is trimmed at both ends.
char* map_aligned(std::size_t length) {
    void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    char* start = static_cast<char*>(raw);
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    const std::size_t lead = (kHugePage - address % kHugePage) % kHugePage;
    if (lead != 0) ::munmap(start, lead);
    if (kHugePage - lead != 0) ::munmap(start + lead + length, kHugePage - lead);
    return start + lead;
}

// Faults in [begin, begin + length). The kernel's populate reports a lack of
// memory as a failure; touching every page is the fallback for kernels
// without it, where the memory check made before allocating has to do.
bool back_part(char* begin, std::size_t length) {
    if (::madvise(begin, length, MADV_POPULATE_WRITE) == 0) return true;
    if (errno != EINVAL) return false;
    for (std::size_t offset = 0; offset < length; offset += kPage) {
        *static_cast<volatile char*>(begin + offset) = 0;
    }
    return true;
}

// Backing a field of 10^8 values takes a good part of a second; it goes a
// part at a time (a whole number of huge pages), and an interrupted run
// skips the rest: the memory is as good, only not faulted in yet, and the
// run stops right after.
constexpr std::size_t kBackedAtOnce = 4 * kHugePage;

bool back(char* begin, std::size_t length) {
    for (std::size_t done = 0; done < length && interrupting_signal() == 0; done += kBackedAtOnce) {
        if (!back_part(begin + done, std::min(kBackedAtOnce, length - done))) return false;
    }
    return true;
}

// What the second thread backs, and whether it could.
struct BackingPart {
    char* begin;
    std::size_t length;
    bool backed = false;
};

extern "C" void* back_part_in_thread(void* part) {
    auto* backing = static_cast<BackingPart*>(part);
    backing->backed = back(backing->begin, backing->length);
    return nullptr;
}

// Zeroing the fresh pages is the kernel's work and bounded by one core; the
// two halves of a large block are backed side by side. The second thread is
// a plain POSIX thread that touches no heap memory: a thread that frees or
// allocates (std::thread frees its start state in the new thread) gets an
// arena of its own, 64 MiB of address space that stays taken, and under an
// address-space limit the next field of the run would not fit where the
// memory check said it does.
bool back_in_parallel(char* begin, std::size_t length) {
    const std::size_t half = length / 2 / kHugePage * kHugePage;
    if (half == 0) return back(begin, length);
    BackingPart upper{begin + half, length - half};
    pthread_t thread;
    if (pthread_create(&thread, nullptr, back_part_in_thread, &upper) != 0) {
        return back(begin, length);  // no thread to be had: one after the other
    }
    const bool lower_backed = back(begin, half);
    pthread_join(thread, nullptr);
    return lower_backed && upper.backed;
}

double* obtain_mapped(std::size_t values) {
    const std::size_t length = mapped_length(values);
    char* memory = map_aligned(length);
    if (memory == nullptr) return nullptr;
    // A refusal only costs the huge pages; the memory is as good.
    ::madvise(memory, length, MADV_HUGEPAGE);
    if (!back_in_parallel(memory, length)) {
        ::munmap(memory, length);
        return nullptr;
    }
    return reinterpret_cast<double*>(memory);
}

struct KeptBlock {
    double* memory;
    std::size_t values;
};

std::mutex kept_mutex;
std::vector<KeptBlock> kept = [] {  // at most kKeptBlocks, the oldest first
    std::vector<KeptBlock> blocks;
    blocks.reserve(kKeptBlocks);  // so that keeping a block never allocates
    return blocks;
}();

double* take_kept(std::size_t values) {
    std::lock_guard lock(kept_mutex);
    for (auto block = kept.begin(); block != kept.end(); ++block) {
        if (block->values == values) {
            double* memory = block->memory;
            kept.erase(block);
            return memory;
        }
    }
    return nullptr;
}

void free_block(double* memory, std::size_t values) {
    if (mapped(values)) {
        ::munmap(memory, mapped_length(values));
    } else {
        delete[] memory;
    }
}

// Keeps a released block for the next request of its size; the block kept
// longest goes when there is no more room, so that blocks of a size no
// longer asked for do not stay.
void keep(double* memory, std::size_t values) {
    KeptBlock evicted{nullptr, 0};
    {
        std::lock_guard lock(kept_mutex);
        if (kept.size() == kKeptBlocks) {
            evicted = kept.front();
            kept.erase(kept.begin());
        }
        kept.push_back({memory, values});
    }
    if (evicted.memory != nullptr) free_block(evicted.memory, evicted.values);
}

}  // namespace

double* obtain_field_memory(std::size_t values) {
    if (values == 0) return nullptr;
    if (values > (SIZE_MAX - kHugePage) / sizeof(double)) return nullptr;  // the mapping length would wrap
    if (!mapped(values)) return new (std::nothrow) double[values];
    if (double* memory = take_kept(values)) return memory;
    return obtain_mapped(values);
}

void release_field_memory(double* memory, std::size_t values) {
    if (memory == nullptr) return;
    if (mapped(values)) {
        keep(memory, values);
    } else {
        free_block(memory, values);
    }
}

bool reserve_field_memory(std::size_t values, int count) {
    std::vector<double*> blocks;
    for (int i = 0; i < count; ++i) {
        double* memory = obtain_field_memory(values);
        if (memory == nullptr) break;
        blocks.push_back(memory);
    }
    const bool complete = blocks.size() == static_cast<std::size_t>(count);
    for (double* memory : blocks) {
        if (complete) {
            release_field_memory(memory, values);
        } else {
            free_block(memory, values);
        }
    }
    return complete;
}

}  // namespace kestrelfold
