// Speed of the record layer: the solution row that the listing and the plot
// data file repeat once per listed node, and the long E40.32 field.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "output/field_editors.h"
#include "output/formatted_write.h"
#include "output/layout.h"
#include "output/units.h"

namespace kestrelfold {
namespace {

// Values with all 15 significant digits in use, as the solution fields have.
double node_value(std::int64_t i) { return static_cast<double>(i) / 7.0 + 1e-3 / static_cast<double>(i + 1); }

void BM_SolutionRowToFile(benchmark::State& state) {
    static const Layout row = Layout::parse("I8, 4(1P, E23.14)");
    std::string dir = (std::filesystem::temp_directory_path() / "kestrelfold_bench_XXXXXX").string();
    if (!::mkdtemp(dir.data())) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    const std::string path = dir + "/Kestrelfold_T.dat";
    auto unit = std::make_unique<Unit>(11, path);
    std::int32_t i = 0;
    for (auto _ : state) {
        const double x = node_value(i);
        write_formatted(*unit, row, {i, x, x * 0.5, x * 0.25, x * 0.25 - x * 0.5});
        // Keep the file small: a fresh unit starts it again from its first record.
        if (++i == 1'000'000) {
            state.PauseTiming();
            unit->close();
            unit = std::make_unique<Unit>(11, path);
            i = 0;
            state.ResumeTiming();
        }
    }
    unit->close();
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * 102);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SolutionRowToFile);

// One E field under 1P: E40.32 (the extrapolation data file) and E23.14
// (every table row), width and digits as the benchmark's arguments.
void BM_ScientificField(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int d = static_cast<int>(state.range(1));
    char field[40];
    std::int64_t i = 0;
    for (auto _ : state) {
        edit_scientific(node_value(i++), w, d, 1, field);
        benchmark::DoNotOptimize(field);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScientificField)->Args({40, 32})->Args({23, 14});

}  // namespace
}  // namespace kestrelfold
