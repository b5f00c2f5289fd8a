#pragma once
// The stored constants of the model problem, one table per number type:
// e - 1, which the source term and the exact solution of fonte 0 divide by,
// and the exact mean of T and slope at x = 1 of each fonte. Each is the
// value of its type nearest to the number it stands for; binary128 takes
// them from 40-digit decimals, so that a quad run compares with quad
// constants, not with double ones widened.
#include "numerics/binary128.h"

namespace kestrelfold {

inline constexpr int kFontes = 5;

template <typename Real>
struct ValoresExatos {
    Real T_media_a;     // mean of T over [0, 1]
    Real inclinacao_a;  // dT/dx at x = 1
};

template <typename Real>
struct Constantes;

template <>
struct Constantes<double> {
    static constexpr double e_menos_1 = 1.718281828459045;
    // By fonte: (e - 2)/(e - 1) and e/(e - 1); 1/2 and 1; 1/3 and 2; 1/4 and 3; 1/5 and 4.
    static constexpr ValoresExatos<double> exatos[kFontes] = {
        {0.41802329313067355, 1.5819767068693265},
        {0.5, 1.0},
        {0.3333333333333333, 2.0},
        {0.25, 3.0},
        {0.2, 4.0},
    };
};

template <>
struct Constantes<Quad> {
    static inline const Quad e_menos_1 = quad_from_decimal("1.7182818284590452353602874713526624977572");
    static inline const ValoresExatos<Quad> exatos[kFontes] = {
        {quad_from_decimal("0.41802329313067357561499799489098844145313"),
         quad_from_decimal("1.5819767068693264243850020051090115585469")},
        {Quad(0.5), Quad(1)},
        {quad_from_decimal("0.33333333333333333333333333333333333333333"), Quad(2)},
        {Quad(0.25), Quad(3)},
        {quad_from_decimal("0.2"), Quad(4)},
    };
};

}  // namespace kestrelfold
