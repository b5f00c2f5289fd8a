#pragma once
// The exact solution of the model problem at the nodes of the mesh, and the
// exact values of the slope at x = 1 and of the mean of T over [0, 1], in
// the number type of the run (double, or Quad for kestrelfold-quad).
//
// No run stores the exact solution: it is formed at the nodes where it is
// shown (the solution table, the plot data, T at the middle node), outside
// the timed solution run.
#include <cstdint>

#include "numerics/binary128.h"
#include "numerics/constantes.h"

namespace kestrelfold {

// The exact quantities of a fonte 0..4, stored constants of the number type
// (constantes.h), not evaluated from the field; otherwise
// std::invalid_argument.
template <typename Real = double>
ValoresExatos<Real> valores_exatos(std::int32_t fonte);

// Te at node i of the mesh of N elements (x_i as the mesh has it), formed as
//   fonte 0: (exp(x_i) - 1) / (e - 1), but Te_0 = 0 and Te_N = 1 exactly,
//            where the formula is only as good as its rounding
//   fonte 1: x_i     fonte 2: x_i * x_i     fonte 3: (x_i * x_i) * x_i
//   fonte 4: (x_i * x_i) * (x_i * x_i)
// with e - 1 the stored constant of the type (1.718281828459045 in double).
// The listing, the plot data and the mesh-study tool all take it from here.
// N >= 1, 0 <= i <= N and a fonte 0..4; otherwise std::invalid_argument.
template <typename Real = double>
Real Te_no(std::int32_t fonte, std::int32_t N, std::int64_t i);

extern template ValoresExatos<double> valores_exatos<double>(std::int32_t);
extern template ValoresExatos<Quad> valores_exatos<Quad>(std::int32_t);
extern template double Te_no<double>(std::int32_t, std::int32_t, std::int64_t);
extern template Quad Te_no<Quad>(std::int32_t, std::int32_t, std::int64_t);

}  // namespace kestrelfold
