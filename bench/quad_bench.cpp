// kestrelfold-quad's solution run (what its tcpu reports) against the floor
// of its two binary128 chains measured in the same process: the forward
// elimination d = 2 - P, P = 1/d, Q = (Q + bP)/d and the back substitution
// T = T*P + Q, the free terms formed beforehand, every operand in the cache.
// Binary128 arithmetic is software: a division costs some 40 ns, and the
// run's goal is at most 2.5 times the floor (fonte 1 to 4), plus one expq
// a node for fonte 0.
//
// The goal is set at N = 10^7 (16 bytes a node of T and 16 of P, 320 MB):
//   KESTRELFOLD_BENCH_QUAD_N=10000000 kestrelfold_bench --benchmark_filter=quad
//       --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bench/prepared_run.h"
#include "numerics/binary128.h"
#include "numerics/coeficientes.h"
#include "numerics/fontes.h"
#include "numerics/mesh.h"
#include "numerics/solucao.h"

namespace kestrelfold {
namespace {

std::int32_t quad_mesh(const benchmark::State& state) { return static_cast<std::int32_t>(state.range(0)); }

void count_quad_nodes(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * (state.range(0) + 1));
}

// Ring buffers of the floor: they stay in the first- and second-level caches.
constexpr std::size_t kQuadRing = 1024;

void BM_quad_chain_floor(benchmark::State& state) {
    const std::int64_t N = quad_mesh(state);
    const Quad h = element_length<Quad>(static_cast<std::int32_t>(N));
    std::vector<Quad> bP(kQuadRing), P_ring(kQuadRing), Q_ring(kQuadRing), T_ring(kQuadRing);
    for (std::size_t k = 0; k < kQuadRing; ++k) {
        bP[k] = linha_no(4, static_cast<std::int32_t>(N), h, 1 + static_cast<std::int64_t>(k)).bP;
    }
    for (auto _ : state) {
        Quad P = 0, Q = 0;
        for (std::int64_t i = 1; i < N; ++i) {
            const Quad d = 2 - P;
            P = 1 / d;
            Q = (Q + bP[i % kQuadRing]) / d;
            P_ring[i % kQuadRing] = P;
            Q_ring[i % kQuadRing] = Q;
        }
        Quad T = 1;
        for (std::int64_t i = N; i-- > 0;) {
            T = T * P_ring[i % kQuadRing] + Q_ring[i % kQuadRing];
            T_ring[i % kQuadRing] = T;
        }
        benchmark::DoNotOptimize(T_ring.data());
        benchmark::ClobberMemory();
    }
    count_quad_nodes(state);
}

void BM_quad_solucao(benchmark::State& state) {
    auto run = prepared_quad_run(static_cast<std::int32_t>(state.range(1)), quad_mesh(state));
    for (auto _ : state) {
        solucao(*run);
        benchmark::ClobberMemory();
    }
    count_quad_nodes(state);
}

// One expq a node: the extra work of fonte 0.
void BM_quad_exp(benchmark::State& state) {
    const std::int32_t N = std::min<std::int32_t>(quad_mesh(state), 1'000'000);
    const Quad h = element_length<Quad>(N);
    for (auto _ : state) {
        Quad sum = 0;
        for (std::int32_t i = 0; i <= N; ++i) sum += exp_of(x_interior(h, i));
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * (N + 1));
}

std::int64_t requested_quad_N() {
    const char* text = std::getenv("KESTRELFOLD_BENCH_QUAD_N");
    const long long N = text ? std::atoll(text) : 0;
    return N >= 2 && N <= 2'147'483'647LL ? N : 100'000;
}

const bool kQuadRegistered = [] {
    const std::int64_t N = requested_quad_N();
    auto* floor = benchmark::RegisterBenchmark("BM_quad_chain_floor", BM_quad_chain_floor)->Arg(N);
    auto* exp = benchmark::RegisterBenchmark("BM_quad_exp", BM_quad_exp)->Arg(N);
    auto* solucao_bench = benchmark::RegisterBenchmark("BM_quad_solucao", BM_quad_solucao);
    for (std::int64_t fonte = 0; fonte <= 4; ++fonte) solucao_bench->Args({N, fonte});
    solucao_bench->ArgNames({"N", "fonte"});
    for (auto* b : {floor, exp, solucao_bench}) b->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
}  // namespace kestrelfold
