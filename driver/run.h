#pragma once
// The program-wide state of one run. The driver owns it and hands it to each
// step; the steps communicate only through it. The values that the solution
// computes are of the run's number type Real: double for kestrelfold,
// binary128 (Quad) for kestrelfold-quad; the input, the time and the units
// are the same in both.
#include <cstdint>
#include <string>

#include "numerics/binary128.h"
#include "numerics/field.h"
#include "output/units.h"

namespace kestrelfold {

inline constexpr int kCasoLength = 50;
inline constexpr int kTituloLength = 90;

// What a run holds whatever its number type.
struct RunCommon {
    // The eight input values (texts blank-filled to their declared length).
    std::string caso = std::string(kCasoLength, ' ');
    std::int32_t fonte = 0;
    std::int32_t N = 0;
    std::int32_t graf = 0;
    std::int32_t coef = 0;
    std::int32_t sol = 0;
    std::int32_t freq = 0;
    std::string titulo = std::string(kTituloLength, ' ');

    // The processing time (seconds), read off a clock: a double in both programs.
    double tcpu = 0.0;

    // The last external command and its status, which nothing looks at.
    std::string comando;
    std::int32_t status_comando = 0;

    Units units;
};

template <typename Real>
struct RunOf : RunCommon {
    Real h = 0;  // element length 1/N

    // The numerical solution at the nodes 0..N, the one field a run
    // stores. The mesh, the exact solution and the equations are pure
    // functions of the node (numerics/mesh.h, solucao_analitica.h,
    // coeficientes.h), formed wherever they are needed.
    FieldOf<Real> T;

    // Quantities of interest.
    Real T_media_a = 0;
    Real inclinacao_a = 0;
    Real inclinacao = 0;
    Real T_media = 0;
};

using Run = RunOf<double>;
using QuadRun = RunOf<Quad>;

}  // namespace kestrelfold
