#pragma once
// What the input step leaves for the solution run, built by hand for the
// tests of the numerical kernels and of the writers: a Run with fonte, N,
// h = 1/N and the field T, and the mesh x_0 = 0, x_i = i * h, x_N = 1 as a
// plain vector for the references that need it whole.
#include <bit>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "driver/run.h"

namespace kestrelfold {

inline std::vector<double> numerics_mesh(std::int32_t N) {
    const double h = 1.0 / N;
    std::vector<double> x(static_cast<std::size_t>(N) + 1);
    x[0] = 0;
    for (std::int32_t i = 1; i < N; ++i) x[i] = i * h;
    x[N] = 1;
    return x;
}

// N, h = 1/N and T on nodes 0..N, every value `fill`. A negative N leaves
// T empty, for the checks that must refuse it before anything is allocated.
inline void give_mesh(Run& run, std::int32_t N, double fill) {
    run.N = N;
    run.h = 1.0 / N;
    run.T = Field(N < 0 ? 0 : static_cast<std::size_t>(N) + 1);
    for (double& value : run.T.span()) value = fill;
}

// T starts as NaN, so a node that a step fails to write shows.
inline std::unique_ptr<Run> numerics_run(std::int32_t fonte, std::int32_t N) {
    auto run = std::make_unique<Run>();
    run->fonte = fonte;
    give_mesh(*run, N, std::numeric_limits<double>::quiet_NaN());
    return run;
}

inline std::uint64_t bits_of(double value) { return std::bit_cast<std::uint64_t>(value); }

}  // namespace kestrelfold
