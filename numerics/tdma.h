#pragma once
// The tridiagonal (Thomas) solver for the discrete equations of the nodes
// 0..N (coeficientes.h),
//   aP_i * T_i = aw_i * T_(i-1) + ae_i * T_(i+1) + bP_i,
// neighbours on the right-hand side with a plus sign.
#include <cstdint>
#include <span>

#include "numerics/binary128.h"
#include "numerics/solver_memory_plan.h"

namespace kestrelfold {

// T at every node 0..N of the mesh of N >= 1 elements of length h, for
// fonte 0..4: one forward elimination from node 0 to node N, each node's
// equation formed as the elimination reaches it, then one back
// substitution from node N to node 0, without pivoting. The work memory
// (checkpoints and buffers, as `plan` lays them out) is obtained on entry
// and released before return; FatalError "insufficient virtual memory" when
// it cannot be had. N < 1, a T shorter than N + 1 values, a fonte outside
// 0..4 or a plan outside plan_valid: std::invalid_argument, nothing written.
//
// Every plan gives the same T bit for bit; the program uses kSolverPlan,
// other plans are there to be measured and tested against it.
void tdma(std::int32_t fonte, std::int32_t N, double h, std::span<double> T,
          const SolverPlan& plan = kSolverPlan);

// The same in binary128, the same equations and steps in the same order;
// P is kept at every node (solver_memory_plan.h), in work memory obtained
// on entry and released before return.
void tdma(std::int32_t fonte, std::int32_t N, Quad h, std::span<Quad> T);

}  // namespace kestrelfold
