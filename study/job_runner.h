#pragma once
// The study's own runner of a job list: each line through /bin/sh, at most
// J side by side, the finest (and longest) meshes first, and never more runs
// at once than the memory available holds: the sum of what the running
// meshes need, by the figure the program itself checks, stays within what
// the machine could give when the runner started.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "study/plan.h"
#include "study/progress.h"

namespace kestrelfold::study {

struct JobOutcome {
    std::int32_t N;
    bool started = false;
    int exit_status = -1;  // when it exited
    int signal = 0;        // when a signal ended it
};

// How a job ended, for a message: "status 1", "signal 9", "not started".
std::string describe(const JobOutcome& outcome);

struct RunnerLimits {
    int jobs = 1;
    std::optional<std::uint64_t> memory;  // bytes; nothing: unknown, not limited
};

// The next job to start: the first of `pending` (in list order) whose need
// fits beside the `in_use` bytes of the `running` jobs. A job that fits in
// no memory at all starts when nothing else runs, and the program's own
// check has the last word on it. Nothing when J runs are going or no job fits.
std::optional<std::size_t> next_job(std::span<const std::uint64_t> pending, std::size_t running,
                                    std::uint64_t in_use, const RunnerLimits& limits);

struct RunnerResult {
    std::vector<JobOutcome> outcomes;  // in the order of the job list
    int interrupted_by = 0;            // the signal that stopped the study, 0 when none
};

// Runs the jobs to their end. SIGINT, SIGTERM or SIGHUP stop the study: the
// runs going on get the same signal, are waited for, and no further job
// starts; the signal is then reported, not acted on (the caller ends).
RunnerResult run_jobs(std::span<const Job> jobs, const RunnerLimits& limits, Progress& progress);

}  // namespace kestrelfold::study
