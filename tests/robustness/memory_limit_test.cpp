// Fields that the process cannot have: under an address-space limit, and a
// mesh of 2^31 nodes. The run ends with "insufficient virtual memory" and a
// non-zero status before the listing is opened: the directory is left
// exactly as it was, no listing in it.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/available_memory.h"
#include "tests/robustness/fault_runs.h"

namespace kestrelfold::robustness {
namespace {

constexpr rlim_t kAddressSpace = 256ull << 20;

// The initial directory without the stale listing, for the given mesh.
Snapshot start_with(const std::string& N) {
    Snapshot start = initial_directory();
    start.erase(kListing);
    start[kInput] = input_text(kListing, N);
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

TEST(MemoryLimit, FieldsBeyondTheAddressSpaceLimit) {
    if (!address_space_limit_usable()) GTEST_SKIP() << "address-space limits do not work under AddressSanitizer";
    FaultRuns runs;
    // 30 MB per field: the seven fit under the limit, the tridiagonal
    // solver's two work fields would not; 64 MB: the first few fit, not all
    // seven; 800 MB: not even the first.
    for (const std::string N : {"3750000", "8000000", "100000000"}) {
        SCOPED_TRACE("N = " + N);
        const Snapshot start = start_with(N);
        restore(runs.work(), start);
        Limits limits;
        limits.address_space = kAddressSpace;
        expect_insufficient_memory(runs, start, runs.run(limits));
    }
}

// The limit alone leaves room for a normal run: the failure above is the
// fields', not the program's.
TEST(MemoryLimit, SmallRunUnderTheSameLimit) {
    if (!address_space_limit_usable()) GTEST_SKIP() << "address-space limits do not work under AddressSanitizer";
    FaultRuns runs;
    restore(runs.work(), start_with("200"));
    Limits limits;
    limits.address_space = kAddressSpace;
    const Outcome outcome = runs.run(limits);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    EXPECT_TRUE(snapshot_of(runs.work()).contains(kListing));
}

// 2^31 nodes of seven fields need 120 GB at least.
TEST(MemoryLimit, LargestMeshWithoutALimit) {
    const std::optional<std::uint64_t> available = available_memory();
    if (available && *available >= 7ull * 8ull * 2147483648ull) GTEST_SKIP() << "this machine could hold the fields";
    FaultRuns runs;
    const Snapshot start = start_with("2147483647");
    restore(runs.work(), start);
    expect_insufficient_memory(runs, start, runs.run());
}

}  // namespace
}  // namespace kestrelfold::robustness
