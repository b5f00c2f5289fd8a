#include "numerics/run_memory.h"

#include "numerics/nodes.h"
#include "numerics/solver_memory_plan.h"

namespace kestrelfold {

std::uint64_t run_memory_bytes(std::int32_t N) { return solver_memory_bytes(node_count(N)); }

}  // namespace kestrelfold
