#include "driver/floating_point_mode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#if defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace kestrelfold {
namespace {

#if defined(__x86_64__)
// The mode is process-wide; the test puts the register back as it found it so
// that other tests of this binary see the platform's default.
class FloatingPointModeTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = _mm_getcsr(); }
    void TearDown() override { _mm_setcsr(saved_); }
    unsigned saved_ = 0;
};

TEST_F(FloatingPointModeTest, OnlyFlushToZeroAndDenormalsAreZeroAreAdded) {
    set_floating_point_mode();
    EXPECT_EQ(_mm_getcsr(), saved_ | 0x8040u);
}

TEST_F(FloatingPointModeTest, SubnormalsBecomeZeroAndExceptionsStayMasked) {
    volatile double tiny = 1.0e-300;
    volatile double small = 1.0e-10;
    volatile double subnormal = std::numeric_limits<double>::denorm_min() * 4;  // stored before the mode is set
    ASSERT_NE(tiny * small, 0.0);
    set_floating_point_mode();
    EXPECT_EQ(tiny * small, 0.0);          // a subnormal result is flushed
    EXPECT_EQ(subnormal * 1.0e300, 0.0);   // a subnormal operand is read as zero
    volatile double zero = 0.0;
    EXPECT_TRUE(std::isinf(1.0 / zero));   // no trap: the run goes on
}
#else
TEST(FloatingPointMode, CanBeSetOnThisPlatform) {
    set_floating_point_mode();
    volatile double zero = 0.0;
    EXPECT_TRUE(std::isinf(1.0 / zero));
}
#endif

}  // namespace
}  // namespace kestrelfold
