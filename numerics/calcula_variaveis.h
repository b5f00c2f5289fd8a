#pragma once
// The numerical quantities of interest, read off the solution T on the
// uniform mesh of N elements of length h.
// Real is the number type of the run (double, or Quad for kestrelfold-quad):
// the same operations, in the same order and grouping, for both.
#include <cstdint>
#include <span>
#include <type_traits>

#include "numerics/binary128.h"

namespace kestrelfold {

template <typename Real>
struct VariaveisNumericasDe {
    Real inclinacao;  // dT/dx at x = 1
    Real T_media;     // mean of T over [0, 1]
};
using VariaveisNumericas = VariaveisNumericasDe<double>;

// T as the kernels read it; Real is taken from h alone, so that any range
// of values converts.
template <typename Real>
using Values = std::span<const std::type_identity_t<Real>>;

// Second-order one-sided (backward) difference at x = 1, formed as
//   ((3 * T_N + T_(N-2)) - 4 * T_(N-1)) / (h + h).
// N < 2 (there is no node N - 2) or a T shorter than N + 1 values:
// std::invalid_argument.
template <typename Real>
Real calcula_inclinacao(std::int32_t N, Real h, Values<Real> T);

// Composite trapezoid rule over [0, 1], whose length makes the integral the
// mean: (0.5 * h) * s with s the sum over i = 1..N of t_i = T_(i-1) + T_i.
//
// The sum is the one place where the order of the additions is ours to
// choose, and the choice shows in the last bits, so it is fixed here: each
// term t_i is formed as T_(i-1) + T_i; term t_i is added, in increasing i,
// to partial sum p_k with k = (i - 1) mod 8, each p_k starting from 0; then
//   s = ((p_0 + p_1) + (p_2 + p_3)) + ((p_4 + p_5) + (p_6 + p_7)).
// Eight independent sums let the loop run in vector registers.
// N = 0 gives s = 0. N < 0 or a T shorter than N + 1 values:
// std::invalid_argument.
template <typename Real>
Real calcula_T_media(std::int32_t N, Real h, Values<Real> T);

// Both quantities; N must be at least 2.
template <typename Real>
VariaveisNumericasDe<Real> calcula_variaveis(std::int32_t N, Real h, Values<Real> T);

}  // namespace kestrelfold
