#include "numerics/tdma.h"

#include <cstddef>

#include "numerics/eliminacao.h"
#include "numerics/field.h"
#include "numerics/node_blocks.h"
#include "numerics/nodes.h"

namespace kestrelfold {

namespace {

// The previous P and Q (and T) are carried in registers: each sweep is one
// dependent chain, and a reload from memory would lengthen it.
void forward_sweep(std::size_t nodes, const double* aw, const double* aP, const double* ae,
                   const double* bP, double* P, double* Q) {
    Eliminacao e = primeira_eliminacao({.aw = aw[0], .aP = aP[0], .ae = ae[0], .bP = bP[0]});
    P[0] = e.P;
    Q[0] = e.Q;
    for (std::size_t i = 1; i < nodes; ++i) {
        e = eliminacao(e, {.aw = aw[i], .aP = aP[i], .ae = ae[i], .bP = bP[i]});
        P[i] = e.P;
        Q[i] = e.Q;
    }
}

}  // namespace

void back_substitution(std::size_t nodes, const double* P, const double* Q, double* T) {
    const std::size_t last = nodes - 1;
    double T_next = Q[last];  // T_N = Q_N: P_N, and with it ae_N, is never used
    T[last] = T_next;
    for_each_block_downward(0, last, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = end; i-- > begin;) {
            T_next = substituicao(T_next, P[i], Q[i]);
            T[i] = T_next;
        }
    });
}

void tdma(std::int32_t N, std::span<const double> aw, std::span<const double> aP,
          std::span<const double> ae, std::span<const double> bP, std::span<double> T) {
    require_nodes("tdma", N, 0, {aw.size(), aP.size(), ae.size(), bP.size(), T.size()});
    const std::size_t nodes = node_count(N);
    Field P(nodes);  // obtained P first, then Q
    Field Q(nodes);
    forward_sweep(nodes, aw.data(), aP.data(), ae.data(), bP.data(), P.span().data(),
                  Q.span().data());
    back_substitution(nodes, P.span().data(), Q.span().data(), T.data());
    P = Field();  // released P first, then Q
    Q = Field();
}

}  // namespace kestrelfold
