#pragma once
// The tridiagonal (Thomas) solver for the discrete equations of the nodes 0..N,
//   aP_i * T_i = aw_i * T_(i-1) + ae_i * T_(i+1) + bP_i,
// neighbours on the right-hand side with a plus sign.
#include <cstddef>
#include <cstdint>
#include <span>

namespace kestrelfold {

// One forward elimination sweep from node 0 to node N and one back
// substitution from node N to node 0, without pivoting. The coefficient
// fields are only read (the listing prints them afterwards); every T_i,
// i = 0..N, is written. aw_0 and ae_N take no part in the result.
//
// Two work fields P and Q of N + 1 values are obtained on entry and released
// before return; FatalError "insufficient virtual memory" when they cannot
// be had. A zero divisor is not looked for: it gives an infinity or a NaN
// that flows into T. N = 0 gives T_0 = bP_0 / aP_0. N < 0, or a field
// shorter than N + 1 values: std::invalid_argument, nothing written.
void tdma(std::int32_t N, std::span<const double> aw, std::span<const double> aP,
          std::span<const double> ae, std::span<const double> bP, std::span<double> T);

// The back substitution over `nodes` >= 1 nodes from the work fields that
// the forward elimination left: T_N = Q_N, then T_i = T_(i+1) * P_i + Q_i
// for i = N - 1 down to 0.
void back_substitution(std::size_t nodes, const double* P, const double* Q, double* T);

}  // namespace kestrelfold
