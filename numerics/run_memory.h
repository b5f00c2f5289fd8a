#pragma once
// The memory one run holds, by the size of its mesh. The program checks it
// against what the machine can give before anything is allocated or
// written; the mesh-study tool keeps the runs it starts side by side within
// the same figure. Both call this one function, so they cannot disagree.
#include <cstdint>

#include "numerics/binary128.h"

namespace kestrelfold {

// Bytes of a run on a mesh of N >= 0 elements (N + 1 nodes), computed in 64
// bits, by the number type of the run: the field T and the solver's work
// memory, as solver_memory_plan.h lays them out. In double about 8 bytes a
// node, plus 64 KiB (checkpoints and buffers); in binary128 (Quad, for
// kestrelfold-quad) 32 bytes a node (T and P).
template <typename Real = double>
std::uint64_t run_memory_bytes(std::int32_t N);

extern template std::uint64_t run_memory_bytes<double>(std::int32_t);
extern template std::uint64_t run_memory_bytes<Quad>(std::int32_t);

}  // namespace kestrelfold
