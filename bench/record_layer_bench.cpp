// Speed of the record layer: fields by descriptor, the raw decimal
// conversion that an E23.14 field cannot do without (the yardstick for the
// whole layer: a run's time divided by its E fields is compared with it),
// and the solution row that the listing and the plot data file repeat once
// per listed node.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
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

// The reference: std::to_chars in its precision form, the exact digits of
// one E23.14 field (15 significant digits), and nothing else.
void BM_ToCharsE23_14(benchmark::State& state) {
    char text[32];
    std::int64_t i = 0;
    for (auto _ : state) {
        const auto result = std::to_chars(text, text + sizeof text, std::fabs(node_value(i++)),
                                          std::chars_format::scientific, 14);
        benchmark::DoNotOptimize(result.ptr);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ToCharsE23_14);

// The shortest round-trip form, from which most E fields now take their digits.
void BM_ToCharsShortest(benchmark::State& state) {
    char text[32];
    std::int64_t i = 0;
    for (auto _ : state) {
        const auto result = std::to_chars(text, text + sizeof text, node_value(i++), std::chars_format::scientific);
        benchmark::DoNotOptimize(result.ptr);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ToCharsShortest);

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

// E23.14 over the values of a run's tables with fonte = 1 and N = 10^6: the
// coordinates i/N (short decimals), the coefficients 1 and 2, the zero source
// terms, and full-length solution values.
void BM_ScientificFieldOfTableValues(benchmark::State& state) {
    char field[23];
    std::int64_t i = 0;
    for (auto _ : state) {
        const double h = 1e-6;
        double value = 0;
        switch (i % 4) {
            case 0: value = static_cast<double>(i) * h; break;
            case 1: value = (i & 4) ? 1.0 : 2.0; break;
            case 2: value = 0.0; break;
            default: value = node_value(i); break;
        }
        ++i;
        edit_scientific(value, 23, 14, 1, field);
        benchmark::DoNotOptimize(field);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScientificFieldOfTableValues);

void BM_IntegerField(benchmark::State& state) {
    char field[8];
    std::int32_t i = 0;
    for (auto _ : state) {
        edit_integer(i++, 8, field);
        benchmark::DoNotOptimize(field);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_IntegerField);

// F14.3, as the processing time is written.
void BM_FixedField(benchmark::State& state) {
    char field[14];
    std::int64_t i = 0;
    for (auto _ : state) {
        edit_fixed(node_value(i++), 14, 3, field);
        benchmark::DoNotOptimize(field);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FixedField);

// A50 with a shorter text (right-justified) and A90 with a text cut to it.
void BM_TextField(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const std::string text(static_cast<std::size_t>(state.range(1)), 'x');
    char field[128];
    for (auto _ : state) {
        edit_text(text, w, field);
        benchmark::DoNotOptimize(field);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextField)->Args({50, 9})->Args({90, 120});

// Rows written to a file in a fresh temporary folder; the file is started
// again every million rows to keep it small.
template <class WriteRow>
void rows_to_file(benchmark::State& state, WriteRow write_row, std::int64_t bytes_per_row) {
    std::string dir = (std::filesystem::temp_directory_path() / "kestrelfold_bench_XXXXXX").string();
    if (!::mkdtemp(dir.data())) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    const std::string path = dir + "/Kestrelfold_T.dat";
    auto unit = std::make_unique<Unit>(11, path);
    std::int32_t i = 0;
    for (auto _ : state) {
        write_row(*unit, i);
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
    state.SetBytesProcessed(state.iterations() * bytes_per_row);
    std::filesystem::remove_all(dir);
}

// I8, 4(1P, E23.14): 100 characters and CR LF.
void BM_SolutionRowToFile(benchmark::State& state) {
    static const Layout row = Layout::parse("I8, 4(1P, E23.14)");
    rows_to_file(state, [](Unit& unit, std::int32_t i) {
        const double x = node_value(i);
        write_formatted(unit, row, {i, x, x * 0.5, x * 0.25, x * 0.25 - x * 0.5});
    }, 102);
}
BENCHMARK(BM_SolutionRowToFile);

// I8, 5(1P, E23.14) of the coefficient table: 123 characters and CR LF.
void BM_CoefficientRowToFile(benchmark::State& state) {
    static const Layout row = Layout::parse("I8, 5(1P, E23.14)");
    rows_to_file(state, [](Unit& unit, std::int32_t i) {
        write_formatted(unit, row, {i, static_cast<double>(i) * 1e-6, 1.0, 2.0, 1.0, 0.0});
    }, 125);
}
BENCHMARK(BM_CoefficientRowToFile);

}  // namespace
}  // namespace kestrelfold
