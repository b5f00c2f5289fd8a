#pragma once
// The run as the input step leaves it, for the benchmarks: the field T of
// N + 1 nodes, backed, h = 1/N, and the solver's work memory backed in
// advance.
#include <cstdint>
#include <memory>
#include <new>

#include "driver/run.h"
#include "numerics/field.h"
#include "numerics/field_memory.h"
#include "numerics/mesh.h"
#include "numerics/nodes.h"
#include "numerics/solver_memory_plan.h"

namespace kestrelfold {

inline std::unique_ptr<Run> prepared_run(std::int32_t fonte, std::int32_t N,
                                         const SolverPlan& plan = kSolverPlan) {
    auto run = std::make_unique<Run>();
    run->fonte = fonte;
    run->N = N;
    run->h = element_length(N);
    run->T = Field(node_count(N));
    if (!reserve_field_memory(solver_work_values(node_count(N), plan), 1)) throw std::bad_alloc();
    return run;
}

// The same for kestrelfold-quad, its work memory (P) backed in advance.
inline std::unique_ptr<QuadRun> prepared_quad_run(std::int32_t fonte, std::int32_t N) {
    auto run = std::make_unique<QuadRun>();
    run->fonte = fonte;
    run->N = N;
    run->h = element_length<Quad>(N);
    run->T = QuadField(node_count(N));
    if (!reserve_field_memory(solver_work_doubles<Quad>(node_count(N)), 1)) throw std::bad_alloc();
    return run;
}

}  // namespace kestrelfold
