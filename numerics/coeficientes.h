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
// values the solver used. Real is the number type of the run (double, or
// Quad for kestrelfold-quad): the same formulas in the same order for both.
#include <cstdint>

#include "numerics/mesh.h"

namespace kestrelfold {

// One equation: the coefficients of a node.
template <typename Real>
struct LinhaDe {
    Real aw;  // west
    Real aP;  // central
    Real ae;  // east
    Real bP;  // free term
};
using Linha = LinhaDe<double>;

// The boundary rows: T_0 = 0 and T_N = 1, no neighbours.
template <typename Real>
inline constexpr LinhaDe<Real> linha_oeste() { return {.aw = 0, .aP = 1, .ae = 0, .bP = 0}; }
template <typename Real>
inline constexpr LinhaDe<Real> linha_leste() { return {.aw = 0, .aP = 1, .ae = 0, .bP = 1}; }
inline constexpr Linha kLinhaOeste = linha_oeste<double>();
inline constexpr Linha kLinhaLeste = linha_leste<double>();

// 0 - h*h: the factor that turns a source term into an interior free term.
template <typename Real>
inline Real menos_h2(Real h) { return 0 - h * h; }

// An interior row with the free term bP: aw = ae = 1, aP = 2 at every
// interior node, whatever the source.
template <typename Real>
inline constexpr LinhaDe<Real> linha_interior_com(Real bP) { return {.aw = 1, .aP = 2, .ae = 1, .bP = bP}; }

// The interior row of a node whose source term is S: bP = S * (0 - h*h).
template <typename Real>
inline LinhaDe<Real> linha_interior(Real S, Real minus_h2) { return linha_interior_com(S * minus_h2); }

// The interior row at x for the source term F of fonte.h, S formed as
//   fonte 0: exp(x) / 1.718281828459045   fonte 1: 0   fonte 2: 2
//   fonte 3: x * 6                        fonte 4: (12 * x) * x
template <typename F, typename Real>
inline LinhaDe<Real> linha_interior_em(Real x, Real minus_h2) {
    return linha_interior(F::S(x, F::base(x)), minus_h2);
}

// The equation of node i, 0 <= i <= N, of the mesh of N >= 1 elements.
template <typename F, typename Real>
inline LinhaDe<Real> linha_no(std::int64_t N, Real h, std::int64_t i) {
    if (i == 0) return linha_oeste<Real>();
    if (i == N) return linha_leste<Real>();
    return linha_interior_em<F>(x_interior(h, i), menos_h2(h));
}

// The same for a fonte chosen at run time, for those who show or check one
// equation. N >= 1, 0 <= i <= N and fonte 0..4; otherwise
// std::invalid_argument.
template <typename Real>
LinhaDe<Real> linha_no(std::int32_t fonte, std::int32_t N, Real h, std::int64_t i);

}  // namespace kestrelfold
