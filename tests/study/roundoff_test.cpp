// Where round-off takes over, and the tableau of repeated extrapolation, on
// sequences built to a known answer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "study/error_split.h"
#include "study/estimators.h"
#include "study/power_law_fit.h"
#include "study/roundoff.h"
#include "study/tableau.h"

namespace kestrelfold::study {
namespace {

std::vector<std::optional<double>> orders_of(const std::vector<double>& errors) {
    std::vector<std::optional<double>> p(errors.size());
    for (std::size_t k = 1; k < errors.size(); ++k) p[k] = observed_order(errors[k - 1], errors[k], 2);
    return p;
}

struct MarkCase {
    const char* name;
    std::vector<double> errors;  // meshes N, 2N, 4N, ...
    std::vector<bool> marks;
};

TEST(RoundoffMarks, WhereTheErrorStopsFalling) {
    const MarkCase cases[] = {
        {"h^2 throughout", {4e-4, 1e-4, 2.5e-5, 6.25e-6}, {false, false, false, false}},
        {"grows on the third mesh", {4e-4, 1e-4, 3e-4, 1e-5}, {false, false, true, true}},
        {"grows in magnitude across zero", {4e-4, 1e-4, -2e-4}, {false, false, true}},
        {"order below 1 twice", {4e-4, 1e-4, 0.7e-4, 0.5e-4, 1e-6}, {false, false, true, true, true}},
        {"order below 1 once is no mark", {4e-4, 1e-4, 0.7e-4, 1.7e-5, 4e-6}, {false, false, false, false, false}},
        {"a zero error does not grow", {4e-4, 1e-4, 0.0}, {false, false, false}},
        {"after a zero error any error grew", {4e-4, 0.0, 1e-16}, {false, false, true}},
        {"one mesh", {1e-3}, {false}},
    };
    for (const MarkCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(roundoff_marks(c.errors, orders_of(c.errors)), c.marks);
    }
}

TEST(ExactQuantity, ErrorsWithinTheRoundoffLevelOfEachMesh) {
    const std::vector<std::int32_t> N = {10, 20, 40, 80};
    const std::vector<double> exact(4, 0.5);
    // eps N^2: 2.2e-14 at N = 10, 3.6e-13 at N = 40
    EXPECT_TRUE(exact_quantity(N, std::vector<double>{1e-16, 0.0, -3e-15, 1e-14}, exact));
    EXPECT_FALSE(exact_quantity(N, std::vector<double>{1e-4, 2.5e-5, 6e-6, 1.5e-6}, exact));
    EXPECT_FALSE(exact_quantity(N, std::vector<double>{1e-16, 0.0, 1e-12, 1e-14}, exact));
    EXPECT_FALSE(exact_quantity(N, std::vector<double>{1e-16, NAN, 0.0, 0.0}, exact));
    // The level scales with the magnitude of the quantity.
    EXPECT_TRUE(exact_quantity(std::vector<std::int32_t>{10}, std::vector<double>{1e-12}, std::vector<double>{100.0}));
    EXPECT_FALSE(exact_quantity(N, std::vector<double>{}, std::vector<double>{}));
}

TEST(OptimalMesh, SmallestMagnitudeFirstOfEquals) {
    EXPECT_EQ(optimal_mesh(std::vector<double>{1e-3, -1e-5, 1e-4, 1e-5}), 1u);
    EXPECT_EQ(optimal_mesh(std::vector<double>{1e-3, 0.0, 0.0}), 1u);
    EXPECT_EQ(optimal_mesh(std::vector<double>{}), 0u);
}

// limit + sum c_i h^orders_i on the given meshes.
std::vector<double> expansion(const std::vector<std::int32_t>& N, double limit, const std::vector<double>& c,
                              const std::vector<int>& orders) {
    std::vector<double> values;
    for (std::int32_t n : N) {
        double v = limit;
        for (std::size_t i = 0; i < c.size(); ++i) v += c[i] * std::pow(1.0 / n, orders[i]);
        values.push_back(v);
    }
    return values;
}

struct TableauCase {
    const char* name;
    std::vector<std::int32_t> N;
    std::vector<int> orders;  // of the sequence's four terms, then the next
    bool constant_ratio;      // each level's cells then share one leading coefficient
};

// With as many meshes as terms, the last level returns the limit, and each
// level's errors fall with the order of the next term.
TEST(RepeatedRichardson, RemovesOneTermPerLevel) {
    const TableauCase cases[] = {
        {"even powers, ratio 2", {10, 20, 40, 80, 160}, {2, 4, 6, 8, 10}, true},
        {"all powers from 2, ratio 2", {10, 20, 40, 80, 160}, {2, 3, 4, 5, 6}, true},
        {"even powers, ratios 2, 2.5, 3, 2", {10, 20, 50, 150, 300}, {2, 4, 6, 8, 10}, false},
        {"all powers from 2, ratio 3", {4, 12, 36, 108, 324}, {2, 3, 4, 5, 6}, true},
    };
    const double limit = 0.41802329313067355;
    for (const TableauCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> values = expansion(c.N, limit, {0.3, -0.2, 0.1, 0.05}, c.orders);
        const std::vector<double> exact(c.N.size(), limit);
            const auto levels = repeated_richardson(c.N, values, exact, std::vector<bool>(c.N.size(), false),
                                                [&](int m) { return c.orders[m - 1]; });
        ASSERT_EQ(levels.size(), c.N.size());
        for (std::size_t m = 0; m < levels.size(); ++m) {
            SCOPED_TRACE(m);
            EXPECT_EQ(levels[m].order, c.orders[m]);
            if (m > 0) {
                EXPECT_FALSE(levels[m].value[m - 1]) << "a cell of level m needs m + 1 meshes";
            }
            ASSERT_TRUE(levels[m].value[c.N.size() - 1].has_value());
        }
        EXPECT_NEAR(*levels.back().value.back(), limit, 1e-14);
        // With one ratio, each level's errors fall with the order of the next term.
        if (c.constant_ratio) {
            for (std::size_t m = 0; m + 2 < levels.size(); ++m) {
                ASSERT_TRUE(levels[m].observed_order);
                EXPECT_NEAR(*levels[m].observed_order, c.orders[m], 0.3) << "level " << m;
            }
        }
    }
}

TEST(ExtrapolatedLimit, TwoMeshesIsRichardson) {
    const std::vector<std::int32_t> N = {10, 20};
    const std::vector<double> values = {0.378, 0.3776};
    const std::vector<int> orders = {2};
    const std::optional<double> limit = extrapolated_limit(N, values, orders);
    ASSERT_TRUE(limit);
    EXPECT_NEAR(*limit, richardson(values[0], values[1], 2, 2).extrapolated, 1e-16);
    EXPECT_FALSE(extrapolated_limit(N, values, std::vector<int>{2, 4}));
}

// Cells that need a marked mesh are left out, and a level ends where noise
// makes it worse than the level below.
TEST(RepeatedRichardson, LeavesOutMarkedMeshesAndStopsAtTheNoise) {
    const std::vector<std::int32_t> N = {10, 20, 40, 80, 160, 320};
    const double limit = 0.25;
    std::vector<double> values = expansion(N, limit, {0.1, 0.3}, {2, 4});
    const std::vector<double> exact(N.size(), limit);
    // Noise of 2e-8 on the fifth mesh, about the size of level 1's error
    // (4 c4 h^4, 3e-8 at N = 80): level 1 stops falling there.
    values[4] += 2e-8;
    std::vector<bool> marked(N.size(), false);
    marked[5] = true;
    const auto levels = repeated_richardson(N, values, exact, marked, [](int m) { return 2 * m; });
    ASSERT_GE(levels.size(), 2u);
    EXPECT_FALSE(levels[0].value[5]);
    EXPECT_TRUE(levels[0].value[4]);
    EXPECT_TRUE(levels[1].value[3]);
    EXPECT_FALSE(levels[1].value[4]) << "level 1 goes on past the noise";
    EXPECT_FALSE(levels[1].value[5]);
    for (const auto& level : levels) {
        for (std::size_t k = 0; k < N.size(); ++k) {
            if (level.value[k]) {
                EXPECT_TRUE(std::isfinite(*level.value[k]));
            }
        }
    }
}

TEST(RepeatedRichardson, EverythingMarkedLeavesNoCell) {
    const std::vector<std::int32_t> N = {10, 20, 40};
    const std::vector<double> values = {0.5, 0.5, 0.5};
    const auto levels = repeated_richardson(N, values, values, std::vector<bool>(3, true), [](int m) { return 2 * m; });
    ASSERT_EQ(levels.size(), 1u);
    for (const auto& v : levels[0].value) EXPECT_FALSE(v);
    EXPECT_FALSE(levels[0].observed_order);
}


// Errors that follow a law exactly give it back, whatever the decades.
TEST(PowerLawFit, RecoversExactLaws) {
    struct Case {
        const char* name;
        double C, p;
        std::vector<double> s;
    };
    const Case cases[] = {
        {"h^2 from N = 10 to 655360", 0.0123, 2, {1e-1, 5e-2, 2.5e-2, 1.25e-2, 6.25e-3, 1.0 / 655360}},
        {"round-off N^1.74", 3e-18, 1.74, {10, 20, 40, 80, 160, 320, 640, 1280}},
        {"falling with N", 7, -0.5, {1, 100, 10000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> E;
        for (const double s : c.s) E.push_back(-c.C * std::pow(s, c.p));  // the sign does not matter
        const std::optional<PowerLaw> law = fit_power_law(c.s, E);
        ASSERT_TRUE(law.has_value());
        EXPECT_NEAR(law->exponent, c.p, 1e-12);
        EXPECT_NEAR(law->coefficient / c.C, 1, 1e-11);
        EXPECT_EQ(law->points, c.s.size());
        EXPECT_NEAR(law->scatter, 0, 1e-12);
    }
}

TEST(PowerLawFit, LeavesOutZerosAndNeedsTwoMeshes) {
    // A zero error (an exact quantity) has no logarithm: the law is over the rest.
    const std::vector<double> h = {0.1, 0.05, 0.025, 0.0125};
    const std::optional<PowerLaw> law = fit_power_law(h, std::vector<double>{4e-2, 0.0, 2.5e-3, 6.25e-4});
    ASSERT_TRUE(law.has_value());
    EXPECT_EQ(law->points, 3u);
    EXPECT_NEAR(law->exponent, 2, 1e-12);
    EXPECT_FALSE(fit_power_law(h, std::vector<double>{0, 0, 0, 1e-3}).has_value());
    EXPECT_FALSE(fit_power_law(std::vector<double>{0.1, 0.1}, std::vector<double>{1e-3, 2e-3}).has_value());
}

TEST(PowerLawFit, ScatterIsTheRmsResidualInDecades) {
    // Points a decade above, below, below and above an exact h^2 line (a
    // pattern with no trend of its own): the fit is that line, and each point
    // lies one decade off it.
    const std::vector<double> h = {1e-1, 1e-2, 1e-3, 1e-4};
    const std::vector<double> E = {1e-1, 1e-5, 1e-7, 1e-7};
    const std::optional<PowerLaw> law = fit_power_law(h, E);
    ASSERT_TRUE(law.has_value());
    EXPECT_NEAR(law->exponent, 2, 1e-12);
    EXPECT_NEAR(law->scatter, 1, 1e-12);
}

TEST(CrossingMesh, WhereTheLawsMeet) {
    // 1e-2 h^2 meets 1e-18 N^2 where N^4 = 1e16: N = 1e4.
    const PowerLaw discretisation{1e-2, 2, 5, 0};
    const PowerLaw roundoff{1e-18, 2, 5, 0};
    const std::optional<double> N = crossing_mesh(discretisation, roundoff);
    ASSERT_TRUE(N.has_value());
    EXPECT_NEAR(*N / 1e4, 1, 1e-12);
    EXPECT_NEAR(discretisation.at(1 / *N) / roundoff.at(*N), 1, 1e-10);
    // Round-off that falls as fast as the discretisation error never meets it.
    EXPECT_FALSE(crossing_mesh(discretisation, PowerLaw{1e-18, -2, 5, 0}).has_value());
}

TEST(ErrorSplit, ComponentsAddUpToTheError) {
    // value 0.3 (a double), reference and exact nearby in binary128.
    const double value = 0.3;
    const __float128 reference = static_cast<__float128>(value) + static_cast<__float128>(1e-17);
    const __float128 exact = reference + static_cast<__float128>(2.5e-9);
    const ErrorSplit split = split_error(value, reference, exact);
    EXPECT_DOUBLE_EQ(split.roundoff, 1e-17);
    EXPECT_DOUBLE_EQ(split.discretisation, 2.5e-9);
    EXPECT_EQ(split_error(0.5, 0.5, 0.5).roundoff, 0.0);
}

TEST(ErrorSplit, CancellationAndSignificantRoundoff) {
    struct Case {
        const char* name;
        ErrorSplit split;
        bool cancellation;
    };
    const Case cases[] = {
        {"opposite, similar size", {1e-10, -0.8e-10}, true},
        {"opposite, round-off small", {1e-10, -0.3e-10}, false},
        {"same sign", {1e-10, 0.9e-10}, false},
        {"a zero component", {0.0, -1e-12}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(is_cancellation(c.split), c.cancellation);
    }
    const std::vector<ErrorSplit> meshes = {{1e-6, 1e-9}, {2.5e-7, -2e-8}, {6e-8, 7e-9}, {1.5e-8, 1e-8}};
    EXPECT_EQ(first_significant_roundoff(meshes), std::optional<std::size_t>(2));
    EXPECT_FALSE(first_significant_roundoff(std::vector<ErrorSplit>{{1e-6, 1e-9}}).has_value());
}

}  // namespace
}  // namespace kestrelfold::study
