#include "numerics/correctly_rounded_exp.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <vector>

#include "numerics/exp_by_double_double.h"
#include "numerics/exp_by_fixed_point.h"
#include "numerics/mesh.h"
#include "tests/exp_reference.h"

namespace kestrelfold {
namespace {

using test_support::reference_exp;

// The full counts in an optimised build; a tenth under the sanitizers'
// debug build, whose every operation is checked.
#ifdef NDEBUG
constexpr std::int64_t kCountDivisor = 1;
#else
constexpr std::int64_t kCountDivisor = 10;
#endif

// exp(x) for every x against MPFR, in the default mode and in the run's
// mode; each mismatch counts (the first few are shown). The count is 0
// when exp is correctly rounded at every x in both modes.
template <typename Exp>
std::int64_t mismatches_with_reference(const std::vector<double>& arguments, Exp exp) {
    std::vector<double> expected(arguments.size());
    for (std::size_t i = 0; i < arguments.size(); ++i) expected[i] = reference_exp(arguments[i]);
    std::vector<double> in_default_mode(arguments.size()), in_run_mode(arguments.size());
    for (std::size_t i = 0; i < arguments.size(); ++i) in_default_mode[i] = exp(arguments[i]);
    {
        const test_support::RunFloatingPointMode mode;
        for (std::size_t i = 0; i < arguments.size(); ++i) in_run_mode[i] = exp(arguments[i]);
    }
    std::int64_t count = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        for (const bool run_mode : {false, true}) {
            const double got = run_mode ? in_run_mode[i] : in_default_mode[i];
            if (test_support::same_double(got, expected[i])) continue;
            if (++count <= 5) {
                ADD_FAILURE() << std::hexfloat << "exp(" << arguments[i] << ") = " << got << ", correctly rounded "
                              << expected[i] << (run_mode ? " (flush-to-zero mode)" : " (default mode)");
            }
        }
    }
    return count;
}

double exp_under_test(double x) { return correctly_rounded_exp(x); }

bool decided_in_double(double x) {
    bool decided = true;
    exp_by_double(x, [&](double) {
        decided = false;
        return 0.0;
    });
    return decided;
}

std::vector<double> uniform(double low, double high, std::int64_t count, std::uint64_t seed) {
    std::mt19937_64 bits(seed);
    std::uniform_real_distribution<double> draw(low, high);
    std::vector<double> x(static_cast<std::size_t>(count / kCountDivisor));
    for (double& value : x) value = draw(bits);
    return x;
}

// x and its nearest neighbours, `each_side` on each side.
void with_neighbours(std::vector<double>& x, double centre, int each_side) {
    x.push_back(centre);
    double below = centre, above = centre;
    for (int i = 0; i < each_side; ++i) {
        below = std::nextafter(below, -INFINITY);
        above = std::nextafter(above, INFINITY);
        x.push_back(below);
        x.push_back(above);
    }
}

// The double nearest to ln(2^exponent), from MPFR.
double ln_of_power_of_two(long exponent) {
    mpfr_t value;
    mpfr_init2(value, 200);
    mpfr_const_log2(value, MPFR_RNDN);
    mpfr_mul_si(value, value, exponent, MPFR_RNDN);
    const double result = mpfr_get_d(value, MPFR_RNDN);
    mpfr_clear(value);
    return result;
}

// Every node of meshes of the program (x = i * h, h = 1/N) and every
// i/N as a quotient.
TEST(CorrectlyRoundedExp, EveryNodeOfMeshes) {
    for (const std::int32_t N : {10, 1000, 4096, 65536, 100000, 1000000}) {
        const std::int32_t step = N >= 100000 ? static_cast<std::int32_t>(kCountDivisor) : 1;
        std::vector<double> x;
        for (std::int32_t i = 0; i <= N; i += step) {
            x.push_back(x_no(N, element_length(N), i));
            x.push_back(static_cast<double>(i) / N);
        }
        EXPECT_EQ(mismatches_with_reference(x, exp_under_test), 0) << "N = " << N;
    }
}

// 10^7 random doubles of [0, 1], in four parts that run side by side.
class RandomArgumentsOfUnitInterval : public ::testing::TestWithParam<std::uint64_t> {};
TEST_P(RandomArgumentsOfUnitInterval, MatchMpfr) {
    EXPECT_EQ(mismatches_with_reference(uniform(0, 1, 2'500'000, GetParam()), exp_under_test), 0);
}
INSTANTIATE_TEST_SUITE_P(CorrectlyRoundedExp, RandomArgumentsOfUnitInterval, ::testing::Values(1, 2, 3, 4));

// Every bit pattern is as likely (NaNs, infinities, huge and tiny
// arguments), then the arguments whose e^x is finite and not zero.
TEST(CorrectlyRoundedExp, RandomArgumentsOfTheWholeRange) {
    std::mt19937_64 bits(5);
    std::vector<double> x(static_cast<std::size_t>(1'000'000 / kCountDivisor));
    for (double& value : x) value = std::bit_cast<double>(bits());
    EXPECT_EQ(mismatches_with_reference(x, exp_under_test), 0);
    EXPECT_EQ(mismatches_with_reference(uniform(-745.2, 709.8, 1'000'000, 6), exp_under_test), 0);
}

TEST(CorrectlyRoundedExp, PowersOfTwoAndTheirNeighbours) {
    std::vector<double> x;
    for (int exponent = -1074; exponent <= 1023; ++exponent) {
        with_neighbours(x, std::ldexp(1.0, exponent), 2);
        with_neighbours(x, -std::ldexp(1.0, exponent), 2);
    }
    EXPECT_EQ(mismatches_with_reference(x, exp_under_test), 0);
}

// Subnormal results, and the edges where e^x becomes subnormal, rounds to
// zero or overflows.
TEST(CorrectlyRoundedExp, SubnormalResultsAndTheEdgesOfTheRange) {
    std::vector<double> x = uniform(ln_of_power_of_two(-1075), ln_of_power_of_two(-1022), 100'000, 7);
    for (const long edge : {-1075L, -1074L, -1060L, -1023L, -1022L, 1023L, 1024L}) {
        with_neighbours(x, ln_of_power_of_two(edge), 20);
    }
    EXPECT_EQ(mismatches_with_reference(x, exp_under_test), 0);
}

// Arguments that the double path leaves to the double-double one (about
// 1 %), arguments that both leave to the exact one (nodes of meshes of 10^6
// and 10^7 elements among them, and x = 0.1019840 of both), and random
// arguments given to the exact path directly.
TEST(CorrectlyRoundedExp, ArgumentsThatTakeTheSlowerPaths) {
    std::vector<double> undecided_in_double;
    for (std::int32_t i = 1; i < 100'000; ++i) {
        const double x = x_no(100'000, element_length(100'000), i);
        if (!decided_in_double(x)) undecided_in_double.push_back(x);
    }
    EXPECT_GT(undecided_in_double.size(), 100u);
    EXPECT_EQ(mismatches_with_reference(undecided_in_double, exp_under_test), 0);

    const std::vector<double> undecided = {
        0x1.a1b9f98b71b8ap-4,  0x1.c917d6b65a9a8p-3,  0x1.b9c7bcc2938dep-2, 0x1.db3aeee957471p-2,
        0x1.283c4b09e98ddp-1,  0x1.48344c37e6f71p-1,  0x1.56c6583e8576dp-1, 0x1.6044284dfce31p-1,
        0x1.2b005eca90b26p-5,  0x1.1cbf89176b569p-4,  0x1.512b1b36bd2b7p-4, 0x1.9ed41b75a74cp-4,
        -0x1.1ade47676174p+6,  -0x1.21cf23d5b70a2p+8, 0x1.5f8805372ee08p+8, 0x1.17144bfe3496p+5,
    };
    for (const double x : undecided) {
        EXPECT_FALSE(decided_in_double(x)) << std::hexfloat << x;
        EXPECT_FALSE(exp_by_double_double(x).has_value()) << std::hexfloat << x;
    }
    EXPECT_EQ(mismatches_with_reference(undecided, exp_under_test), 0);
    EXPECT_EQ(mismatches_with_reference(uniform(-746, 710, 20'000, 8), exp_by_fixed_point), 0);
}

// Each precision of the exact path, up to those beyond the ln 2 it keeps
// (40 limbs), on its own: every result it gives is the correctly rounded one.
TEST(CorrectlyRoundedExp, EveryPrecisionOfTheExactPath) {
    const std::vector<double> x = uniform(-745, 709, 2'000, 9);
    for (const int limbs : {4, 5, 8, 16, 39, 40, 64}) {
        const std::size_t count = limbs > 16 ? 10 : x.size();
        const std::vector<double> some(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(count));
        std::int64_t undecided = 0;
        const auto at_this_precision = [&](double argument) {
            const std::optional<double> result = exp_by_fixed_point_at(argument, limbs);
            if (!result) ++undecided;
            return result.value_or(reference_exp(argument));
        };
        EXPECT_EQ(mismatches_with_reference(some, at_this_precision), 0) << limbs << " limbs";
        EXPECT_EQ(undecided, 0) << limbs << " limbs";
    }
}

struct SpecialCase {
    double x;
    int exceptions;  // raised, of FE_OVERFLOW and FE_UNDERFLOW
};

TEST(CorrectlyRoundedExp, SpecialValuesOverflowAndUnderflow) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const std::vector<SpecialCase> cases = {
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {kInf, 0},
        {-kInf, 0},
        {0.0, 0},
        {-0.0, 0},
        {std::numeric_limits<double>::denorm_min(), 0},
        {710, FE_OVERFLOW},
        {std::numeric_limits<double>::max(), FE_OVERFLOW},
        {-746, FE_UNDERFLOW},
        {-std::numeric_limits<double>::max(), FE_UNDERFLOW},
        {-740, FE_UNDERFLOW},  // subnormal
    };
    for (const SpecialCase& c : cases) {
        std::feclearexcept(FE_ALL_EXCEPT);
        const double result = correctly_rounded_exp(c.x);
        EXPECT_EQ(std::fetestexcept(FE_OVERFLOW | FE_UNDERFLOW), c.exceptions) << "x = " << c.x;
        EXPECT_TRUE(test_support::same_double(result, reference_exp(c.x))) << "x = " << c.x << ": " << result;
    }
}

}  // namespace
}  // namespace kestrelfold
