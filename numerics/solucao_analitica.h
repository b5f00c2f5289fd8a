#pragma once
// The exact solution of the model problem at the nodes of the mesh, and the
// exact values of the slope at x = 1 and of the mean of T over [0, 1].
//
// No run stores the exact solution: it is formed at the nodes where it is
// shown (the solution table, the plot data, T at the middle node), outside
// the timed solution run.
#include <cstdint>

namespace kestrelfold {

// Stored constants, not evaluated from the field.
struct ValoresExatos {
    double T_media_a;     // mean of T over [0, 1]
    double inclinacao_a;  // dT/dx at x = 1
};

// The exact quantities of a fonte 0..4; otherwise std::invalid_argument.
ValoresExatos valores_exatos(std::int32_t fonte);

// Te at node i of the mesh of N elements (x_i as the mesh has it), formed as
//   fonte 0: (exp(x_i) - 1) / 1.718281828459045, but Te_0 = 0 and Te_N = 1
//            exactly, where the formula is only as good as its rounding
//   fonte 1: x_i     fonte 2: x_i * x_i     fonte 3: (x_i * x_i) * x_i
//   fonte 4: (x_i * x_i) * (x_i * x_i)
// The listing, the plot data and the mesh-study tool all take it from here.
// N >= 1, 0 <= i <= N and a fonte 0..4; otherwise std::invalid_argument.
double Te_no(std::int32_t fonte, std::int32_t N, std::int64_t i);

}  // namespace kestrelfold
