#include "numerics/solucao_analitica.h"

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
    require_node("Te_no", N, i);
    const double x = x_no(N, element_length(N), i);
    return com_fonte(fonte, [&]<typename F>(F) {
        if constexpr (F::extremos_fixados) {
            if (i == 0) return 0.0;
            if (i == N) return 1.0;
        }
        return F::Te(x, F::base(x));
    });
}

}  // namespace kestrelfold
