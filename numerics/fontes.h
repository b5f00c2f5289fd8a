#pragma once
// The five source terms S(x) of the model problem T'' = S, T(0) = 0, T(1) = 1,
// selected by `fonte`:
//   0: e^x / (e - 1)   exact T = (e^x - 1) / (e - 1)
//   1: 0               exact T = x
//   2: 2               exact T = x^2
//   3: 6x              exact T = x^3
//   4: 12x^2           exact T = x^4
#include <cstdint>
#include <stdexcept>

#include "numerics/binary128.h"
#include "numerics/constantes.h"
#include "numerics/correctly_rounded_exp.h"

namespace kestrelfold {

// e - 1 of the number type (constantes.h); both the source term and the
// exact solution of fonte 0 divide by it, never multiply by its reciprocal,
// which would change their last bits and with them every result that other
// runs compare with.
template <typename Real>
inline Real e_menos_1() { return Constantes<Real>::e_menos_1; }

// e^x in the number type: correctly rounded for double, so that every
// platform forms the same double (correctly_rounded_exp.h); expq for
// binary128 (binary128.h).
inline double exp_of(double x) { return correctly_rounded_exp(x); }

inline bool fonte_valida(std::int32_t fonte) { return fonte >= 0 && fonte <= kFonteMaior; }

// What one fonte gives at one node x_i: `base` is what both the exact
// solution `Te` and the source term `S` are formed from (exp(x_i) for
// fonte 0, the same value for both, correctly rounded so that every
// platform forms the same double), and `extremos_fixados` says that
// Te_0 = 0 and Te_N = 1 are set in place of the formula, which gives them
// only to within its rounding. The solver forms S at every node, the
// writers S and Te at the nodes they list, each through these formulas,
// in the number type of the run (double or Quad), the same operations in
// the same order.
template <std::int32_t fonte>
struct Fonte;

template <>
struct Fonte<0> {
    static constexpr bool extremos_fixados = true;
    template <typename Real> static Real base(Real x) { return exp_of(x); }
    template <typename Real> static Real Te(Real, Real ex) { return (ex - 1) / e_menos_1<Real>(); }
    template <typename Real> static Real S(Real, Real ex) { return ex / e_menos_1<Real>(); }
};

template <>
struct Fonte<1> {
    static constexpr bool extremos_fixados = false;
    template <typename Real> static Real base(Real x) { return x; }
    template <typename Real> static Real Te(Real x, Real) { return x; }
    template <typename Real> static Real S(Real, Real) { return 0; }
};

template <>
struct Fonte<2> {
    static constexpr bool extremos_fixados = false;
    template <typename Real> static Real base(Real x) { return x; }
    template <typename Real> static Real Te(Real x, Real) { return x * x; }
    template <typename Real> static Real S(Real, Real) { return 2; }
};

template <>
struct Fonte<3> {
    static constexpr bool extremos_fixados = false;
    template <typename Real> static Real base(Real x) { return x; }
    template <typename Real> static Real Te(Real x, Real) { return (x * x) * x; }
    template <typename Real> static Real S(Real x, Real) { return x * 6; }
};

template <>
struct Fonte<4> {
    static constexpr bool extremos_fixados = false;
    template <typename Real> static Real base(Real x) { return x; }
    template <typename Real> static Real Te(Real x, Real) { return (x * x) * (x * x); }
    template <typename Real> static Real S(Real x, Real) { return (12 * x) * x; }
};

// Calls step(Fonte<fonte>{}) for fonte 0..4: the solver's loop over the
// nodes is compiled once per fonte, with its formulas inline.
template <typename Step>
decltype(auto) com_fonte(std::int32_t fonte, Step&& step) {
    switch (fonte) {
    case 0: return step(Fonte<0>{});
    case 1: return step(Fonte<1>{});
    case 2: return step(Fonte<2>{});
    case 3: return step(Fonte<3>{});
    case 4: return step(Fonte<4>{});
    }
    throw std::invalid_argument("fonte outside 0 to 4");
}

}  // namespace kestrelfold
