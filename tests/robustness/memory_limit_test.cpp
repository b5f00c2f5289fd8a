// Memory that the process cannot have: under an address-space limit, and a
// mesh of 2^31 nodes on a machine with less than the 17 GB it needs. The
// run ends with "insufficient virtual memory" and a non-zero status before
// the listing is opened: the directory is left exactly as it was, no
// listing in it. A mesh whose memory fits runs to its end under the same
// limit.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "driver/available_memory.h"
#include "numerics/run_memory.h"
#include "tests/robustness/fault_runs.h"

namespace kestrelfold::robustness {
namespace {

constexpr rlim_t kAddressSpace = 256ull << 20;

// The initial directory without the stale listing, for the given mesh.
Snapshot start_with(const std::string& N, const char* tables = "1") {
    Snapshot start = initial_directory();
    start.erase(kListing);
    start[kInput] = input_text(kListing, N, tables);
    return start;
}

void expect_insufficient_memory(const FaultRuns& runs, const Snapshot& start, const Outcome& outcome) {
    EXPECT_GT(outcome.status, 0);
    EXPECT_EQ(one_message_problem(outcome.err, "insufficient virtual memory"), "");
    EXPECT_EQ(difference(start, snapshot_of(runs.work())), "");
}

// The AddressSanitizer runtime reserves terabytes of address space at start,
// so an instrumented program cannot run under an address-space limit at all.
bool address_space_limit_usable() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    return true;
#endif
}

Limits address_space_limit() {
    Limits limits;
    limits.address_space = kAddressSpace;
    return limits;
}

// About 8 bytes a node: 2^25 elements need just over the 256 MiB of the
// limit, 4·10^7 need more for the solution alone, 10^8 three times the
// limit, 2^31 - 1 sixty times (in binary128, 32 bytes a node, four times
// as much each).
TEST(MemoryLimit, MemoryBeyondTheAddressSpaceLimit) {
    if (!address_space_limit_usable()) GTEST_SKIP() << "address-space limits do not work under AddressSanitizer";
    EXPECT_GT(run_memory_bytes<ProgramReal>(33554432), kAddressSpace);
    FaultRuns runs;
    for (const std::string N : {"33554432", "40000000", "100000000", "2147483647"}) {
        SCOPED_TRACE("N = " + N);
        const Snapshot start = start_with(N, "0");
        restore(runs.work(), start);
        expect_insufficient_memory(runs, start, runs.run(address_space_limit()));
    }
}

// Under the same limit, a small run with every table, and a mesh whose
// memory lies 27 MiB under the limit (the process's own mappings and the
// unit buffers take about 10 MiB of that; 3·10^7 elements in double,
// 7·10^6 in binary128), both run to their end: the refusals above are the
// mesh's, not the program's.
TEST(MemoryLimit, RunsThatFitUnderTheSameLimit) {
    if (!address_space_limit_usable()) GTEST_SKIP() << "address-space limits do not work under AddressSanitizer";
    const char* fitting = sizeof(ProgramReal) == sizeof(double) ? "30000000" : "7000000";
    EXPECT_GT(kAddressSpace - run_memory_bytes<ProgramReal>(std::stoi(fitting)), 26u << 20);
    FaultRuns runs;
    for (const auto& [N, tables] : {std::pair{"200", "1"}, std::pair{fitting, "0"}}) {
        SCOPED_TRACE(std::string("N = ") + N);
        restore(runs.work(), start_with(N, tables));
        const Outcome outcome = runs.run(address_space_limit());
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "");
        EXPECT_TRUE(snapshot_of(runs.work()).contains(kListing));
    }
}

// 2^31 nodes need 17 GB: on a machine with less, the run is refused without
// a limit of its own.
TEST(MemoryLimit, LargestMeshWithoutALimit) {
    const std::optional<std::uint64_t> available = available_memory();
    if (available && *available >= run_memory_bytes<ProgramReal>(2147483647)) {
        GTEST_SKIP() << "this machine could hold the run";
    }
    FaultRuns runs;
    const Snapshot start = start_with("2147483647", "0");
    restore(runs.work(), start);
    expect_insufficient_memory(runs, start, runs.run());
}

}  // namespace
}  // namespace kestrelfold::robustness
