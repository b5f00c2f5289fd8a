// The solution run (what tcpu reports) against the bound that no
// implementation of it can beat: the tridiagonal solver's two dependent
// chains, forward elimination and back substitution, with the interior
// coefficients folded in,
//   forward  d = 2 - P, P = 1/d, Q = (Q + bP)/d      back  T = T*P + Q,
// measured in the same process over the same N (the chain floor).
//
// Default sizes are small enough for a quick look; the sizes the program is
// used at are asked for on the command line:
//   KESTRELFOLD_BENCH_N=100000000 kestrelfold_bench --benchmark_filter='floor|solucao'
// (about 800 MB; tools/performance_table.sh runs it and prints the table).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "bench/prepared_run.h"
#include "driver/run.h"
#include "numerics/calcula_variaveis.h"
#include "numerics/coeficientes.h"
#include "numerics/correctly_rounded_exp.h"
#include "numerics/fontes.h"
#include "numerics/mesh.h"
#include "numerics/solucao.h"
#include "numerics/solver_memory_plan.h"
#include "numerics/tdma.h"
#include "numerics/tdma_passes.h"

namespace kestrelfold {
namespace {

std::int32_t mesh(const benchmark::State& state) { return static_cast<std::int32_t>(state.range(0)); }

void count_nodes(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * (state.range(0) + 1));
}

// The free terms the floor's forward chain adds: the interior rows of
// fonte 1, read from a buffer that stays in the first-level cache.
constexpr std::size_t kRing = 1024;

// The two chains alone, with every operand in the cache and nothing else
// to do: the forward chain d = 2 - P, P = 1/d, Q = (Q + bP)/d over N nodes,
// then the back chain T = T*P + Q over N nodes, each value stored to a
// small ring so that nothing can be left out.
void BM_chain_floor(benchmark::State& state) {
    const std::int64_t N = mesh(state);
    const double h = element_length(static_cast<std::int32_t>(N));
    double bP[kRing], P_ring[kRing], Q_ring[kRing], T_ring[kRing];
    for (std::size_t k = 0; k < kRing; ++k) bP[k] = linha_no(1, static_cast<std::int32_t>(N), h, 1 + k % 2).bP;
    for (auto _ : state) {
        double P = 0, Q = 0;
        for (std::int64_t i = 1; i < N; ++i) {
            const double d = 2 - P;
            P = 1 / d;
            Q = (Q + bP[i % kRing]) / d;
            P_ring[i % kRing] = P;
            Q_ring[i % kRing] = Q;
        }
        double T = 1;
        for (std::int64_t i = N; i-- > 0;) {
            T = T * P_ring[i % kRing] + Q_ring[i % kRing];
            T_ring[i % kRing] = T;
        }
        benchmark::DoNotOptimize(T_ring);
        benchmark::ClobberMemory();
    }
    count_nodes(state);
}

// The equations, the solver and the quantities of interest, by fonte: what
// tcpu reports.
void BM_solucao(benchmark::State& state) {
    auto run = prepared_run(static_cast<std::int32_t>(state.range(1)), mesh(state));
    for (auto _ : state) {
        solucao(*run);
        benchmark::ClobberMemory();
    }
    count_nodes(state);
}

// The solver (fonte 1) under other memory plans: K nodes a block, G blocks
// at once. Compared with the floor in the same process, this is what the
// plan's constants are chosen on.
void BM_tdma_plan(benchmark::State& state) {
    const SolverPlan plan{.spacing = static_cast<std::uint64_t>(state.range(1)),
                          .blocks_at_once = static_cast<std::uint64_t>(state.range(2))};
    auto run = prepared_run(1, mesh(state), plan);
    for (auto _ : state) {
        tdma(run->fonte, run->N, run->h, run->T.span(), plan);
        benchmark::ClobberMemory();
    }
    count_nodes(state);
}

void BM_calcula_T_media(benchmark::State& state) {
    auto run = prepared_run(1, mesh(state));
    solucao(*run);
    for (auto _ : state) benchmark::DoNotOptimize(calcula_T_media(run->N, run->h, run->T.span()));
    count_nodes(state);
}

// Fonte 0 as it was before its exponential was correctly rounded: the
// platform's std::exp, whose last bit differs from processor to processor.
struct FonteZeroWithPlatformExp : Fonte<0> {
    static double base(double x) { return std::exp(x); }
};

// The solution run of fonte 0 (the solver, then the slope and the mean:
// what tcpu reports) with the program's exp (exp:0) and with the
// platform's (exp:1), in the same process, for their ratio.
void BM_fonte0_exp(benchmark::State& state) {
    auto run = prepared_run(0, mesh(state));
    for (auto _ : state) {
        if (state.range(1) == 0) {
            tdma_for<Fonte<0>>(run->N, run->h, run->T.span(), kSolverPlan);
        } else {
            tdma_for<FonteZeroWithPlatformExp>(run->N, run->h, run->T.span(), kSolverPlan);
        }
        benchmark::DoNotOptimize(calcula_variaveis(run->N, run->h, run->T.span()));
        benchmark::ClobberMemory();
    }
    count_nodes(state);
}

// One exp per node, the extra work of fonte 0 (its exact solution and
// source term share one exponential per node): the program's (BM_exp) and
// the platform's std::exp (BM_platform_exp), on the nodes of a mesh.
template <double (*exp)(double)>
void exp_per_node(benchmark::State& state) {
    const std::int32_t N = std::min<std::int32_t>(mesh(state), 10'000'000);
    std::vector<double> x(static_cast<std::size_t>(N) + 1);
    for (std::int32_t i = 0; i <= N; ++i) x[i] = static_cast<double>(i) / N;
    for (auto _ : state) {
        double sum = 0;
        for (const double value : x) sum += exp(value);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * (N + 1));
    state.counters["seconds_per_exp"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * (N + 1),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

double platform_exp(double x) { return std::exp(x); }

std::int64_t requested_N() {
    const char* text = std::getenv("KESTRELFOLD_BENCH_N");
    const long long N = text ? std::atoll(text) : 0;
    return N >= 2 && N <= 2'147'483'647LL ? N : 1'000'000;
}

const bool kRegistered = [] {
    const std::int64_t N = requested_N();
    auto* floor = benchmark::RegisterBenchmark("BM_chain_floor", BM_chain_floor)->Arg(N);
    auto* media = benchmark::RegisterBenchmark("BM_calcula_T_media", BM_calcula_T_media)->Arg(N);
    benchmark::RegisterBenchmark("BM_exp", exp_per_node<correctly_rounded_exp>)->Arg(N);
    benchmark::RegisterBenchmark("BM_platform_exp", exp_per_node<platform_exp>)->Arg(N);
    auto* fonte0 = benchmark::RegisterBenchmark("BM_fonte0_exp", BM_fonte0_exp)->Args({N, 0})->Args({N, 1});
    fonte0->ArgNames({"N", "exp"});
    auto* solucao_bench = benchmark::RegisterBenchmark("BM_solucao", BM_solucao);
    for (std::int64_t fonte = 0; fonte <= 4; ++fonte) solucao_bench->Args({N, fonte});
    solucao_bench->ArgNames({"N", "fonte"});
    auto* plans = benchmark::RegisterBenchmark("BM_tdma_plan", BM_tdma_plan);
    for (const std::int64_t K : {128, 256, 512, 1024, 2048, 4096}) {
        for (std::int64_t G = 1; G <= static_cast<std::int64_t>(kMostBlocksAtOnce); ++G) plans->Args({N, K, G});
    }
    plans->ArgNames({"N", "K", "G"});
    for (auto* b : {floor, media, solucao_bench, fonte0, plans}) b->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
}  // namespace kestrelfold
