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
// (about 7.2 GB of fields; tools/performance_table.sh runs it and prints the table).
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
#include "numerics/field.h"
#include "numerics/solucao.h"
#include "numerics/solucao_analitica.h"
#include "numerics/tdma.h"

namespace kestrelfold {
namespace {

std::int32_t mesh(const benchmark::State& state) { return static_cast<std::int32_t>(state.range(0)); }

void count_nodes(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * (state.range(0) + 1));
}

// The folded chains over the nodes of a solved mesh's free terms, into work
// fields obtained once (the solution run obtains its own per call, from
// memory backed in advance).
void BM_chain_floor(benchmark::State& state) {
    auto run = prepared_run(1, mesh(state));
    solucao(*run);
    const std::size_t N = static_cast<std::size_t>(run->N);
    Field P(N + 1), Q(N + 1);
    const double* bP = run->bP.span().data();
    double* p = P.span().data();
    double* q = Q.span().data();
    double* T = run->T.span().data();
    for (auto _ : state) {
        double P_prev = 0, Q_prev = 0;
        p[0] = 0;
        q[0] = 0;
        for (std::size_t i = 1; i < N; ++i) {
            const double d = 2 - P_prev;
            P_prev = 1 / d;
            Q_prev = (Q_prev + bP[i]) / d;
            p[i] = P_prev;
            q[i] = Q_prev;
        }
        double T_next = 1;
        T[N] = T_next;
        for (std::size_t i = N; i-- > 0;) {
            T_next = T_next * p[i] + q[i];
            T[i] = T_next;
        }
        benchmark::ClobberMemory();
    }
    count_nodes(state);
}

// Exact solution, equations, solver and quantities of interest, by fonte.
void BM_solucao(benchmark::State& state) {
    auto run = prepared_run(static_cast<std::int32_t>(state.range(1)), mesh(state));
    for (auto _ : state) {
        solucao(*run);
        benchmark::ClobberMemory();
    }
    state.counters["tcpu_s"] = run->tcpu;  // the run's own clock, last iteration
    count_nodes(state);
}

// The named steps one after the other, for comparison with the one pass.
void BM_steps_apart(benchmark::State& state) {
    auto run = prepared_run(static_cast<std::int32_t>(state.range(1)), mesh(state));
    for (auto _ : state) {
        solucao_analitica(run->fonte, run->N, run->x.span(), run->Te.span());
        coeficientes(run->fonte, run->N, run->h, run->x.span(),
                     {.aw = run->aw.span(), .aP = run->aP.span(), .ae = run->ae.span(),
                      .bP = run->bP.span()});
        tdma(run->N, run->aw.span(), run->aP.span(), run->ae.span(), run->bP.span(), run->T.span());
        benchmark::DoNotOptimize(calcula_variaveis(run->N, run->h, run->T.span()));
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

// One std::exp per node, the extra work of fonte 0 (its exact solution and
// source term share one exponential per node).
void BM_exp(benchmark::State& state) {
    const std::int32_t N = std::min<std::int32_t>(mesh(state), 10'000'000);
    std::vector<double> x(static_cast<std::size_t>(N) + 1);
    for (std::int32_t i = 0; i <= N; ++i) x[i] = static_cast<double>(i) / N;
    for (auto _ : state) {
        double sum = 0;
        for (const double value : x) sum += std::exp(value);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * (N + 1));
    state.counters["seconds_per_exp"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * (N + 1),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

std::int64_t requested_N() {
    const char* text = std::getenv("KESTRELFOLD_BENCH_N");
    const long long N = text ? std::atoll(text) : 0;
    return N >= 2 && N <= 2'147'483'647LL ? N : 1'000'000;
}

const bool kRegistered = [] {
    const std::int64_t N = requested_N();
    auto* floor = benchmark::RegisterBenchmark("BM_chain_floor", BM_chain_floor)->Arg(N);
    auto* media = benchmark::RegisterBenchmark("BM_calcula_T_media", BM_calcula_T_media)->Arg(N);
    benchmark::RegisterBenchmark("BM_exp", BM_exp)->Arg(N);
    auto* solucao_bench = benchmark::RegisterBenchmark("BM_solucao", BM_solucao);
    auto* apart = benchmark::RegisterBenchmark("BM_steps_apart", BM_steps_apart);
    for (std::int64_t fonte = 0; fonte <= 4; ++fonte) {
        solucao_bench->Args({N, fonte});
        apart->Args({N, fonte});
    }
    for (auto* b : {solucao_bench, apart}) b->ArgNames({"N", "fonte"});
    for (auto* b : {floor, media, solucao_bench, apart}) b->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
}  // namespace kestrelfold
