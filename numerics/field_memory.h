#pragma once
// Where the values of a field live. A mesh of 10^8 nodes has 800 MB of
// solution; taken as 4 KiB pages on first touch, that is 200,000 page
// faults, time spent inside the timed solution run. Large fields are
// therefore mapped on 2 MiB boundaries with transparent huge pages asked
// for, and backed (faulted in) when they are obtained, so that the solution
// run finds its memory ready. Small fields come from the heap.
#include <cstddef>

namespace kestrelfold {

// Memory for `values` doubles, uninitialised; nullptr when it cannot be had
// (address space, the system's memory, or backing it). values = 0 gives
// nullptr too, and needs no release.
double* obtain_field_memory(std::size_t values);

// Gives back what obtain_field_memory returned for the same `values`. A large
// block may be kept for the next request of the same size, already backed:
// the tridiagonal solver obtains and releases its work memory this way.
void release_field_memory(double* memory, std::size_t values);

// Obtains `count` blocks of `values` doubles and keeps them for later
// requests of that size, so that their backing is paid here rather than by
// the first user. False when they cannot be had (nothing is kept then).
bool reserve_field_memory(std::size_t values, int count);

}  // namespace kestrelfold
