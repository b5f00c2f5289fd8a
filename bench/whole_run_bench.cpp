// Whole runs of the program, from process start to exit, in a scratch
// folder with stand-in notepad and wgnuplot that return at once:
// The runs take fonte 0, whose values use all their digits.
//   - N = 10^8 (or KESTRELFOLD_BENCH_N) without tables: the size of a
//     round-off study, bound by the solution run and by backing 800 MB;
//   - N = 10^6 with every table and the plot data (coef = sol = graf = 1,
//     freq = 1): bound by the decimal conversion of its E fields; in an
//     empty folder, and over the files of the same run made just before.
// Counters: the process's peak resident memory per node, its CPU time, the
// processing time the listing reports, and for the listing run the number of E fields
// written (counted in the files after the first run), for division by the
// cost of one conversion.
//
// The program run is the one built beside the benchmarks, or the one named
// by KESTRELFOLD_BENCH_PROGRAM: the performance table measures the build of
// an earlier layout through it, in the same session.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/prepared_run.h"
#include "driver/run.h"
#include "numerics/coeficientes.h"
#include "numerics/mesh.h"
#include "numerics/solucao.h"
#include "numerics/solucao_analitica.h"

namespace kestrelfold {
namespace {

namespace fs = std::filesystem;

struct Scratch {
    fs::path dir;
    Scratch() {
        std::string name = (fs::temp_directory_path() / "kestrelfold_whole_run_XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        dir = name;
    }
    ~Scratch() { fs::remove_all(dir); }
};

void write_file(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

void prepare(const Scratch& scratch, std::int64_t N, bool tables) {
    const char* on = tables ? "1" : "0";
    write_file(scratch.dir / "Kestrelfold.in", std::string("saida.txt\n0\n") + std::to_string(N) + "\n" + on +
                                                   "\n" + on + "\n" + on + "\n1\n'desempenho'\n");
    for (const char* script : {"Kestrelfold_T.gnu", "Kestrelfold_E.gnu"}) {
        fs::copy_file(fs::path(KESTRELFOLD_SOURCE_DIR) / "examples" / script, scratch.dir / script);
    }
    fs::create_directory(scratch.dir / "bin");
    for (const char* adapter : {"notepad", "wgnuplot"}) {
        write_file(scratch.dir / "bin" / adapter, "#!/bin/sh\nexit 0\n");
        fs::permissions(scratch.dir / "bin" / adapter, fs::perms::owner_all);
    }
}

std::string program() {
    const char* other = std::getenv("KESTRELFOLD_BENCH_PROGRAM");
    return other != nullptr && *other != '\0' ? other : KESTRELFOLD_EXE;
}

struct Usage {
    std::int64_t peak_bytes;  // the process's largest resident set
    double cpu_seconds;       // user and system time, its threads included
};

// Runs the program in the scratch folder; what it used, or a peak of -1 when
// it did not exit with status 0.
Usage run_program(const Scratch& scratch) {
    const std::string exe = program();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(scratch.dir.c_str()) != 0) ::_exit(127);
        const std::string path = "PATH=" + (scratch.dir / "bin").string() + ":/usr/bin:/bin";
        char* const argv[] = {const_cast<char*>(exe.c_str()), nullptr};
        char* const envp[] = {const_cast<char*>(path.c_str()), nullptr};
        ::execve(exe.c_str(), argv, envp);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child) return {-1, 0};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {-1, 0};
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
    return {static_cast<std::int64_t>(usage.ru_maxrss) * 1024, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

std::string file_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The processing time on the listing: the F14.3 field before its label.
double processing_time(const fs::path& listing) {
    const std::string text = file_text(listing);
    const std::size_t label = text.rfind(" = tempo de processamento (segundos)");
    if (label == std::string::npos || label < 14) return -1;
    return std::strtod(text.substr(label - 14, 14).c_str(), nullptr);
}

// E fields end in an exponent: E+dd or E-dd.
std::int64_t count_E_fields(const fs::path& path) {
    const std::string text = file_text(path);
    std::int64_t count = 0;
    for (std::size_t i = 0; i + 3 < text.size(); ++i) {
        count += text[i] == 'E' && (text[i + 1] == '+' || text[i + 1] == '-') && text[i + 2] >= '0' &&
                 text[i + 2] <= '9' && text[i + 3] >= '0' && text[i + 3] <= '9';
    }
    return count;
}

void BM_whole_run(benchmark::State& state) {
    const std::int64_t N = state.range(0);
    const bool tables = state.range(1) != 0;
    Scratch scratch;
    prepare(scratch, N, tables);
    // A study runs mesh after mesh in one folder: each run first cuts the
    // files of the one before, and freeing their cached pages takes time.
    if (state.range(2) != 0 && run_program(scratch).peak_bytes < 0) {
        state.SkipWithError("the program failed");
        return;
    }
    Usage usage{};
    for (auto _ : state) {
        usage = run_program(scratch);
        if (usage.peak_bytes < 0) {
            state.SkipWithError("the program failed");
            return;
        }
    }
    const auto peak = static_cast<double>(usage.peak_bytes);
    state.counters["bytes_per_node"] = peak / static_cast<double>(N + 1);
    state.counters["peak_MiB"] = peak / (1 << 20);
    state.counters["process_cpu_s"] = usage.cpu_seconds;
    state.counters["tcpu_s"] = processing_time(scratch.dir / "saida.txt");
    // Every row gets the same counters, so that the CSV report keeps them all.
    state.counters["E_fields"] = static_cast<double>(count_E_fields(scratch.dir / "saida.txt") +
                                                     count_E_fields(scratch.dir / "Kestrelfold_T.dat"));
}

// The yardstick of the listing run: std::to_chars in its precision form (the
// exact 15 significant digits of an E23.14 field, nothing else) on the very
// values that run writes, node after node: x, aw, aP, ae, bP in the
// coefficient table, then x, Te, T and Te - T in the solution table and
// again in the plot data.
void BM_ToCharsOfTableValues(benchmark::State& state) {
    const std::int32_t N = 1'000'000;
    const auto prepared = prepared_run(0, N);
    Run& run = *prepared;
    solucao(run);
    std::vector<double> values;
    values.reserve(13 * (static_cast<std::size_t>(N) + 1));
    for (std::int32_t i = 0; i <= N; ++i) {
        const double x = x_no(N, run.h, i);
        const Linha linha = linha_no(run.fonte, N, run.h, i);
        const double Te = Te_no(run.fonte, N, i);
        for (const double v : {x, linha.aw, linha.aP, linha.ae, linha.bP}) values.push_back(v);
        for (int copy = 0; copy < 2; ++copy) {
            for (const double v : {x, Te, run.T[i], Te - run.T[i]}) values.push_back(v);
        }
    }
    char text[32];
    std::size_t next = 0;
    for (auto _ : state) {
        const auto result =
            std::to_chars(text, text + sizeof text, std::fabs(values[next]), std::chars_format::scientific, 14);
        benchmark::DoNotOptimize(result.ptr);
        benchmark::ClobberMemory();
        if (++next == values.size()) next = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ToCharsOfTableValues)->MinTime(1.0);

std::int64_t requested_N() {
    const char* text = std::getenv("KESTRELFOLD_BENCH_N");
    const long long N = text ? std::atoll(text) : 0;
    return N >= 2 && N <= 2'147'483'647LL ? N : 100'000'000;
}

const bool kRegistered = [] {
    benchmark::RegisterBenchmark("BM_whole_run", BM_whole_run)
        ->Args({requested_N(), 0, 0})
        ->Args({1'000'000, 1, 0})
        ->Args({1'000'000, 1, 1})
        ->ArgNames({"N", "tables", "over_last_run"})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
    return true;
}();

}  // namespace
}  // namespace kestrelfold
