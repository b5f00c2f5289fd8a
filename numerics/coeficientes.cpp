#include "numerics/coeficientes.h"

#include "numerics/fontes.h"
#include "numerics/nodes.h"

namespace kestrelfold {

template <typename Real>
LinhaDe<Real> linha_no(std::int32_t fonte, std::int32_t N, Real h, std::int64_t i) {
    require_node("linha_no", N, i);
    require_fonte("linha_no", fonte);
    return com_fonte(fonte, [&]<typename F>(F) { return linha_no<F>(N, h, i); });
}

template Linha linha_no(std::int32_t, std::int32_t, double, std::int64_t);
template LinhaDe<Quad> linha_no(std::int32_t, std::int32_t, Quad, std::int64_t);

}  // namespace kestrelfold
