// The memory figures that Windows gives, and the check made from them.
#include "driver/available_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "output/fatal_error.h"

namespace kestrelfold {
namespace {

TEST(WindowsAvailableMemory, FiguresOfThisMachineAndTheCheck) {
    const auto available = available_memory();
    const auto headroom = address_space_headroom();
    ASSERT_TRUE(available.has_value());
    ASSERT_TRUE(headroom.has_value());
    EXPECT_GT(*available, std::uint64_t{64} << 20);
    EXPECT_GT(*headroom, std::uint64_t{1} << 32);  // the user part of a 64-bit address space
    EXPECT_NO_THROW(require_memory(std::uint64_t{1} << 20));
    // Twice what the machine can give: the figure moves between readings.
    try {
        require_memory(2 * *available);
        ADD_FAILURE() << "no FatalError";
    } catch (const FatalError& error) {
        EXPECT_EQ(std::string(error.what()), kInsufficientMemory);
    }
}

}  // namespace
}  // namespace kestrelfold
