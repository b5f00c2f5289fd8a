#pragma once
// The discrete equations of T'' = S(x), T(0) = 0, T(1) = 1 on the uniform
// mesh x_0..x_N of element length h: the boundary values at the end nodes,
// the three-point central difference at the interior nodes,
//   2 * T_i = T_(i-1) + T_(i+1) - h^2 * S(x_i),
// each written aP_i * T_i = aw_i * T_(i-1) + ae_i * T_(i+1) + bP_i.
//
// No run stores them: an equation is a pure function of its node, formed
// here by the solver as its forward elimination reaches the node and by the
// coefficient table at the nodes it lists, so that the table shows the very
// doubles the solver used.
#include <cstdint>

#include "numerics/mesh.h"

namespace kestrelfold {

// One equation: the coefficients of a node.
struct Linha {
    double aw;  // west
    double aP;  // central
    double ae;  // east
    double bP;  // free term
};

// The boundary rows: T_0 = 0 and T_N = 1, no neighbours.
inline constexpr Linha kLinhaOeste{.aw = 0, .aP = 1, .ae = 0, .bP = 0};
inline constexpr Linha kLinhaLeste{.aw = 0, .aP = 1, .ae = 0, .bP = 1};

// 0 - h*h: the factor that turns a source term into an interior free term.
inline double menos_h2(double h) { return 0 - h * h; }

// An interior row with the free term bP: aw = ae = 1, aP = 2 at every
// interior node, whatever the source.
inline constexpr Linha linha_interior_com(double bP) { return {.aw = 1, .aP = 2, .ae = 1, .bP = bP}; }

// The interior row of a node whose source term is S: bP = S * (0 - h*h).
inline Linha linha_interior(double S, double minus_h2) { return linha_interior_com(S * minus_h2); }

// The interior row at x for the source term F of fonte.h, S formed as
//   fonte 0: exp(x) / 1.718281828459045   fonte 1: 0   fonte 2: 2
//   fonte 3: x * 6                        fonte 4: (12 * x) * x
template <typename F>
inline Linha linha_interior_em(double x, double minus_h2) {
    return linha_interior(F::S(x, F::base(x)), minus_h2);
}

// The equation of node i, 0 <= i <= N, of the mesh of N >= 1 elements.
template <typename F>
inline Linha linha_no(std::int64_t N, double h, std::int64_t i) {
    if (i == 0) return kLinhaOeste;
    if (i == N) return kLinhaLeste;
    return linha_interior_em<F>(x_interior(h, i), menos_h2(h));
}

// The same for a fonte chosen at run time, for those who show or check one
// equation. N >= 1, 0 <= i <= N and fonte 0..4; otherwise
// std::invalid_argument.
Linha linha_no(std::int32_t fonte, std::int32_t N, double h, std::int64_t i);

}  // namespace kestrelfold
