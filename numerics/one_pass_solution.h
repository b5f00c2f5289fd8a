#pragma once
// The exact solution, the discrete equations and their tridiagonal solution
// for a whole mesh in one forward pass and one back pass over the nodes.
//
// Done step after step, each of solucao_analitica, coeficientes and tdma
// streams every field through memory once more; at 10^8 nodes the run is
// then bound by memory traffic, not by the solver's chain of divisions.
// Here each node is finished while its values are in registers: its exact
// solution, its equation and its forward elimination, then the back
// substitution. The interior goes eight nodes at a time, each field's eight
// values stored as one cache line. Every value is formed by the same operations from the same
// operands as in the steps one after the other, so the fields come out the
// same bit for bit; only the order in which nodes of different fields are
// visited differs.
#include <cstdint>
#include <span>

#include "numerics/coeficientes.h"

namespace kestrelfold {

// Te, aw, aP, ae, bP and T at every node 0..N of the mesh x (x_0 = 0,
// x_N = 1, element length h), for fonte 0..4. The solver's two work fields
// are obtained on entry and released before return: FatalError
// "insufficient virtual memory" when they cannot be had. N < 1, a field
// shorter than N + 1 values or a fonte outside 0..4: std::invalid_argument,
// nothing written.
void solve_in_one_pass(std::int32_t fonte, std::int32_t N, double h, std::span<const double> x,
                       std::span<double> Te, const Coeficientes& c, std::span<double> T);

}  // namespace kestrelfold
