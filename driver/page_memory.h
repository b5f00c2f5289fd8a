#pragma once
// Memory taken from the system in whole pages, for the large fields: the
// system's mapping, its huge pages where it gives them, and the faulting in
// of the pages before the timed run needs them.
#include <cstddef>

namespace kestrelfold {

// The size the system backs in one step where it gives huge pages (2 MiB
// on x86-64 Linux): a mapping starts on such a boundary, and is backed a
// whole number of them at a time.
inline constexpr std::size_t kLargePage = std::size_t{2} << 20;
inline constexpr std::size_t kPage = 4096;

// `length` bytes (a whole number of kPage) of zeroed memory, readable and
// writable, starting on a kLargePage boundary, with huge pages asked for
// where the system has them; nullptr when the system refuses. Reserved but
// not yet backed: see back_pages.
char* map_pages(std::size_t length);

// Gives back what map_pages returned for the same length.
void unmap_pages(char* memory, std::size_t length);

// Faults in [begin, begin + length), a part of a mapping: false when the
// system lacks the memory (where it says so; elsewhere the memory check
// made before allocating has to do).
bool back_pages(char* begin, std::size_t length);

}  // namespace kestrelfold
