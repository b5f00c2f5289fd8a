#include "numerics/relogio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace kestrelfold {
namespace {

// Another test of the process may have started the clock already, so the
// first call is observed in a fresh process that runs this test alone.
TEST(RelogioDeathTest, FirstCallInProcessIsZero) {
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(relogio() == 0.0 && relogio() >= 0.0 ? 0 : 1),
                testing::ExitedWithCode(0), "");
    GTEST_FLAG_SET(death_test_style, style);
}

TEST(Relogio, SecondsThatNeverGoBack) {
    const double start = relogio();
    double previous = start;
    for (int k = 0; k < 1000; ++k) {
        const double now = relogio();
        EXPECT_GE(now, previous);
        previous = now;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const double later = relogio();
    EXPECT_GE(later - start, 0.020);  // seconds, not milliseconds
    EXPECT_LT(later - start, 60.0);
}

}  // namespace
}  // namespace kestrelfold
