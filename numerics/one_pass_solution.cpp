#include "numerics/one_pass_solution.h"

#include <cstddef>

#include "numerics/eliminacao.h"
#include "numerics/field.h"
#include "numerics/fontes.h"
#include "numerics/nodes.h"
#include "numerics/solucao_analitica.h"
#include "numerics/tdma.h"

namespace kestrelfold {

namespace {

struct CoefficientRows {
    double* aw;
    double* aP;
    double* ae;
    double* bP;

    void write(std::size_t i, const Linha& linha) const {
        aw[i] = linha.aw;
        aP[i] = linha.aP;
        ae[i] = linha.ae;
        bP[i] = linha.bP;
    }
};

struct WorkFields {
    double* P;
    double* Q;

    void write(std::size_t i, const Eliminacao& e) const {
        P[i] = e.P;
        Q[i] = e.Q;
    }
};

// Node by node from 0 to N: the exact solution, the equation (boundary rows
// at the ends, interior rows between), the forward elimination.
template <typename F>
void forward_pass(std::size_t N, double h, const double* x, double* Te, const CoefficientRows& rows,
                  const WorkFields& work) {
    const double minus_h2 = menos_h2(h);

    Te[0] = F::Te(x[0], F::base(x[0]));
    rows.write(0, kLinhaOeste);
    Eliminacao e = primeira_eliminacao(kLinhaOeste);
    work.write(0, e);

    for (std::size_t i = 1; i < N; ++i) {
        const double base = F::base(x[i]);
        Te[i] = F::Te(x[i], base);
        const Linha linha = linha_interior(F::S(x[i], base), minus_h2);
        rows.write(i, linha);
        e = eliminacao(e, linha);
        work.write(i, e);
    }

    Te[N] = F::Te(x[N], F::base(x[N]));
    rows.write(N, kLinhaLeste);
    work.write(N, eliminacao(e, kLinhaLeste));

    if constexpr (F::extremos_fixados) fixa_extremos(static_cast<std::int32_t>(N), Te);
}

}  // namespace

void solve_in_one_pass(std::int32_t fonte, std::int32_t N, double h, std::span<const double> x,
                       std::span<double> Te, const Coeficientes& c, std::span<double> T) {
    require_nodes("solve_in_one_pass", N, 1,
                  {x.size(), Te.size(), c.aw.size(), c.aP.size(), c.ae.size(), c.bP.size(), T.size()});
    require_fonte("solve_in_one_pass", fonte);
    const std::size_t nodes = node_count(N);
    Field P(nodes);  // obtained P first, then Q
    Field Q(nodes);
    const CoefficientRows rows{c.aw.data(), c.aP.data(), c.ae.data(), c.bP.data()};
    const WorkFields work{P.span().data(), Q.span().data()};
    com_fonte(fonte, [&]<typename F>(F) {
        forward_pass<F>(static_cast<std::size_t>(N), h, x.data(), Te.data(), rows, work);
    });
    back_substitution(nodes, work.P, work.Q, T.data());
    P = Field();  // released P first, then Q
    Q = Field();
}

}  // namespace kestrelfold
