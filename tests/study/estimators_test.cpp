// The estimators on sequences whose answer is known in closed form.
#include "study/estimators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace kestrelfold::study {
namespace {

// phi(h) = limit + C h^p (+ D h^q), the textbook sequence.
double phi(double h, double limit, double C, double p, double D = 0, double q = 0) {
    return limit + C * std::pow(h, p) + D * std::pow(h, q);
}

struct OrderCase {
    const char* name;
    double E_coarse, E_fine, r;
    std::optional<double> expected;
};

TEST(ObservedOrder, KnownSequences) {
    const OrderCase cases[] = {
        {"h^2, r = 2", 4e-4, 1e-4, 2, 2.0},
        {"h^2, r = 3", 9e-4, 1e-4, 3, 2.0},
        {"h^1, r = 2", 2e-3, 1e-3, 2, 1.0},
        {"errors of opposite sign compare magnitudes", -4e-4, 1e-4, 2, 2.0},
        {"growing error: negative order", 1e-12, 4e-12, 2, -2.0},
        {"no change: order 0", 3e-9, 3e-9, 2, 0.0},
        {"fine error zero", 1e-4, 0.0, 2, std::nullopt},
        {"coarse error zero", 0.0, 1e-4, 2, std::nullopt},
        {"no overflow for extreme ratios", 1e300, 1e-300, 2, 600 * std::log(10.0) / std::log(2.0)},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<double> p = observed_order(c.E_coarse, c.E_fine, c.r);
        ASSERT_EQ(p.has_value(), c.expected.has_value());
        if (p) {
            EXPECT_NEAR(*p, *c.expected, 1e-9);
        }
    }
}

struct ApparentCase {
    const char* name;
    std::vector<double> h;  // coarse to fine
    double p;               // exponent of the sequence
    double sign;            // +1 monotone; -1 alternating sign of the error term
};

// Celik's fixed-point form recovers the exponent of limit + C (sign)^k h^p
// for any ratios, the oscillating case (s = -1) included.
TEST(ApparentOrder, RecoversTheExponent) {
    const ApparentCase cases[] = {
        {"constant ratio 2, p = 2", {0.1, 0.05, 0.025}, 2, 1},
        {"constant ratio 2, p = 1.5", {0.1, 0.05, 0.025}, 1.5, 1},
        {"constant ratio 3, p = 3", {1.0 / 9, 1.0 / 27, 1.0 / 81}, 3, 1},
        {"ratios 3 then 2, p = 2", {1.0 / 10, 1.0 / 30, 1.0 / 60}, 2, 1},
        {"ratios 2 then 5, p = 2", {1.0 / 10, 1.0 / 20, 1.0 / 100}, 2, 1},
        {"ratios 1.5 then 4, p = 2.5", {1.0 / 8, 1.0 / 12, 1.0 / 48}, 2.5, 1},
        {"ratios 3 then 2, oscillating, p = 2", {1.0 / 10, 1.0 / 30, 1.0 / 60}, 2, -1},
        {"ratios 2 then 5, oscillating, p = 1", {1.0 / 10, 1.0 / 20, 1.0 / 100}, 1, -1},
        {"constant ratio, oscillating, p = 2", {0.1, 0.05, 0.025}, 2, -1},
    };
    for (const ApparentCase& c : cases) {
        SCOPED_TRACE(c.name);
        const double phi3 = phi(c.h[0], 0.4, 0.7, c.p);
        const double phi2 = 0.4 + c.sign * (phi(c.h[1], 0.4, 0.7, c.p) - 0.4);
        const double phi1 = phi(c.h[2], 0.4, 0.7, c.p);
        const std::optional<double> p = apparent_order(phi3, phi2, phi1, c.h[0] / c.h[1], c.h[1] / c.h[2]);
        ASSERT_TRUE(p.has_value());
        EXPECT_NEAR(*p, c.p, 1e-6);
    }
}

TEST(ApparentOrder, UndefinedWithoutChange) {
    EXPECT_FALSE(apparent_order(1.0, 1.0, 0.5, 2, 2));
    EXPECT_FALSE(apparent_order(1.0, 0.5, 0.5, 2, 2));
    EXPECT_FALSE(apparent_order(1.0, 0.5, 0.5, 3, 2));
}

// A difference that grows gives a negative order, not one that passes for
// convergence.
TEST(ApparentOrder, GrowingDifferencesGiveANegativeOrder) {
    const std::optional<double> constant = apparent_order(1.0, 1.1, 1.5, 2, 2);
    ASSERT_TRUE(constant);
    EXPECT_NEAR(*constant, -2.0, 1e-12);
    const std::optional<double> varying = apparent_order(1.0, 1.1, 1.5, 2, 3);
    ASSERT_TRUE(varying);
    EXPECT_LT(*varying, 0);
}

struct RCase {
    const char* name;
    double phi3, phi2, phi1;
    std::optional<double> R;
    Convergence type;
};

TEST(ConvergenceRatio, FourRegimesAndNoChange) {
    const RCase cases[] = {
        {"monotone", 1.4, 1.1, 1.025, 0.25, Convergence::monotone},
        {"oscillatory", 1.4, 1.0, 1.2, -0.5, Convergence::oscillatory},
        {"monotone divergence", 1.0, 1.1, 1.3, 2.0, Convergence::divergent},
        {"oscillatory divergence", 1.0, 1.1, 0.8, -3.0, Convergence::divergent},
        {"|R| = 1 is not convergence", 1.0, 1.5, 2.0, 1.0, Convergence::divergent},
        {"fine pair equal: no change", 1.3, 1.1, 1.1, 0.0, Convergence::no_change},
        {"all equal: no change", 1.1, 1.1, 1.1, std::nullopt, Convergence::no_change},
        {"coarse pair equal: divergent", 1.1, 1.1, 1.3, std::nullopt, Convergence::divergent},
    };
    for (const RCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<double> R = convergence_ratio(c.phi3, c.phi2, c.phi1);
        ASSERT_EQ(R.has_value(), c.R.has_value());
        if (R) {
            EXPECT_NEAR(*R, *c.R, 1e-12);
        }
        EXPECT_EQ(convergence_type(c.phi3, c.phi2, c.phi1), c.type);
    }
}

TEST(Richardson, ReturnsTheLimitOfAnExactSequence) {
    for (double r : {2.0, 3.0, 1.5}) {
        SCOPED_TRACE(r);
        const double limit = 0.3775406687981455;
        const double coarse = phi(0.1, limit, 0.01, 2);
        const double fine = phi(0.1 / r, limit, 0.01, 2);
        const Richardson result = richardson(coarse, fine, r, 2);
        EXPECT_NEAR(result.extrapolated, limit, 1e-15);
        EXPECT_NEAR(result.U, limit - fine, 1e-15);  // U is the true error
        const std::optional<double> theta = effectivity(result.U, limit - fine);
        ASSERT_TRUE(theta);
        EXPECT_NEAR(*theta, 1.0, 1e-9);
    }
}

TEST(Effectivity, UndefinedForAnExactValue) { EXPECT_FALSE(effectivity(1e-3, 0.0)); }

struct GciCase {
    const char* name;
    std::optional<double> p_U;
    double Fs, p;
    bool observed;
};

TEST(Gci, FactorOfSafetyByTheApparentOrder) {
    const GciCase cases[] = {
        {"no apparent order: two-mesh GCI", std::nullopt, 3.0, 2.0, false},
        {"p_U = 2", 2.0, 1.25, 2.0, true},
        {"p_U = 0.5 still counts", 0.5, 1.25, 0.5, true},
        {"p_U = 2.5 still counts", 2.5, 1.25, 2.5, true},
        {"p_U = 0.49: formal order", 0.49, 3.0, 2.0, false},
        {"p_U = 2.51: formal order", 2.51, 3.0, 2.0, false},
        {"negative p_U: formal order", -1.0, 3.0, 2.0, false},
    };
    for (const GciCase& c : cases) {
        SCOPED_TRACE(c.name);
        // Values near zero: the absolute form must not divide by phi1.
        const Gci index = gci(-1e-3, 1e-6, 2.0, c.p_U);
        EXPECT_EQ(index.Fs, c.Fs);
        EXPECT_EQ(index.p, c.p);
        EXPECT_EQ(index.observed_order, c.observed);
        EXPECT_NEAR(index.value, c.Fs * (1e-3 + 1e-6) / (std::pow(2.0, c.p) - 1), 1e-18);
    }
}

TEST(Median, OddEvenAndEmpty) {
    EXPECT_EQ(median({3, 1, 2}), 2.0);
    EXPECT_EQ(median({4, 1, 2, 3}), 2.5);
    EXPECT_EQ(median({-7}), -7.0);
    EXPECT_FALSE(median({}));
}

TEST(Finite, NoNaNOrInfinityPassesForANumber) {
    EXPECT_FALSE(finite(std::nan("")));
    EXPECT_FALSE(finite(INFINITY));
    EXPECT_FALSE(finite(-INFINITY));
    EXPECT_EQ(finite(-0.5), -0.5);
}

}  // namespace
}  // namespace kestrelfold::study
