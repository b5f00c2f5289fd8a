#pragma once
// The memory one run holds, by the size of its mesh. The program checks it
// against what the machine can give before anything is allocated or
// written; the mesh-study tool keeps the runs it starts side by side within
// the same figure. Both call this one function, so they cannot disagree.
#include <cstdint>

namespace kestrelfold {

// Bytes of a run on a mesh of N >= 0 elements (N + 1 nodes), computed in 64
// bits: the field T and the solver's checkpoints and buffers, as
// solver_memory_plan.h lays them out. About 8 bytes a node, plus 64 KiB.
std::uint64_t run_memory_bytes(std::int32_t N);

}  // namespace kestrelfold
