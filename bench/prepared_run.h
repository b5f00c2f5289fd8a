#pragma once
// The run as the input step leaves it, for the benchmarks: seven fields of
// N + 1 nodes, backed, the mesh x_i = i*h with x_N = 1, and the solver's
// work fields backed in advance.
#include <cstdint>
#include <memory>
#include <new>

#include "driver/run.h"
#include "numerics/field.h"
#include "numerics/field_memory.h"

namespace kestrelfold {

inline std::unique_ptr<Run> prepared_run(std::int32_t fonte, std::int32_t N) {
    auto run = std::make_unique<Run>();
    run->fonte = fonte;
    run->N = N;
    run->h = 1.0 / N;
    const std::size_t nodes = static_cast<std::size_t>(N) + 1;
    for (Field* field : {&run->T, &run->Te, &run->x, &run->aw, &run->aP, &run->ae, &run->bP}) {
        *field = Field(nodes);
    }
    run->x[0] = 0;
    for (std::int32_t i = 1; i < N; ++i) run->x[i] = i * run->h;
    run->x[N] = 1;
    if (!reserve_field_memory(nodes, 2)) throw std::bad_alloc();
    return run;
}

}  // namespace kestrelfold
