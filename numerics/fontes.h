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

#include "numerics/correctly_rounded_exp.h"

namespace kestrelfold {

inline constexpr std::int32_t kFonteMaior = 4;

// e - 1 as a fixed literal; both the source term and the exact solution of
// fonte 0 divide by it, never multiply by its reciprocal, which would change
// their last bits and with them every result that other runs compare with.
inline constexpr double kEMenos1 = 1.718281828459045;

inline bool fonte_valida(std::int32_t fonte) { return fonte >= 0 && fonte <= kFonteMaior; }

// What one fonte gives at one node x_i: `base` is what both the exact
// solution `Te` and the source term `S` are formed from (exp(x_i) for
// fonte 0, the same value for both, correctly rounded so that every
// platform forms the same double), and `extremos_fixados` says that
// Te_0 = 0 and Te_N = 1 are set in place of the formula, which gives them
// only to within its rounding. The solver forms S at every node, the
// writers S and Te at the nodes they list, each through these formulas.
template <std::int32_t fonte>
struct Fonte;

template <>
struct Fonte<0> {
    static constexpr bool extremos_fixados = true;
    static double base(double x) { return correctly_rounded_exp(x); }
    static double Te(double, double ex) { return (ex - 1) / kEMenos1; }
    static double S(double, double ex) { return ex / kEMenos1; }
};

template <>
struct Fonte<1> {
    static constexpr bool extremos_fixados = false;
    static double base(double x) { return x; }
    static double Te(double x, double) { return x; }
    static double S(double, double) { return 0; }
};

template <>
struct Fonte<2> {
    static constexpr bool extremos_fixados = false;
    static double base(double x) { return x; }
    static double Te(double x, double) { return x * x; }
    static double S(double, double) { return 2; }
};

template <>
struct Fonte<3> {
    static constexpr bool extremos_fixados = false;
    static double base(double x) { return x; }
    static double Te(double x, double) { return (x * x) * x; }
    static double S(double x, double) { return x * 6; }
};

template <>
struct Fonte<4> {
    static constexpr bool extremos_fixados = false;
    static double base(double x) { return x; }
    static double Te(double x, double) { return (x * x) * (x * x); }
    static double S(double x, double) { return (12 * x) * x; }
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
