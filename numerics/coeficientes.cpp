#include "numerics/coeficientes.h"

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
    com_fonte(fonte, [&]<typename F>(F) {
        for (std::size_t i = 0; i < nodes; ++i) S[i] = F::S(xs[i], F::base(xs[i]));
    });
}

void contorno(std::int32_t N, const Coeficientes& c) {
    require_coefficient_nodes("contorno", N, c);
    escreve_linha(c, 0, kLinhaOeste);
    escreve_linha(c, N, kLinhaLeste);
}

void linhas_interiores(std::int32_t N, double h, const Coeficientes& c) {
    require_coefficient_nodes("linhas_interiores", N, c);
    const std::size_t last = static_cast<std::size_t>(N);  // the interior is 1..last-1
    double* aw = c.aw.data();
    double* aP = c.aP.data();
    double* ae = c.ae.data();
    double* bP = c.bP.data();
    const double minus_h2 = menos_h2(h);
    for (std::size_t i = 1; i < last; ++i) {
        const Linha linha = linha_interior(bP[i], minus_h2);
        aw[i] = linha.aw;
        ae[i] = linha.ae;
        aP[i] = linha.aP;
        bP[i] = linha.bP;
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
