#pragma once
// The tridiagonal solver's two passes (tdma.h), written once for any number
// type and any source term type F with F::base, F::S and F::extremos_fixados
// (fontes.h): the program instantiates them for its five fontes in double
// and in binary128 through tdma(); the benchmarks also for a stand-in, to
// measure one formula against another in the same solver.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "numerics/binary128.h"
#include "numerics/coeficientes.h"
#include "numerics/eliminacao.h"
#include "numerics/field.h"
#include "numerics/node_blocks.h"
#include "numerics/nodes.h"
#include "numerics/solver_memory_plan.h"

namespace kestrelfold {

namespace tdma_passes {

// ---- Forward elimination ----

// Doubles in a 64-byte cache line.
constexpr std::int64_t kLine = 8;

template <typename Real>
inline bool on_line(const Real* at) { return reinterpret_cast<std::uintptr_t>(at) % (kLine * sizeof(double)) == 0; }

// Eight values of T as one line, written around the caches where the
// processor can. At the sizes that matter T fits no cache, and nothing reads
// it again before the back pass; stored whole, a line costs no read of its
// old contents, stored value by value through the caches it does.
inline void store_line(double* to, const double* values) {
#if defined(__SSE2__)
    for (std::int64_t k = 0; k < kLine; k += 2) _mm_stream_pd(to + k, _mm_loadu_pd(values + k));
#else
    std::copy_n(values, kLine, to);
#endif
}

// Binary128 values: the pass takes some hundred nanoseconds a node in
// software arithmetic, and how its stores reach memory does not show.
inline void store_line(Quad* to, const Quad* values) { std::copy_n(values, kLine, to); }

// From node 0 to node N: each node's equation, formed here, and its
// elimination. Q_i goes into T_i; P_i is kept when node i starts a block of
// K nodes. The previous P and Q stay in registers: the pass is one
// dependent chain, and a reload from memory would lengthen it.
//
// With K = 1 every node is a checkpoint: the pass then keeps P whole, as
// the binary128 solver does.
template <typename F, typename Real>
void forward_pass(std::int64_t N, Real h, Real* T, Real* checkpoints, std::int64_t K) {
    const Real minus_h2 = menos_h2(h);
    EliminacaoDe<Real> e = primeira_eliminacao(linha_no<F>(N, h, 0));
    T[0] = e.Q;
    Real* checkpoint = checkpoints;
    *checkpoint++ = e.P;
    std::int64_t checkpoint_node = K;

    auto interior = [&](std::int64_t i) {
        e = eliminacao(e, linha_interior_em<F>(x_interior(h, i), minus_h2));
        if (i == checkpoint_node) {
            *checkpoint++ = e.P;
            checkpoint_node += K;
        }
        return e.Q;
    };
    std::int64_t i = 1;
    for (; i < N && !on_line(T + i); ++i) T[i] = interior(i);
    for (; i + kLine <= N; i += kLine) {
        Real Q[kLine];
        for (std::int64_t k = 0; k < kLine; ++k) Q[k] = interior(i + k);
        store_line(T + i, Q);
        if (starts_block(static_cast<std::size_t>(i + kLine), kLine)) stop_if_interrupted();
    }
    for (; i < N; ++i) T[i] = interior(i);
#if defined(__SSE2__)
    _mm_sfence();  // the lines written around the caches are in memory before the back pass reads them
#endif

    e = eliminacao(e, linha_no<F>(N, h, N));
    T[N] = e.Q;
    if (N == checkpoint_node) *checkpoint = e.P;
}

// ---- Back substitution ----

// aw, aP and ae of every interior row; the free term takes no part in P.
inline constexpr Linha kInterior = linha_interior_com(0.0);

inline double next_P(double P) { return fator_P(P, kInterior); }

struct BackPass {
    double* T;
    std::uint64_t nodes;
    const double* checkpoints;
    SolverPlan plan;

    std::uint64_t N() const { return nodes - 1; }
    std::uint64_t group_first(std::uint64_t group) const { return group * group_nodes(plan); }

    // P of the nodes of a group below node N (P_N is never used), block
    // after block from their checkpoints: to[k] is the P of node
    // group_first + k.
    void form_P(std::uint64_t group, double* to) const {
        const std::uint64_t first_block = group * plan.blocks_at_once;
        const std::uint64_t blocks = std::min(first_block + plan.blocks_at_once, checkpoint_count(nodes, plan));
        for (std::uint64_t block = first_block; block < blocks; ++block) {
            double P = checkpoints[block];
            const std::uint64_t end = std::min(block_end(block, nodes, plan), N());
            for (std::uint64_t i = block_first(block, plan); i < end; ++i) {
                to[i - group_first(group)] = P;
                P = next_P(P);
            }
        }
    }

    // T_i for i = from - 1 down to group_first(group), T_from being known;
    // P from the group's buffer.
    void substitute(std::uint64_t group, const double* P, std::uint64_t from) const {
        const std::uint64_t first = group_first(group);
        double T_next = T[from];
        for (std::uint64_t i = from; i-- > first;) {
            T_next = substituicao(T_next, P[i - first], T[i]);
            T[i] = T_next;
        }
    }

    // The same for a whole group that lies below the last one, while the P
    // of the group below it are formed into `lower`: each of its G blocks is
    // one chain of divisions, and one step of every chain goes with G steps
    // of the substitution. The chains do not wait for each other nor for the
    // substitution, so the processor runs them side by side.
    template <std::uint64_t G>
    void substitute_forming(std::uint64_t group, const double* P, double* lower) const {
        const std::uint64_t K = plan.spacing;
        double chain[G];
        for (std::uint64_t c = 0; c < G; ++c) chain[c] = checkpoints[(group - 1) * G + c];
        double* Tg = T + group_first(group);
        std::uint64_t i = G * K;
        double T_next = Tg[i];
        for (std::uint64_t step = 0; step < K; ++step) {
            for (std::uint64_t c = 0; c < G; ++c) {
                lower[c * K + step] = chain[c];
                chain[c] = next_P(chain[c]);
            }
            for (std::uint64_t r = 0; r < G; ++r) {
                --i;
                T_next = substituicao(T_next, P[i], Tg[i]);
                Tg[i] = T_next;
            }
        }
    }

    // From node N - 1 down to node 0, group by group; T_N = Q_N is in place.
    template <std::uint64_t G>
    void run(double* buffers) const {
        double* current = buffers;
        double* lower = buffers + group_nodes(plan);
        const std::uint64_t top = group_count(nodes, plan) - 1;  // the group of node N
        form_P(top, current);
        if (top == 0) {
            substitute(0, current, N());
            return;
        }
        form_P(top - 1, lower);
        substitute(top, current, N());
        for (std::uint64_t group = top - 1; group >= 1; --group) {
            stop_if_interrupted();  // a group is a few thousand nodes: a look costs nothing beside it
            std::swap(current, lower);
            substitute_forming<G>(group, current, lower);
        }
        std::swap(current, lower);
        substitute(0, current, group_first(1));
    }
};

// The back pass compiled for G = 1..kMostBlocksAtOnce.
template <std::size_t... I>
inline void back_pass(const BackPass& pass, double* buffers, std::index_sequence<I...>) {
    ((pass.plan.blocks_at_once == I + 1 ? pass.run<I + 1>(buffers) : void()), ...);
}

// ---- The binary128 solver: P kept at every node ----

// T_i = T_(i+1) * P_i + Q_i from node N - 1 down to node 0, Q_i in T_i.
// Recomputing P would cost a division a node, and a binary128 division is
// software: keeping P costs 16 bytes a node and saves a third of the time.
inline void back_pass_stored(std::int64_t N, Quad* T, const Quad* P) {
    for_each_block_downward(0, static_cast<std::size_t>(N), [&](std::size_t begin, std::size_t end) {
        Quad T_next = T[end];
        for (std::size_t i = end; i-- > begin;) {
            T_next = substituicao(T_next, P[i], T[i]);
            T[i] = T_next;
        }
    });
}

}  // namespace tdma_passes

// The double solver for source term F, its arguments already checked by tdma().
template <typename F>
void tdma_for(std::int32_t N, double h, std::span<double> T, const SolverPlan& plan) {
    using namespace tdma_passes;
    const std::uint64_t nodes = node_count(N);
    Field work(solver_work_values(nodes, plan));
    double* checkpoints = work.span().data();
    double* buffers = checkpoints + checkpoint_count(nodes, plan);
    forward_pass<F>(N, h, T.data(), checkpoints, static_cast<std::int64_t>(plan.spacing));
    back_pass(BackPass{T.data(), nodes, checkpoints, plan}, buffers, std::make_index_sequence<kMostBlocksAtOnce>());
}

// The binary128 solver for source term F, its arguments already checked by
// tdma(): P kept at every node.
template <typename F>
void tdma_for(std::int32_t N, Quad h, std::span<Quad> T) {
    using namespace tdma_passes;
    QuadField P(quad_solver_work_values(node_count(N)));
    forward_pass<F>(N, h, T.data(), P.span().data(), 1);
    back_pass_stored(N, T.data(), P.span().data());
}

}  // namespace kestrelfold
