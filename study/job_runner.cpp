#include "study/job_runner.h"

#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <ctime>
#include <iostream>
#include <string>

#include "driver/posix/shell.h"
#include "study/signal_wait.h"

namespace kestrelfold::study {
namespace {

// The runs start with the study's own mask and the default actions of the
// signals it waits for.
pid_t spawn_job(const Job& job, const sigset_t& mask) {
    std::cerr.flush();
    // A line may run two programs one after the other: its shell is no
    // program of the study's, and a signal must reach the one running.
    return spawn_shell(job.command, mask, SignalWait::child_defaults(), true);
}

struct Running {
    pid_t pid;
    std::size_t job;
};

class Runner {
public:
    Runner(std::span<const Job> jobs, const RunnerLimits& limits, Progress& progress)
        : jobs_(jobs), limits_(limits), progress_(progress) {
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            pending_.push_back(i);
            result_.outcomes.push_back({jobs[i].N});
        }
    }

    RunnerResult run() {
        SignalWait signals;
        while (!pending_.empty() || !running_.empty()) {
            if (!result_.interrupted_by) start_what_fits(signals.saved_mask());
            if (running_.empty()) break;
            const int signal = signals.wait(progress_.live() ? 1.0 : 0.0);
            if (signal != 0 && signal != SIGCHLD && !result_.interrupted_by) stop_all(signal);
            reap();
            progress_.tick();
        }
        wait_for_stopped_groups();
        return std::move(result_);
    }

private:
    std::uint64_t need(std::size_t job) const { return jobs_[job].memory; }

    void start_what_fits(const sigset_t& mask) {
        for (;;) {
            std::vector<std::uint64_t> needs;
            for (std::size_t job : pending_) needs.push_back(need(job));
            const std::optional<std::size_t> next = next_job(needs, running_.size(), in_use_, limits_);
            if (!next) return;
            const std::size_t job = pending_[*next];
            pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(*next));
            const pid_t pid = spawn_job(jobs_[job], mask);
            if (pid < 0) {
                progress_.finished(jobs_[job].N);  // outcome stays "not started"
                continue;
            }
            result_.outcomes[job].started = true;
            running_.push_back({pid, job});
            in_use_ += need(job);
            progress_.started(jobs_[job].N);
        }
    }

    void reap() {
        for (auto run = running_.begin(); run != running_.end();) {
            int status = 0;
            const pid_t done = waitpid(run->pid, &status, WNOHANG);
            if (done == 0 || (done < 0 && errno == EINTR)) {
                ++run;
                continue;
            }
            JobOutcome& outcome = result_.outcomes[run->job];
            if (done > 0 && WIFEXITED(status)) outcome.exit_status = WEXITSTATUS(status);
            if (done > 0 && WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
            in_use_ -= need(run->job);
            progress_.finished(jobs_[run->job].N);
            run = running_.erase(run);
        }
    }

    // Only the runs this study started get the signal: each line's process
    // group, its shell and the program it runs.
    void stop_all(int signal) {
        result_.interrupted_by = signal;
        pending_.clear();
        for (const Running& run : running_) {
            kill(-run.pid, signal);
            stopped_groups_.push_back(run.pid);
        }
    }

    // The study waits for its lines' shells; a program a shell ran is no
    // child of the study's, and may outlive its shell by a moment. The study
    // ends only once every stopped group is gone (or a few seconds passed:
    // a program that ignores the signal is left to itself).
    void wait_for_stopped_groups() const {
        constexpr int kLooks = 500;
        const timespec pause{0, 10'000'000};
        for (const pid_t group : stopped_groups_) {
            for (int look = 0; look < kLooks && kill(-group, 0) == 0; ++look) nanosleep(&pause, nullptr);
        }
    }

    std::span<const Job> jobs_;
    RunnerLimits limits_;
    Progress& progress_;
    std::vector<std::size_t> pending_;
    std::vector<Running> running_;
    std::vector<pid_t> stopped_groups_;
    std::uint64_t in_use_ = 0;
    RunnerResult result_;
};

}  // namespace

std::string describe(const JobOutcome& outcome) {
    if (!outcome.started) return "not started";
    if (outcome.signal) return "ended by signal " + std::to_string(outcome.signal);
    return "ended with status " + std::to_string(outcome.exit_status);
}

std::optional<std::size_t> next_job(std::span<const std::uint64_t> pending, std::size_t running,
                                    std::uint64_t in_use, const RunnerLimits& limits) {
    if (running >= static_cast<std::size_t>(limits.jobs)) return std::nullopt;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        if (running == 0 || !limits.memory) return i;
        if (in_use <= *limits.memory && pending[i] <= *limits.memory - in_use) return i;
    }
    return std::nullopt;
}

RunnerResult run_jobs(std::span<const Job> jobs, const RunnerLimits& limits, Progress& progress) {
    return Runner(jobs, limits, progress).run();
}

}  // namespace kestrelfold::study
