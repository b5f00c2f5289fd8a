#pragma once
// The exact solution of the model problem on the mesh, and the exact values
// of the slope at x = 1 and of the mean of T over [0, 1].
#include <cstdint>
#include <span>

namespace kestrelfold {

// Stored constants, not evaluated from the field.
struct ValoresExatos {
    double T_media_a;     // mean of T over [0, 1]
    double inclinacao_a;  // dT/dx at x = 1
};

// The exact quantities of a fonte 0..4; otherwise std::invalid_argument.
ValoresExatos valores_exatos(std::int32_t fonte);

// The exponential's exact solution gives the end values only to within the
// rounding of exp; they are exact by definition: Te_0 = 0, Te_N = 1.
inline void fixa_extremos(std::int32_t N, double* Te) {
    Te[0] = 0;
    Te[N] = 1;
}

// Te_i at every node 0..N, formed as
//   fonte 0: (exp(x_i) - 1) / 1.718281828459045, then Te_0 = 0 and Te_N = 1
//   fonte 1: x_i     fonte 2: x_i * x_i     fonte 3: (x_i * x_i) * x_i
//   fonte 4: (x_i * x_i) * (x_i * x_i)
// and the exact quantities of that fonte. N < 0, a field shorter than N + 1
// values, or a fonte outside 0..4: std::invalid_argument, nothing written.
// Te at the one node i of the mesh of N elements (x_i as the mesh has it),
// the same double that solucao_analitica forms there: for whoever shows or
// compares the exact solution at a node without the whole field. N >= 1,
// 0 <= i <= N and a fonte 0..4; otherwise std::invalid_argument.
double Te_no(std::int32_t fonte, std::int32_t N, std::int64_t i);

ValoresExatos solucao_analitica(std::int32_t fonte, std::int32_t N, std::span<const double> x,
                                std::span<double> Te);

}  // namespace kestrelfold
