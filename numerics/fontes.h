#pragma once
// The five source terms S(x) of the model problem T'' = S, T(0) = 0, T(1) = 1,
// selected by `fonte`:
//   0: e^x / (e - 1)   exact T = (e^x - 1) / (e - 1)
//   1: 0               exact T = x
//   2: 2               exact T = x^2
//   3: 6x              exact T = x^3
//   4: 12x^2           exact T = x^4
#include <cstdint>

namespace kestrelfold {

inline constexpr std::int32_t kFonteMaior = 4;

// e - 1 as a fixed literal; both the source term and the exact solution of
// fonte 0 divide by it, never multiply by its reciprocal, which would change
// their last bits and with them every result that other runs compare with.
inline constexpr double kEMenos1 = 1.718281828459045;

inline bool fonte_valida(std::int32_t fonte) { return fonte >= 0 && fonte <= kFonteMaior; }

}  // namespace kestrelfold
