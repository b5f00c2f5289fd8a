#include "numerics/run_memory.h"

#include "numerics/nodes.h"
#include "numerics/solver_memory_plan.h"

namespace kestrelfold {

template <typename Real>
std::uint64_t run_memory_bytes(std::int32_t N) {
    return run_memory_bytes_of<Real>(node_count(N));
}

template std::uint64_t run_memory_bytes<double>(std::int32_t);
template std::uint64_t run_memory_bytes<Quad>(std::int32_t);

}  // namespace kestrelfold
