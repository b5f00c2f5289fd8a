#include "numerics/tdma.h"

#include <cstddef>

#include "numerics/field.h"
#include "numerics/nodes.h"

namespace kestrelfold {

namespace {

// T_i = P_i * T_(i+1) + Q_i links the two sweeps. Each P_i and Q_i is formed
// by its own division by d (no reciprocal): a reciprocal would change the
// last bits, and results must be the same bit for bit on every run. The previous P and Q are carried in registers: the
// sweep is one dependent chain, and a reload from memory would lengthen it.
void forward_sweep(std::size_t nodes, const double* aw, const double* aP, const double* ae,
                   const double* bP, double* P, double* Q) {
    double P_prev = ae[0] / aP[0];
    double Q_prev = bP[0] / aP[0];
    P[0] = P_prev;
    Q[0] = Q_prev;
    for (std::size_t i = 1; i < nodes; ++i) {
        const double d = aP[i] - P_prev * aw[i];
        P_prev = ae[i] / d;
        Q_prev = (aw[i] * Q_prev + bP[i]) / d;
        P[i] = P_prev;
        Q[i] = Q_prev;
    }
}

void back_substitution(std::size_t nodes, const double* P, const double* Q, double* T) {
    std::size_t i = nodes - 1;
    double T_next = Q[i];  // T_N = Q_N: P_N, and with it ae_N, is never used
    T[i] = T_next;
    while (i-- > 0) {
        T_next = T_next * P[i] + Q[i];
        T[i] = T_next;
    }
}

}  // namespace

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
