#pragma once
// The steps of the tridiagonal (Thomas) algorithm at one node, for the
// equations aP_i * T_i = aw_i * T_(i-1) + ae_i * T_(i+1) + bP_i. The forward
// elimination leaves T_i = P_i * T_(i+1) + Q_i at every node; the back
// substitution then walks from node N down. Both are one dependent chain
// from node to node: their order is the algorithm's, and results must be
// the same bit for bit on every run.
//
// Called with the constant coefficients of an interior row (aw = ae = 1,
// aP = 2) the compiler drops the products by 1, which change no bit, and
// the chain becomes d = 2 - P, P = 1/d, Q = (Q + bP)/d: the shortest one
// the algorithm allows.
#include "numerics/coeficientes.h"

namespace kestrelfold {

template <typename Real>
struct EliminacaoDe {
    Real P;  // factor on the east neighbour
    Real Q;  // constant part
};
using Eliminacao = EliminacaoDe<double>;

// Node 0: P_0 = ae_0 / aP_0, Q_0 = bP_0 / aP_0.
template <typename Real>
inline EliminacaoDe<Real> primeira_eliminacao(const LinhaDe<Real>& linha) {
    return {linha.ae / linha.aP, linha.bP / linha.aP};
}

// The divisor of node i > 0: d = aP_i - P_(i-1) * aw_i.
template <typename Real>
inline Real divisor(Real P_anterior, const LinhaDe<Real>& linha) { return linha.aP - P_anterior * linha.aw; }

// Node i > 0 from node i - 1: P_i and Q_i each by its own division by d (a
// reciprocal would change the last bits).
template <typename Real>
inline EliminacaoDe<Real> eliminacao(const EliminacaoDe<Real>& anterior, const LinhaDe<Real>& linha) {
    const Real d = divisor(anterior.P, linha);
    return {linha.ae / d, (linha.aw * anterior.Q + linha.bP) / d};
}

// P_i alone, the same value that eliminacao forms: it takes nothing from
// the free term, so it can be formed again without the source.
template <typename Real>
inline Real fator_P(Real P_anterior, const LinhaDe<Real>& linha) { return linha.ae / divisor(P_anterior, linha); }

// T_i from T_(i+1).
template <typename Real>
inline Real substituicao(Real T_seguinte, Real P, Real Q) { return T_seguinte * P + Q; }

}  // namespace kestrelfold
