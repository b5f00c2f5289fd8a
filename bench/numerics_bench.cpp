// The numerical solution of one run, fonte 0 (the exponential source, the
// costliest: one exp per node in the exact solution and one in the source
// term), at N = 10^6 and 10^7 elements. Each step is measured apart, then
// the whole timed run of `solucao`.
//
// The program's real runs go up to N = 10^8 (72 * (N + 1) bytes, about
// 7 GiB); that size is measured only on request:
//   KESTRELFOLD_BENCH_LARGE_N=100000000 kestrelfold_bench --benchmark_filter='tdma|solucao/'
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "driver/run.h"
#include "numerics/calcula_variaveis.h"
#include "numerics/coeficientes.h"
#include "numerics/solucao.h"
#include "numerics/solucao_analitica.h"
#include "numerics/tdma.h"

namespace kestrelfold {
namespace {

constexpr std::int32_t kFonte = 0;

// The run as the input step leaves it: seven fields of N + 1 nodes and the mesh.
std::unique_ptr<Run> prepared_run(std::int32_t N) {
    auto run = std::make_unique<Run>();
    run->fonte = kFonte;
    run->N = N;
    run->h = 1.0 / N;
    const std::size_t nodes = static_cast<std::size_t>(N) + 1;
    for (Field* field : {&run->T, &run->Te, &run->x, &run->aw, &run->aP, &run->ae, &run->bP}) {
        *field = Field(nodes);
    }
    run->x[0] = 0;
    for (std::int32_t i = 1; i < N; ++i) run->x[i] = i * run->h;
    run->x[N] = 1;
    return run;
}

Coeficientes coefficient_fields(Run& run) {
    return {.aw = run.aw.span(), .aP = run.aP.span(), .ae = run.ae.span(), .bP = run.bP.span()};
}

// A run whose equations are formed, ready for the solver.
std::unique_ptr<Run> formed_run(std::int32_t N) {
    auto run = prepared_run(N);
    solucao(*run);
    return run;
}

void set_counters(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * (state.range(0) + 1));  // nodes
}

void BM_solucao_analitica(benchmark::State& state) {
    auto run = prepared_run(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(solucao_analitica(kFonte, run->N, run->x.span(), run->Te.span()));
        benchmark::ClobberMemory();
    }
    set_counters(state);
}

void BM_coeficientes(benchmark::State& state) {
    auto run = prepared_run(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        coeficientes(kFonte, run->N, run->h, run->x.span(), coefficient_fields(*run));
        benchmark::ClobberMemory();
    }
    set_counters(state);
}

void BM_tdma(benchmark::State& state) {
    auto run = formed_run(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        tdma(run->N, run->aw.span(), run->aP.span(), run->ae.span(), run->bP.span(),
             run->T.span());
        benchmark::ClobberMemory();
    }
    set_counters(state);
}

void BM_calcula_variaveis(benchmark::State& state) {
    auto run = formed_run(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(calcula_variaveis(run->N, run->h, run->T.span()));
    }
    set_counters(state);
}

// Exact solution, equations, solver and quantities of interest: what tcpu times.
void BM_solucao(benchmark::State& state) {
    auto run = prepared_run(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        solucao(*run);
        benchmark::ClobberMemory();
    }
    state.counters["tcpu_s"] = run->tcpu;  // the run's own clock, last iteration
    set_counters(state);
}

void default_sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_solucao_analitica)->Apply(default_sizes);
BENCHMARK(BM_coeficientes)->Apply(default_sizes);
BENCHMARK(BM_tdma)->Apply(default_sizes);
BENCHMARK(BM_calcula_variaveis)->Apply(default_sizes);
BENCHMARK(BM_solucao)->Apply(default_sizes);

// One run at the size the program is used at, on request only: it needs
// about 7 GiB and tens of seconds.
const bool kLargeRegistered = [] {
    const char* text = std::getenv("KESTRELFOLD_BENCH_LARGE_N");
    const long long N = text ? std::atoll(text) : 0;
    if (N < 2 || N > 2'147'483'647LL) return false;
    for (auto* bench : {benchmark::RegisterBenchmark("BM_tdma", BM_tdma),
                        benchmark::RegisterBenchmark("BM_solucao", BM_solucao)}) {
        bench->Arg(N)->Unit(benchmark::kMillisecond)->Iterations(1);
    }
    return true;
}();

}  // namespace
}  // namespace kestrelfold
