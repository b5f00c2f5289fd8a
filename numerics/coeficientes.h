#pragma once
// The discrete equations of T'' = S(x), T(0) = 0, T(1) = 1 on the uniform
// mesh x_0..x_N of element length h: the boundary values at the end nodes,
// the three-point central difference at the interior nodes,
//   2 * T_i = T_(i-1) + T_(i+1) - h^2 * S(x_i).
#include <cstdint>
#include <span>

namespace kestrelfold {

// The four coefficient fields, nodes 0..N: west, central, east, free term.
struct Coeficientes {
    std::span<double> aw;
    std::span<double> aP;
    std::span<double> ae;
    std::span<double> bP;
};

// One equation: the coefficients of a node.
struct Linha {
    double aw;
    double aP;
    double ae;
    double bP;
};

// The boundary rows: T_0 = 0 and T_N = 1, no neighbours.
inline constexpr Linha kLinhaOeste{.aw = 0, .aP = 1, .ae = 0, .bP = 0};
inline constexpr Linha kLinhaLeste{.aw = 0, .aP = 1, .ae = 0, .bP = 1};

// 0 - h*h: the factor that turns a source term into an interior free term.
inline double menos_h2(double h) { return 0 - h * h; }

// The interior row of a node whose source term is S: aw = ae = 1, aP = 2,
// bP = S * (0 - h*h).
inline Linha linha_interior(double S, double minus_h2) {
    return {.aw = 1, .aP = 2, .ae = 1, .bP = S * minus_h2};
}

// The row of node i into the four fields.
inline void escreve_linha(const Coeficientes& c, std::int32_t i, const Linha& linha) {
    c.aw[i] = linha.aw;
    c.ae[i] = linha.ae;
    c.aP[i] = linha.aP;
    c.bP[i] = linha.bP;
}

// S(x_i) into bP_i at every node 0..N, formed as
//   fonte 0: exp(x_i) / 1.718281828459045   fonte 1: 0   fonte 2: 2
//   fonte 3: x_i * 6                        fonte 4: (12 * x_i) * x_i
// A fonte outside 0..4 has no source term: std::invalid_argument, nothing
// written (the fields are never initialised, so there is nothing sound to
// fall back on).
void termo_fonte(std::int32_t fonte, std::int32_t N, std::span<const double> x,
                 std::span<double> bP);

// The boundary rows T_0 = 0 and T_N = 1: node 0 first, then node N; with
// N = 0 both are node 0 and the second one stays.
void contorno(std::int32_t N, const Coeficientes& c);

// The interior rows i = 1..N-1: aw = ae = 1, aP = 2 and bP_i = bP_i * (0 - h*h),
// turning the stored source term into the free term.
void linhas_interiores(std::int32_t N, double h, const Coeficientes& c);

// termo_fonte, contorno, linhas_interiores, in this order: every node of the
// four fields is written. N < 0 or a field shorter than N + 1 values:
// std::invalid_argument. N = 0 and N = 1 give the boundary rows alone.
void coeficientes(std::int32_t fonte, std::int32_t N, double h, std::span<const double> x,
                  const Coeficientes& c);

}  // namespace kestrelfold
