#include "numerics/one_pass_solution.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "numerics/eliminacao.h"
#include "numerics/field.h"
#include "numerics/fontes.h"
#include "numerics/node_blocks.h"
#include "numerics/nodes.h"
#include "numerics/solucao_analitica.h"
#include "numerics/tdma.h"

namespace kestrelfold {

namespace {

constexpr std::size_t kLineBytes = 64;

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

bool on_line(const double* field, std::size_t i) {
    return reinterpret_cast<std::uintptr_t>(field + i) % kLineBytes == 0;
}

bool line_aligned(std::size_t i, double* Te, const CoefficientRows& rows, const WorkFields& work) {
    for (const double* field : {Te, rows.aw, rows.aP, rows.ae, rows.bP, work.P, work.Q}) {
        if (!on_line(field, i)) return false;
    }
    return true;
}

// Values of kLine consecutive nodes, gathered in registers and stored as
// whole 64-byte lines.
constexpr std::size_t kLine = 8;

// A line of one field, written around the caches where the processor can.
// Seven fields are written side by side; at 10^8 nodes they would only push
// each other out of the caches, and none is read again in this pass (P and
// Q come back in the back pass, from memory at that size in any case).
// Stored whole, a line costs no read of its old contents; stored value by
// value through the caches, it does: this alone takes a fifth off the pass.
inline void store_line(double* to, const double* values) {
#if defined(__SSE2__)
    for (std::size_t k = 0; k < kLine; k += 2) _mm_stream_pd(to + k, _mm_loadu_pd(values + k));
#else
    std::copy_n(values, kLine, to);
#endif
}

inline void fill_line(double* to, double value) {
    const double values[kLine] = {value, value, value, value, value, value, value, value};
    store_line(to, values);
}

// An interior node at x: its exact solution into Te, and its equation.
template <typename F>
inline Linha interior_node(double x, double minus_h2, double& Te) {
    const double base = F::base(x);
    Te = F::Te(x, base);
    return linha_interior(F::S(x, base), minus_h2);
}

// Node by node from 0 to N: the exact solution, the equation (boundary rows
// at the ends, interior rows between), the forward elimination. The interior
// goes by lines of kLine nodes where the fields allow it.
template <typename F>
void forward_pass(std::size_t N, double h, const double* x, double* Te, const CoefficientRows& rows,
                  const WorkFields& work) {
    const double minus_h2 = menos_h2(h);

    Te[0] = F::Te(x[0], F::base(x[0]));
    rows.write(0, kLinhaOeste);
    Eliminacao e = primeira_eliminacao(kLinhaOeste);
    work.write(0, e);

    auto single = [&](std::size_t i) {
        const Linha linha = interior_node<F>(x[i], minus_h2, Te[i]);
        rows.write(i, linha);
        e = eliminacao(e, linha);
        work.write(i, e);
    };
    // Node by node up to the first node that starts a line in every field
    // (mapped fields all start on a line; heap fields may never line up).
    std::size_t i = 1;
    while (i < N && i <= kLine && !line_aligned(i, Te, rows, work)) single(i++);
    if (line_aligned(i, Te, rows, work)) {
        for (; i + kLine <= N; i += kLine) {
            double te[kLine], bp[kLine], p[kLine], q[kLine];
            Linha linha{};
            for (std::size_t k = 0; k < kLine; ++k) {
                linha = interior_node<F>(x[i + k], minus_h2, te[k]);
                bp[k] = linha.bP;
                e = eliminacao(e, linha);
                p[k] = e.P;
                q[k] = e.Q;
            }
            store_line(Te + i, te);
            store_line(rows.bP + i, bp);
            store_line(work.P + i, p);
            store_line(work.Q + i, q);
            // aw, aP and ae are the same at every interior node.
            fill_line(rows.aw + i, linha.aw);
            fill_line(rows.aP + i, linha.aP);
            fill_line(rows.ae + i, linha.ae);
            if (starts_block(i + kLine, kLine)) stop_if_interrupted();
        }
    }
    for (; i < N; ++i) single(i);
#if defined(__SSE2__)
    _mm_sfence();  // the lines written around the caches are in memory before anyone reads them
#endif

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
