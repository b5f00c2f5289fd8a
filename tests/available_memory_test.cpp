#include "driver/available_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrelfold {
namespace {

TEST(AvailableMemory, ParsesMemAvailablePlusSwapFree) {
    struct Case {
        const char* name;
        std::string meminfo;
        std::optional<std::uint64_t> bytes;
    };
    const std::vector<Case> cases = {
        {"both", "MemTotal:       24683772 kB\nMemFree:  1 kB\nMemAvailable:   1000 kB\nSwapTotal: 99 kB\nSwapFree:  24 kB\n",
         1024u * 1024u},
        {"no swap line", "MemAvailable: 2 kB\n", 2048u},
        {"last line without line end", "SwapFree: 1 kB\nMemAvailable: 3 kB", 4096u},
        {"key must match whole", "MemAvailableX: 5 kB\nMemAvailable: 1 kB\n", 1024u},
        {"no MemAvailable (old kernels)", "MemTotal: 100 kB\nMemFree: 50 kB\n", std::nullopt},
        {"garbled value", "MemAvailable: lots\n", std::nullopt},
        {"empty", "", std::nullopt},
        {"huge values saturate", "MemAvailable: 18446744073709551615 kB\nSwapFree: 5 kB\n", UINT64_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parse_available_memory(c.meminfo), c.bytes);
    }
}

TEST(AvailableMemory, ThisMachineReportsSome) {
    const auto bytes = available_memory();
    if (!bytes) GTEST_SKIP() << "no /proc/meminfo";
    EXPECT_GT(*bytes, 0u);
}

}  // namespace
}  // namespace kestrelfold
