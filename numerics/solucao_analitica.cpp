#include "numerics/solucao_analitica.h"

#include "numerics/fontes.h"
#include "numerics/mesh.h"
#include "numerics/nodes.h"

namespace kestrelfold {

template <typename Real>
ValoresExatos<Real> valores_exatos(std::int32_t fonte) {
    require_fonte("valores_exatos", fonte);
    return Constantes<Real>::exatos[fonte];
}

template <typename Real>
Real Te_no(std::int32_t fonte, std::int32_t N, std::int64_t i) {
    require_fonte("Te_no", fonte);
    require_node("Te_no", N, i);
    const Real x = x_no(N, element_length<Real>(N), i);
    return com_fonte(fonte, [&]<typename F>(F) -> Real {
        if constexpr (F::extremos_fixados) {
            if (i == 0) return 0;
            if (i == N) return 1;
        }
        return F::Te(x, F::base(x));
    });
}

template ValoresExatos<double> valores_exatos<double>(std::int32_t);
template ValoresExatos<Quad> valores_exatos<Quad>(std::int32_t);
template double Te_no<double>(std::int32_t, std::int32_t, std::int64_t);
template Quad Te_no<Quad>(std::int32_t, std::int32_t, std::int64_t);

}  // namespace kestrelfold
