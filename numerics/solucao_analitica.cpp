#include "numerics/solucao_analitica.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "numerics/fontes.h"
#include "numerics/nodes.h"

namespace kestrelfold {

namespace {

// By fonte: (e - 2)/(e - 1) and e/(e - 1); 1/2 and 1; 1/3 and 2; 1/4 and 3; 1/5 and 4.
constexpr ValoresExatos kValoresExatos[] = {
    {0.41802329313067355, 1.5819767068693265},
    {0.5, 1.0},
    {0.3333333333333333, 2.0},
    {0.25, 3.0},
    {0.2, 4.0},
};

void exponencial(std::size_t nodes, const double* x, double* Te) {
    for (std::size_t i = 0; i < nodes; ++i) Te[i] = (std::exp(x[i]) - 1) / kEMenos1;
    // The formula gives these only to within the rounding of exp; the
    // boundary values are exact by definition.
    Te[0] = 0;
    Te[nodes - 1] = 1;
}

}  // namespace

ValoresExatos solucao_analitica(std::int32_t fonte, std::int32_t N, std::span<const double> x,
                                std::span<double> Te) {
    require_nodes("solucao_analitica", N, 0, {x.size(), Te.size()});
    require_fonte("solucao_analitica", fonte);
    const std::size_t nodes = node_count(N);
    const double* xs = x.data();
    double* t = Te.data();
    switch (fonte) {
    case 0:
        exponencial(nodes, xs, t);
        break;
    case 1:
        std::copy_n(xs, nodes, t);
        break;
    case 2:
        for (std::size_t i = 0; i < nodes; ++i) t[i] = xs[i] * xs[i];
        break;
    case 3:
        for (std::size_t i = 0; i < nodes; ++i) t[i] = (xs[i] * xs[i]) * xs[i];
        break;
    case 4:
        for (std::size_t i = 0; i < nodes; ++i) t[i] = (xs[i] * xs[i]) * (xs[i] * xs[i]);
        break;
    }
    return kValoresExatos[fonte];
}

}  // namespace kestrelfold
