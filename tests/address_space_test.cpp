#include "driver/posix/address_space.h"

#include "driver/available_memory.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace kestrelfold {
namespace {

TEST(AddressSpace, ParsesVmSize) {
    struct Case {
        const char* name;
        std::string status;
        std::optional<std::uint64_t> bytes;
    };
    const std::vector<Case> cases = {
        {"among other lines", "Name:\tkestrelfold\nVmPeak:\t   99 kB\nVmSize:\t    2048 kB\nVmLck:\t 0 kB\n", 2048u * 1024u},
        {"first line, no line end", "VmSize: 1 kB", 1024u},
        {"key must match whole", "VmSizeX: 5 kB\nVmSize: 3 kB\n", 3072u},
        {"missing (a kernel thread)", "Name:\tkthreadd\nState:\tS\n", std::nullopt},
        {"garbled value", "VmSize:\tmany kB\n", std::nullopt},
        {"unit other than kB", "VmSize:\t12 MB\n", std::nullopt},
        {"too large for bytes", "VmSize:\t18446744073709551615 kB\n", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parse_address_space_in_use(c.status), c.bytes);
    }
}

// In a child that sets a limit 100 MiB above what it maps: the room lies
// between that less the run's reserve and that; none without a limit.
TEST(AddressSpace, HeadroomUnderALimit) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the AddressSanitizer runtime maps terabytes of shadow memory";
#endif
    rlimit current{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &current), 0);
    if (current.rlim_cur != RLIM_INFINITY) GTEST_SKIP() << "the tests already run under an address-space limit";
    EXPECT_EQ(address_space_headroom(), std::nullopt);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        constexpr std::uint64_t kRoom = 100u << 20;
        std::ifstream file("/proc/self/status");
        const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        const auto in_use = parse_address_space_in_use(text);
        if (!in_use) ::_exit(2);
        const rlimit limit{*in_use + kRoom, *in_use + kRoom};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(3);
        const auto room = address_space_headroom();
        ::_exit(room && *room <= kRoom && *room >= kRoom - (8u << 20) ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace kestrelfold
