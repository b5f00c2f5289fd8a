#include "numerics/fixed_point.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrelfold {
namespace {

constexpr int kLimbs = 4;  // 128 binary places

// The value in units of 2^-64: the top 64 of the 128 places.
std::uint64_t top_bits(const FixedPoint& value) { return value.ulps_shifted_right(64); }

FixedPoint of(double value) { return FixedPoint::magnitude_of(value, kLimbs); }

TEST(FixedPoint, KnownAnswers) {
    FixedPoint third = FixedPoint::power_of_two(kLimbs, 0);
    third /= 3;
    FixedPoint thrice = third;
    thrice *= 3;
    FixedPoint one = FixedPoint::power_of_two(kLimbs, 0);
    one.subtract_ulps(1);
    EXPECT_FALSE(thrice < one || one < thrice) << "1/3 truncated, times 3, is 1 - 1 ulp";

    EXPECT_EQ(top_bits(of(0.75) * of(0.5)), std::uint64_t{3} << 61);  // 0.375 exactly
    FixedPoint sum = of(1.5);
    sum += of(2.25);
    EXPECT_EQ(sum.bit_length(), 2 + 128);  // 3.75 < 4
    sum -= of(3.75);
    EXPECT_TRUE(sum.is_zero());
    EXPECT_EQ(of(0x1p-100).bit_length(), 29);
    EXPECT_EQ(of(-2.5).truncated_to(2).ulps_shifted_right(63), 5u);  // the magnitude, at 64 places
}

struct Refusal {
    std::string what;
    std::function<void()> operation;
};

TEST(FixedPoint, RefusesWhatItCannotHold) {
    const std::vector<Refusal> refusals = {
        {"2^32", [] { of(0x1p32); }},
        {"a place below the last", [] { of(0x1p-129); }},
        {"2^-129", [] { FixedPoint::power_of_two(kLimbs, -129); }},
        {"a sum of 2^32", [] { FixedPoint a = of(0x1p31); a += of(0x1p31); }},
        {"a difference below zero", [] { FixedPoint a = of(1); a -= of(2); }},
        {"a product of 2^32", [] { FixedPoint a = of(0x1p16); a *= 0x10000u; }},
        {"a product of 2^32 of two", [] { (void)(of(0x1p16) * of(0x1p16)); }},
        {"a division by zero", [] { FixedPoint a = of(1); a /= 0; }},
        {"precisions that differ", [] { FixedPoint a = of(1); a += FixedPoint(2); }},
        {"more than 64 bits", [] { (void)of(1).ulps_shifted_right(10); }},
    };
    for (const Refusal& refusal : refusals) {
        EXPECT_ANY_THROW(refusal.operation()) << refusal.what;
    }
}

}  // namespace
}  // namespace kestrelfold
