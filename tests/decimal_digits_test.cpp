#include "output/decimal_digits.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>

namespace kestrelfold {
namespace {

TEST(ScientificDigits, GivesTheExactDigitsOfTheBinaryValue) {
    DigitBuffer buffer;
    const struct {
        double value;
        int significant;
        std::string digits;
        int exponent;
    } cases[] = {
        {0.1, 33, "100000000000000005551115123125783", -1},
        {0.1, 60, "100000000000000005551115123125782702118158340454101562500000", -1},
        {1.0 / 3.0, 33, "333333333333333314829616256247391", -1},
        {9.999999999999999, 15, "100000000000000", 1},
        {0.125, 2, "12", -1},
        {0.375, 2, "38", -1},
        {-2.5e10, 1, "2", 10},
        {0.0, 3, "000", 0},
    };
    for (const auto& c : cases) {
        const ScientificDigits got = scientific_digits(c.value, c.significant, buffer);
        EXPECT_EQ(std::string(got.digits) + std::string(static_cast<std::size_t>(got.trailing_zeros), '0'), c.digits)
            << c.value;
        EXPECT_EQ(got.exponent, c.exponent) << c.value;
    }
}

TEST(ScientificDigits, CountsDigitsBeyondTheExactExpansionAsZeros) {
    DigitBuffer buffer;
    const ScientificDigits got = scientific_digits(0.1, kMaxExactSignificant + 20, buffer);
    EXPECT_EQ(got.trailing_zeros, 20);
    EXPECT_EQ(got.digits.size(), static_cast<std::size_t>(kMaxExactSignificant));
    EXPECT_EQ(got.digits.substr(50), std::string(kMaxExactSignificant - 50, '0').replace(0, 5, "15625"));
}

TEST(FixedDigits, SplitsIntegerAndFraction) {
    DigitBuffer buffer;
    const struct {
        double value;
        int decimals;
        std::string integer;
        std::string fraction;
    } cases[] = {
        {0.0625, 3, "0", "062"},
        {0.1875, 3, "0", "188"},
        {-12.3456789, 3, "12", "346"},
        {2.5, 0, "2", ""},
        {1e15, 1, "1000000000000000", "0"},
    };
    for (const auto& c : cases) {
        const FixedDigits got = fixed_digits(c.value, c.decimals, buffer);
        EXPECT_EQ(got.integer, c.integer) << c.value;
        EXPECT_EQ(got.fraction, c.fraction) << c.value;
        EXPECT_EQ(got.trailing_zeros, 0);
    }
}

TEST(FixedDigits, ReachesTheSmallestSubnormalAndTheLargestValue) {
    DigitBuffer buffer;
    const FixedDigits tiny = fixed_digits(std::bit_cast<double>(std::uint64_t{1}), kMaxExactFraction + 5, buffer);
    EXPECT_EQ(tiny.integer, "0");
    EXPECT_EQ(tiny.fraction.substr(0, 327), std::string(323, '0') + "4940");
    EXPECT_EQ(tiny.fraction.substr(1068, 9), "265625000");  // 2^-1074 ends at decimal 1074
    EXPECT_EQ(tiny.trailing_zeros, 5);
    const FixedDigits huge = fixed_digits(1.7976931348623157e308, kMaxExactFraction, buffer);
    EXPECT_EQ(huge.integer.size(), 309u);
}

}  // namespace
}  // namespace kestrelfold
