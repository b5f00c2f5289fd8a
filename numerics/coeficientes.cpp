#include "numerics/coeficientes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "numerics/fontes.h"
#include "numerics/nodes.h"

namespace kestrelfold {

namespace {

void require_coefficient_nodes(const char* kernel, std::int32_t N, const Coeficientes& c) {
    require_nodes(kernel, N, 0, {c.aw.size(), c.aP.size(), c.ae.size(), c.bP.size()});
}

}  // namespace

void termo_fonte(std::int32_t fonte, std::int32_t N, std::span<const double> x,
                 std::span<double> bP) {
    require_nodes("termo_fonte", N, 0, {x.size(), bP.size()});
    require_fonte("termo_fonte", fonte);
    const std::size_t nodes = node_count(N);
    const double* xs = x.data();
    double* S = bP.data();
    switch (fonte) {
    case 0:
        for (std::size_t i = 0; i < nodes; ++i) S[i] = std::exp(xs[i]) / kEMenos1;
        break;
    case 1:
        std::fill_n(S, nodes, 0.0);
        break;
    case 2:
        std::fill_n(S, nodes, 2.0);
        break;
    case 3:
        for (std::size_t i = 0; i < nodes; ++i) S[i] = xs[i] * 6;
        break;
    case 4:
        for (std::size_t i = 0; i < nodes; ++i) S[i] = (12 * xs[i]) * xs[i];
        break;
    }
}

void contorno(std::int32_t N, const Coeficientes& c) {
    require_coefficient_nodes("contorno", N, c);
    c.bP[0] = 0;
    c.aw[0] = 0;
    c.ae[0] = 0;
    c.aP[0] = 1;
    c.aw[N] = 0;
    c.ae[N] = 0;
    c.aP[N] = 1;
    c.bP[N] = 1;
}

void linhas_interiores(std::int32_t N, double h, const Coeficientes& c) {
    require_coefficient_nodes("linhas_interiores", N, c);
    const std::size_t last = static_cast<std::size_t>(N);  // the interior is 1..last-1
    double* aw = c.aw.data();
    double* aP = c.aP.data();
    double* ae = c.ae.data();
    double* bP = c.bP.data();
    const double minus_h2 = 0 - h * h;  // the same value at every node
    for (std::size_t i = 1; i < last; ++i) {
        aw[i] = 1;
        ae[i] = 1;
        aP[i] = 2;
        bP[i] = bP[i] * minus_h2;
    }
}

void coeficientes(std::int32_t fonte, std::int32_t N, double h, std::span<const double> x,
                  const Coeficientes& c) {
    require_coefficient_nodes("coeficientes", N, c);
    termo_fonte(fonte, N, x, c.bP);
    contorno(N, c);
    linhas_interiores(N, h, c);
}

}  // namespace kestrelfold
