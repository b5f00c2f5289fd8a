// The study's runner: which job starts next, and real job lines run through
// /bin/sh, side by side within J and within memory, finest first.
#include "study/job_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "numerics/run_memory.h"
#include "tests/test_files.h"

namespace kestrelfold::study {
namespace {

using namespace kestrelfold::test_support;

struct NextCase {
    const char* name;
    std::vector<std::uint64_t> pending;
    std::size_t running;
    std::uint64_t in_use;
    RunnerLimits limits;
    std::optional<std::size_t> next;
};

TEST(NextJob, FinestFirstWithinJobsAndMemory) {
    const NextCase cases[] = {
        {"the first of the list", {50, 20, 10}, 0, 0, {2, 100}, 0},
        {"J runs going: none", {50, 20, 10}, 2, 30, {2, 100}, std::nullopt},
        {"the first that fits beside the others", {50, 20, 10}, 1, 60, {3, 100}, 1},
        {"exactly the memory left fits", {40, 20}, 1, 60, {2, 100}, 0},
        {"nothing fits: wait", {50, 45}, 1, 60, {3, 100}, std::nullopt},
        {"too large for all memory: alone", {500, 20}, 0, 0, {2, 100}, 0},
        {"too large for all memory: not beside others", {500}, 1, 10, {2, 100}, std::nullopt},
        {"memory unknown: only J counts", {500, 400}, 1, 900, {2, std::nullopt}, 0},
        {"no job left", {}, 0, 0, {2, 100}, std::nullopt},
        {"in use beyond the limit (the machine changed)", {1}, 1, 200, {4, 100}, std::nullopt},
    };
    for (const NextCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(next_job(c.pending, c.running, c.in_use, c.limits), c.next);
    }
}

// Each job logs "start N" and "end N" around a short sleep, and exits with a
// status of its own.
std::vector<Job> logging_jobs(const TempDir& dir, const std::vector<std::pair<std::int32_t, int>>& meshes) {
    std::vector<Job> jobs;
    const std::string log = dir.file("log");
    for (const auto& [N, status] : meshes) {
        jobs.push_back({N,
                        "echo start " + std::to_string(N) + " >>'" + log + "'; sleep 0.2; echo end " +
                            std::to_string(N) + " >>'" + log + "'; exit " + std::to_string(status),
                        run_memory_bytes(N)});
    }
    return jobs;
}

// The largest number of jobs between their start and end at one time.
int most_at_once(const std::vector<std::string>& log) {
    int running = 0, most = 0;
    for (const std::string& line : log) {
        running += line.starts_with("start") ? 1 : -1;
        most = std::max(most, running);
    }
    return most;
}

std::vector<std::string> starts(const std::vector<std::string>& log) {
    std::vector<std::string> order;
    for (const std::string& line : log) {
        if (line.starts_with("start")) order.push_back(line.substr(6));
    }
    return order;
}

TEST(RunJobs, SideBySideWithinJ) {
    TempDir dir;
    const auto jobs = logging_jobs(dir, {{40, 0}, {30, 0}, {20, 3}, {10, 0}});
    std::ostringstream quiet;
    Progress progress(quiet, false, 4, 0);
    const RunnerResult result = run_jobs(jobs, {2, std::nullopt}, progress);
    const auto log = read_lines(dir.path() / "log");
    EXPECT_EQ(most_at_once(log), 2);
    // Two start at once, in an order the shells decide; the finest go first.
    std::vector<std::string> order = starts(log);
    ASSERT_EQ(order.size(), 4u);
    std::sort(order.begin(), order.begin() + 2);
    std::sort(order.begin() + 2, order.end());
    EXPECT_EQ(order, (std::vector<std::string>{"30", "40", "10", "20"}));
    ASSERT_EQ(result.outcomes.size(), 4u);
    EXPECT_EQ(result.interrupted_by, 0);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(result.outcomes[i].started);
        EXPECT_EQ(result.outcomes[i].N, jobs[i].N);
        EXPECT_EQ(result.outcomes[i].exit_status, i == 2 ? 3 : 0);
    }
    EXPECT_EQ(describe(result.outcomes[2]), "ended with status 3");
    EXPECT_EQ(quiet.str(), "") << "no progress line off a terminal";
}

// Memory for 2500 and 1400 side by side: the finest mesh runs alone, then
// 2500 with 1400 beside it (1500 does not fit there), then 1500.
TEST(RunJobs, NeverMoreAtOnceThanMemoryHolds) {
    TempDir dir;
    const auto jobs = logging_jobs(dir, {{4000, 0}, {2500, 0}, {1500, 0}, {1400, 0}});
    std::ostringstream quiet;
    Progress progress(quiet, false, 4, 0);
    run_jobs(jobs, {4, run_memory_bytes(2500) + run_memory_bytes(1400)}, progress);
    const auto log = read_lines(dir.path() / "log");
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[0], "start 4000");
    EXPECT_EQ(log[1], "end 4000") << "the finest mesh ran beside another";
    std::vector<std::string> order = starts(log);  // 2500 and 1400 start at once
    ASSERT_EQ(order.size(), 4u);
    std::sort(order.begin() + 1, order.begin() + 3);
    EXPECT_EQ(order, (std::vector<std::string>{"4000", "1400", "2500", "1500"}));
    EXPECT_EQ(most_at_once(log), 2);
}

TEST(RunJobs, ASignalEndingAJobIsReported) {
    TempDir dir;
    const std::vector<Job> jobs = {{10, "kill -KILL $$"}, {20, "exit 0"}};
    std::ostringstream quiet;
    Progress progress(quiet, false, 2, 0);
    const RunnerResult result = run_jobs(jobs, {1, std::nullopt}, progress);
    EXPECT_EQ(result.outcomes[0].signal, 9);
    EXPECT_EQ(describe(result.outcomes[0]), "ended by signal 9");
    EXPECT_EQ(result.outcomes[1].exit_status, 0);
}

// On a terminal the line shows the meshes done, those running and the time.
TEST(Progress, LiveLine) {
    std::ostringstream out;
    Progress progress(out, true, 5, 1);
    progress.started(640);
    progress.started(1280);
    EXPECT_NE(out.str().rfind("\rkestrelfold-study: 1 of 5 meshes done; running N = 1280, 640; 0:00\x1b[K"),
              std::string::npos)
        << out.str();
    progress.finished(1280);
    EXPECT_NE(out.str().rfind("2 of 5 meshes done; running N = 640; 0:0"), std::string::npos) << out.str();
    progress.close();
    EXPECT_TRUE(out.str().ends_with("\r\x1b[K"));
}

}  // namespace
}  // namespace kestrelfold::study
