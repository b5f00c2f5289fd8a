#pragma once
// The numerical quantities of interest, read off the solution T on the
// uniform mesh of N elements of length h.
#include <cstdint>
#include <span>

namespace kestrelfold {

struct VariaveisNumericas {
    double inclinacao;  // dT/dx at x = 1
    double T_media;     // mean of T over [0, 1]
};

// Second-order one-sided (backward) difference at x = 1, formed as
//   ((3 * T_N + T_(N-2)) - 4 * T_(N-1)) / (h + h).
// N < 2 (there is no node N - 2) or a T shorter than N + 1 values:
// std::invalid_argument.
double calcula_inclinacao(std::int32_t N, double h, std::span<const double> T);

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
double calcula_T_media(std::int32_t N, double h, std::span<const double> T);

// Both quantities; N must be at least 2.
VariaveisNumericas calcula_variaveis(std::int32_t N, double h, std::span<const double> T);

}  // namespace kestrelfold
