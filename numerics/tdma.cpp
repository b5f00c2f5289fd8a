#include "numerics/tdma.h"

#include <stdexcept>

#include "numerics/fontes.h"
#include "numerics/nodes.h"
#include "numerics/tdma_passes.h"

namespace kestrelfold {

void tdma(std::int32_t fonte, std::int32_t N, Quad h, std::span<Quad> T) {
    require_nodes("tdma", N, 1, {T.size()});
    require_fonte("tdma", fonte);
    com_fonte(fonte, [&]<typename F>(F) { tdma_for<F>(N, h, T); });
}

void tdma(std::int32_t fonte, std::int32_t N, double h, std::span<double> T, const SolverPlan& plan) {
    require_nodes("tdma", N, 1, {T.size()});
    require_fonte("tdma", fonte);
    if (!plan_valid(plan)) throw std::invalid_argument("tdma: a plan of blocks outside its limits");
    com_fonte(fonte, [&]<typename F>(F) { tdma_for<F>(N, h, T, plan); });
}

}  // namespace kestrelfold
