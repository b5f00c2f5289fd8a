#include "output/decimal_digits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

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


// The digits of |value| rounded to n significant digits as the precision
// form of std::to_chars gives them (exact, ties to even): the reference that
// the shortest-conversion path must match bit for bit.
struct Reference {
    std::string digits;
    int exponent;
};

Reference reference(double value, int n) {
    char text[64];
    char* end = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, n - 1).ptr;
    const std::string all(text, end);
    const std::size_t e = all.find('e');
    std::string digits = all.substr(0, e);
    if (digits.size() > 1) digits.erase(1, 1);
    return {digits, std::stoi(all.substr(e + 1))};
}

std::string with_zeros(const ScientificDigits& got) {
    return std::string(got.digits) + std::string(static_cast<std::size_t>(got.trailing_zeros), '0');
}

enum Path { kExactOnly = 0, kShortest = 1, kIntegers = 2 };

void expect_path_digits(const char* path, const std::optional<ScientificDigits>& got, const Reference& want, double value,
                        int n) {
    if (!got) return;
    EXPECT_EQ(with_zeros(*got), want.digits) << path << " " << std::hexfloat << value << " n=" << n;
    EXPECT_EQ(got->exponent, want.exponent) << path << " " << std::hexfloat << value << " n=" << n;
}

// Compares the public conversion and each fast path (when it decides) with
// the reference; returns the set of fast paths that decided.
int expect_reference_digits(double value, int n) {
    const Reference want = reference(value, n);
    DigitBuffer buffer;
    const ScientificDigits got = scientific_digits(value, n, buffer);
    EXPECT_EQ(with_zeros(got), want.digits) << std::hexfloat << value << " n=" << n;
    EXPECT_EQ(got.exponent, want.exponent) << std::hexfloat << value << " n=" << n;
    const std::optional<ScientificDigits> shortest = shortest_scientific_digits(value, n, buffer);
    expect_path_digits("shortest path", shortest, want, value, n);
    const std::optional<ScientificDigits> integers = integer_scientific_digits(value, n, buffer);
    expect_path_digits("integer path", integers, want, value, n);
    return (shortest ? kShortest : 0) | (integers ? kIntegers : 0);
}

void expect_reference_digits_for_all_n(double value) {
    for (int n = 1; n <= 17; ++n) expect_reference_digits(value, n);
}

double from_bits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

void with_neighbours(std::vector<double>& values, double value, int steps) {
    double down = value;
    double up = value;
    values.push_back(value);
    for (int i = 0; i < steps; ++i) {
        down = std::nextafter(down, 0.0);
        up = std::nextafter(up, DBL_MAX);
        values.push_back(down);
        values.push_back(up);
    }
}

TEST(FastScientificDigits, CarriesIntoTheNextPowerOfTen) {
    std::vector<double> values;
    for (double v : {9.999999999999995, 9.9999999999999950, 0.99999999999999995, 99999999999999.95, 9.5, 0.95, 9.95e-5,
                     999999999999999.4, 999999999999999.5, 9999999999999999.0}) {
        with_neighbours(values, v, 4);
    }
    // Just below each power of ten: 10^k (1 - 5e-16 ... 1 - 5e-17).
    for (int k = -300; k <= 300; k += 7) {
        const double power = std::pow(10.0, k);
        for (double shortfall : {5e-16, 2.5e-16, 1e-16, 5e-17}) values.push_back(power * (1 - shortfall));
        with_neighbours(values, power, 3);
    }
    for (double v : values) expect_reference_digits_for_all_n(v);
}

TEST(FastScientificDigits, ExactTiesRoundToTheEvenDigit) {
    std::vector<double> values;
    // Integers whose 16th digit is a 5 followed by nothing and 15-digit
    // integers with .5 (ties at 15 digits); 16-digit integers with .5 (ties
    // at 16 digits); halves and quarters times powers of ten.
    for (double v : {1234567890123455.0, 1234567890123445.0, 9999999999999995.0, 1000000000000005.0,
                     123456789012345.5, 123456789012344.5, 999999999999999.5, 100000000000000.5,
                     1234567890123456.5, 1234567890123457.5, 4503599627370495.5, 1000000000000000.5, 0.5e-3, 2.5,
                     0.125, 0.375, 1.5e15, 2.5e20, 7.5e-1, 1.25e2, 4503599627370497.0, 9007199254740993.0}) {
        with_neighbours(values, v, 3);
    }
    // 0.5 * 10^k-style ties at every n: 1.5, 2.5, 1.25, 1.125 ... scaled by
    // powers of two, which keep the decimal expansion exact and end it in 5.
    for (int j = 1; j <= 60; ++j) {
        for (std::uint64_t odd : {std::uint64_t{1}, std::uint64_t{3}, std::uint64_t{7}, (std::uint64_t{1} << std::min(j, 52)) - 1,
                                  std::uint64_t{123456789} | 1}) {
            const double v = std::ldexp(static_cast<double>(odd), -j);
            with_neighbours(values, v, 1);
            with_neighbours(values, v * 1e10, 1);
        }
    }
    for (double v : values) expect_reference_digits_for_all_n(v);
}

TEST(FastScientificDigits, PowersOfTwoAndTenAndTheEndsOfTheRange) {
    std::vector<double> values;
    for (int e = -1074; e <= 1023; ++e) with_neighbours(values, std::ldexp(1.0, e), 1);
    for (int k = -323; k <= 308; ++k) {
        double power = 0;
        const std::string text = "1e" + std::to_string(k);
        std::from_chars(text.data(), text.data() + text.size(), power);
        with_neighbours(values, power, 2);
    }
    for (double v : {DBL_MIN, DBL_MAX, DBL_TRUE_MIN, from_bits(0x000FFFFFFFFFFFFF), 0.0, -0.0, -DBL_MIN, -DBL_MAX}) {
        with_neighbours(values, v, 3);
    }
    for (double v : values) expect_reference_digits_for_all_n(v);
}

// Random bit patterns (all decades, mostly 16 or 17 shortest digits), random
// values of moderate magnitude, and random short decimals (whose shortest
// form has n digits or fewer).
std::vector<double> random_doubles(std::uint64_t seed, std::size_t count) {
    std::mt19937_64 bits(seed);
    std::vector<double> values;
    values.reserve(count);
    while (values.size() < count) {
        const std::uint64_t pattern = bits();
        double value = from_bits(pattern);
        if (values.size() % 4 == 2) {
            // Full 53-bit values of the magnitudes that tables hold, 2^-50 to 2^50.
            value = std::ldexp(static_cast<double>(pattern >> 11), static_cast<int>(pattern % 101) - 50 - 53);
        } else if (values.size() % 4 == 3) {
            // m * 10^k with m of 1 to 17 digits.
            const int length = static_cast<int>(pattern % 17) + 1;
            const std::string text = std::to_string((pattern >> 8) % static_cast<std::uint64_t>(std::pow(10.0, length))) +
                                     "e" + std::to_string(static_cast<int>((pattern >> 40) % 600) - 300);
            std::from_chars(text.data(), text.data() + text.size(), value);
        }
        if (std::isfinite(value)) values.push_back(value);
    }
    return values;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kRandomDoubles = 200'000;
#else
constexpr std::size_t kRandomDoubles = 1'000'000;
#endif

TEST(FastScientificDigits, MatchesTheExactConversionOnRandomDoubles) {
    const std::vector<double> values = random_doubles(20261207, kRandomDoubles);
    std::size_t shortest = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        shortest += (expect_reference_digits(values[i], static_cast<int>(i % 17) + 1) & kShortest) != 0;
    }
    // Only values within a hair of a tie fall back to the exact conversion.
    EXPECT_GT(shortest, values.size() * 15 / 17 * 9 / 10);
}

TEST(FastScientificDigits, LeavesWhatItCannotDecideToTheExactConversion) {
    DigitBuffer buffer;
    const struct {
        double value;
        int significant;
    } cases[] = {
        {1234567890123455.0, 15},  // exact tie
        {123456789012345.5, 15},   // exact tie
        {0.1, 16},                 // too many digits for the shortest form to settle
        {0.1, 17},
        {DBL_TRUE_MIN, 1},         // subnormal
        {0.0, 3},
        {-0.0, 3},
        {std::numeric_limits<double>::infinity(), 3},
        {std::numeric_limits<double>::quiet_NaN(), 3},
    };
    for (const auto& c : cases) EXPECT_FALSE(shortest_scientific_digits(c.value, c.significant, buffer)) << c.value;
    EXPECT_TRUE(shortest_scientific_digits(1234567890123454.0, 15, buffer));
    EXPECT_TRUE(shortest_scientific_digits(0.1, 15, buffer));
}

TEST(IntegerScientificDigits, SettlesEveryValueOfModerateMagnitude) {
    DigitBuffer buffer;
    std::mt19937_64 bits(42);
    for (int i = 0; i < 200'000; ++i) {
        const int n = i % 16 + 1;
        // Decades n-26 to n-2, below 1e15: 1e-11 to 1e13 for 15 digits.
        const int lowest = n - 26;
        const int decade = lowest + static_cast<int>(bits() % static_cast<std::uint64_t>(std::min(n - 2, 14) - lowest + 1));
        const double value = (1 + std::ldexp(static_cast<double>(bits() >> 11), -53) * 8.9) * std::pow(10.0, decade);
        const Reference want = reference(value, n);
        const std::optional<ScientificDigits> got = integer_scientific_digits(value, n, buffer);
        ASSERT_TRUE(got) << std::hexfloat << value << " n=" << n;
        EXPECT_EQ(with_zeros(*got), want.digits) << std::hexfloat << value << " n=" << n;
        EXPECT_EQ(got->exponent, want.exponent) << std::hexfloat << value << " n=" << n;
    }
    for (double value : {0.0, DBL_TRUE_MIN, 1e-20, 1e16, std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(integer_scientific_digits(value, 15, buffer)) << value;
    }
    EXPECT_FALSE(integer_scientific_digits(0.5, kMaxIntegerSignificant + 1, buffer));
}

// Tens of millions of random doubles: too slow for every test run, so it is
// run on demand, with --gtest_also_run_disabled_tests
// --gtest_filter='*ManyRandomDoubles*'.
TEST(FastScientificDigits, DISABLED_MatchesTheExactConversionOnManyRandomDoubles) {
    constexpr std::size_t kBatch = 5'000'000;
    constexpr int kBatches = 10;
    std::size_t checked = 0;
    std::size_t decided = 0;
    std::size_t integers = 0;
    for (int batch = 0; batch < kBatches && !HasFailure(); ++batch) {
        const std::vector<double> values = random_doubles(7700 + static_cast<std::uint64_t>(batch), kBatch);
        for (double value : values) {
            const int paths = expect_reference_digits(value, 15);
            decided += (paths & kShortest) != 0;
            integers += (paths & kIntegers) != 0;
            for (int n = 1; n <= 17; ++n) expect_reference_digits(value, n);
            ++checked;
        }
    }
    std::printf("checked %zu doubles at 1 to 17 digits; at 15 the shortest path decided %zu, the integer path %zu\n",
                checked, decided, integers);
}

}  // namespace
}  // namespace kestrelfold
