// A fresh mesh study on 10:2:17 (N = 10 to 655360), fonte 0, in a new folder
// each time (none is removed before the end: ext4 searches ever longer for a
// free inode among many just deleted, which would slow down every file made
// after): the runs it starts against its own work.
//   - BM_study_runs/jobs:J: the job list run by the study's runner, J side
//     by side; wall time (the meshes fit many times over in memory);
//   - BM_study_own_work: the plan (folders, input files, job list), then,
//     after the runs (not timed), reading what they left, computing the
//     study and writing the CSV, the text tables and the plot script;
//   - BM_study_plots: gnuplot drawing the two plots from the script, apart:
//     its time is gnuplot's, not the study's.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>

#include "driver/available_memory.h"
#include "study/job_runner.h"
#include "study/mesh_list.h"
#include "study/plan.h"
#include "study/plots.h"
#include "study/report.h"
#include "study/signal_wait.h"

namespace kestrelfold::study {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMeshes = "10:2:17";
constexpr std::int32_t kFonte = 0;

struct StudyScratch {
    fs::path dir;
    StudyScratch() {
        std::string name = (fs::temp_directory_path() / "kestrelfold_study_XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        dir = name;
    }
    ~StudyScratch() { fs::remove_all(dir); }

    int studies = 0;

    StudyOptions options;

    // The plan of a study in a folder of its own.
    Plan plan() {
        options.fonte = kFonte;
        options.meshes = parse_mesh_list(kMeshes);
        options.dir = (dir / ("estudo" + std::to_string(++studies))).string();
        options.quad_reference = false;  // the runs of kestrelfold alone, as measured before the split
        return make_plan(options, {KESTRELFOLD_EXE, std::nullopt});
    }
};

RunnerResult run(const Plan& plan, int jobs) {
    std::ostringstream quiet;
    Progress progress(quiet, false, plan.meshes.size(), 0);
    RunnerResult result = run_jobs(plan.jobs, {jobs, available_memory()}, progress);
    for (const JobOutcome& outcome : result.outcomes) {
        if (outcome.exit_status != 0) throw std::runtime_error("a run failed: " + describe(outcome));
    }
    return result;
}

void BM_study_runs(benchmark::State& state) {
    StudyScratch scratch;
    const int jobs = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        const Plan plan = scratch.plan();
        state.ResumeTiming();
        run(plan, jobs);
    }
}
BENCHMARK(BM_study_runs)->ArgName("jobs")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Counters: the plan's and the report's share, in seconds per study.
void BM_study_own_work(benchmark::State& state) {
    using clock = std::chrono::steady_clock;
    StudyScratch scratch;
    double plan_seconds = 0, report_seconds = 0;
    for (auto _ : state) {
        const clock::time_point start = clock::now();
        const Plan plan = scratch.plan();
        plan_seconds += std::chrono::duration<double>(clock::now() - start).count();
        state.PauseTiming();
        run(plan, 2);
        state.ResumeTiming();
        const clock::time_point report = clock::now();
        const StudyTable table = read_study(plan.dir, scratch.options);
        write_report_files(plan.dir, table);
        report_seconds += std::chrono::duration<double>(clock::now() - report).count();
        if (!table.missing.empty()) throw std::runtime_error("a mesh has no complete run");
    }
    state.counters["plan_s"] = benchmark::Counter(plan_seconds, benchmark::Counter::kAvgIterations);
    state.counters["report_s"] = benchmark::Counter(report_seconds, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_study_own_work)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_study_plots(benchmark::State& state) {
    StudyScratch scratch;
    const Plan plan = scratch.plan();
    run(plan, 2);
    write_report_files(plan.dir, read_study(plan.dir, scratch.options));
    SignalWait signals;  // as the report waits for gnuplot
    for (auto _ : state) {
        const PlotOutcome plots = draw_plots(plan.dir, signals);
        if (plots.result != PlotResult::drawn) {
            state.SkipWithError(plots.message.c_str());
            break;
        }
    }
}
BENCHMARK(BM_study_plots)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kestrelfold::study
