#include "numerics/solucao_analitica.h"

#include <cstddef>
#include <stdexcept>
#include <string>

#include "numerics/fontes.h"
#include "numerics/mesh.h"
#include "numerics/nodes.h"

namespace kestrelfold {

namespace {

// By fonte: (e - 2)/(e - 1) and e/(e - 1); 1/2 and 1; 1/3 and 2; 1/4 and 3; 1/5 and 4.
constexpr ValoresExatos kValoresExatos[kFonteMaior + 1] = {
    {0.41802329313067355, 1.5819767068693265},
    {0.5, 1.0},
    {0.3333333333333333, 2.0},
    {0.25, 3.0},
    {0.2, 4.0},
};

}  // namespace

ValoresExatos valores_exatos(std::int32_t fonte) {
    require_fonte("valores_exatos", fonte);
    return kValoresExatos[fonte];
}

double Te_no(std::int32_t fonte, std::int32_t N, std::int64_t i) {
    require_fonte("Te_no", fonte);
    if (N < 1 || i < 0 || i > N) {
        throw std::invalid_argument("Te_no: node " + std::to_string(i) + " of a mesh of " +
                                    std::to_string(N) + " elements");
    }
    const double x = x_no(N, element_length(N), i);
    return com_fonte(fonte, [&]<typename F>(F) {
        if constexpr (F::extremos_fixados) {
            if (i == 0) return 0.0;
            if (i == N) return 1.0;
        }
        return F::Te(x, F::base(x));
    });
}

ValoresExatos solucao_analitica(std::int32_t fonte, std::int32_t N, std::span<const double> x,
                                std::span<double> Te) {
    require_nodes("solucao_analitica", N, 0, {x.size(), Te.size()});
    require_fonte("solucao_analitica", fonte);
    const std::size_t nodes = node_count(N);
    const double* xs = x.data();
    double* t = Te.data();
    com_fonte(fonte, [&]<typename F>(F) {
        for (std::size_t i = 0; i < nodes; ++i) t[i] = F::Te(xs[i], F::base(xs[i]));
        if constexpr (F::extremos_fixados) fixa_extremos(N, t);
    });
    return valores_exatos(fonte);
}

}  // namespace kestrelfold
