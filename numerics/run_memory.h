#pragma once
// The memory one run holds, by the size of its mesh. The program checks it
// against what the machine can give before anything is allocated or
// written; the mesh-study tool keeps the runs it starts side by side within
// the same figure. Both call this one function, so they cannot disagree.
#include <cstdint>

namespace kestrelfold {

// Bytes of the fields of a mesh of N >= 0 elements (N + 1 nodes), the
// solver's work fields included, computed in 64 bits.
std::uint64_t run_memory_bytes(std::int32_t N);

}  // namespace kestrelfold
