#include "numerics/run_memory.h"

#include "numerics/nodes.h"

namespace kestrelfold {

namespace {

// The seven fields and the two work fields of the tridiagonal solver, one
// double per node each.
constexpr std::uint64_t kBytesPerNode = 9 * sizeof(double);

}  // namespace

std::uint64_t run_memory_bytes(std::int32_t N) { return kBytesPerNode * node_count(N); }

}  // namespace kestrelfold
