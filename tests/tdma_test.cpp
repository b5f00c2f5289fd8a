#include "numerics/tdma.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <vector>

#include "tests/numerics_fixture.h"

namespace kestrelfold {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Sistema {
    std::vector<double> aw, aP, ae, bP;
};

// Boundary rows T_0 = 0 and T_N = 1, interior rows 2 T_i = T_(i-1) + T_(i+1) + b.
Sistema poisson(std::int32_t N, double interior_b) {
    const std::size_t nodes = static_cast<std::size_t>(N) + 1;
    Sistema s{std::vector<double>(nodes, 1.0), std::vector<double>(nodes, 2.0),
              std::vector<double>(nodes, 1.0), std::vector<double>(nodes, interior_b)};
    for (std::size_t node : {std::size_t{0}, nodes - 1}) {
        s.aw[node] = 0;
        s.ae[node] = 0;
        s.aP[node] = 1;
    }
    s.bP[0] = 0;
    s.bP[nodes - 1] = 1;
    return s;
}

std::vector<double> solve(std::int32_t N, const Sistema& s) {
    std::vector<double> T(static_cast<std::size_t>(N) + 1, kNaN);
    tdma(N, s.aw, s.aP, s.ae, s.bP, T);
    return T;
}

std::vector<std::uint64_t> bits(const std::vector<double>& values) {
    std::vector<std::uint64_t> out;
    for (double v : values) out.push_back(bits_of(v));
    return out;
}

TEST(Tdma, StraightLineToMachinePrecision) {
    for (std::int32_t N : {1, 2, 3, 7, 10, 100}) {
        const std::vector<double> T = solve(N, poisson(N, 0.0));
        EXPECT_EQ(T[0], 0.0) << "N = " << N;
        EXPECT_EQ(T[N], 1.0) << "N = " << N;
        for (std::int32_t i = 0; i <= N; ++i) {
            EXPECT_NEAR(T[i], static_cast<double>(i) / N, 1e-14) << "N = " << N << ", i = " << i;
        }
    }
}

TEST(Tdma, ParabolaToMachinePrecision) {
    for (std::int32_t N : {2, 3, 7, 10, 100}) {
        const std::vector<double> T = solve(N, poisson(N, -2.0 / (static_cast<double>(N) * N)));
        EXPECT_EQ(T[0], 0.0) << "N = " << N;
        EXPECT_EQ(T[N], 1.0) << "N = " << N;
        for (std::int32_t i = 0; i <= N; ++i) {
            const double xi = static_cast<double>(i) / N;
            EXPECT_NEAR(T[i], xi * xi, 1e-14) << "N = " << N << ", i = " << i;
        }
    }
}

// The reference elimination, written as plainly as possible: two divisions
// by d per node (no reciprocal), back substitution T_(i+1) * P_i + Q_i.
std::vector<double> reference(std::int32_t N, const Sistema& s) {
    std::vector<double> P(N + 1), Q(N + 1), T(N + 1);
    P[0] = s.ae[0] / s.aP[0];
    Q[0] = s.bP[0] / s.aP[0];
    for (std::int32_t i = 1; i <= N; ++i) {
        const double d = s.aP[i] - P[i - 1] * s.aw[i];
        P[i] = s.ae[i] / d;
        Q[i] = (s.aw[i] * Q[i - 1] + s.bP[i]) / d;
    }
    T[N] = Q[N];
    for (std::int32_t i = N - 1; i >= 0; --i) T[i] = T[i + 1] * P[i] + Q[i];
    return T;
}

// Irregular, diagonally dominant coefficients, so that any other order or
// form of the operations changes the last bits somewhere.
Sistema irregular(std::int32_t N) {
    Sistema s = poisson(N, 0.0);
    for (std::int32_t i = 1; i < N; ++i) {
        s.aw[i] = 0.3 + 0.07 * (i % 11);
        s.ae[i] = 0.9 - 0.05 * (i % 7);
        s.aP[i] = s.aw[i] + s.ae[i] + 0.1 / (i + 3);
        s.bP[i] = std::sin(0.37 * i) / 3;
    }
    return s;
}

TEST(Tdma, SolutionBitsFollowTheSpecifiedOperations) {
    for (std::int32_t N : {1, 2, 9, 100, 1000}) {
        const Sistema s = irregular(N);
        EXPECT_EQ(bits(solve(N, s)), bits(reference(N, s))) << "N = " << N;
    }
}

TEST(Tdma, SingleNodeIsFreeTermOverCentral) {
    // aw_0 and ae_0 are set to values that would show if they were used.
    const Sistema s{{5.0}, {4.0}, {7.0}, {3.0}};
    EXPECT_EQ(solve(0, s), std::vector<double>{0.75});
}

TEST(Tdma, OuterCoefficientsTakeNoPart) {
    const std::int32_t N = 7;
    const Sistema plain = poisson(N, -2.0 / 49.0);
    Sistema outer = plain;
    outer.aw[0] = 3.5;
    outer.ae[N] = -2.25;
    EXPECT_EQ(bits(solve(N, outer)), bits(solve(N, plain)));
}

TEST(Tdma, CoefficientsUnchanged) {
    const std::int32_t N = 6;
    Sistema s = poisson(N, -0.1);
    s.bP[3] = -0.0;  // a negative zero must survive too
    s.aP[2] = 2.5;
    const Sistema before = s;
    solve(N, s);
    EXPECT_EQ(bits(s.aw), bits(before.aw));
    EXPECT_EQ(bits(s.aP), bits(before.aP));
    EXPECT_EQ(bits(s.ae), bits(before.ae));
    EXPECT_EQ(bits(s.bP), bits(before.bP));
}

TEST(Tdma, ZeroDivisorFlowsIntoSolution) {
    EXPECT_EQ(solve(0, {{0.0}, {0.0}, {0.0}, {1.0}})[0], std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(solve(0, {{0.0}, {0.0}, {0.0}, {0.0}})[0]));
}

TEST(Tdma, BadArgumentsRejectedBeforeAnyWrite) {
    const Sistema s = poisson(3, 0.0);
    const std::vector<double> short_aP(3, 2.0);
    struct Case {
        std::int32_t N;
        const std::vector<double>& aP;
        std::size_t T_size;
    };
    for (const Case& k : {Case{-1, s.aP, 4}, Case{-2147483647 - 1, s.aP, 4},
                          Case{3, s.aP, 3}, Case{3, short_aP, 4}, Case{4, s.aP, 5}}) {
        std::vector<double> T(k.T_size, kNaN);
        EXPECT_THROW(tdma(k.N, s.aw, k.aP, s.ae, s.bP, T), std::invalid_argument) << "N = " << k.N;
        for (double t : T) EXPECT_TRUE(std::isnan(t));
    }
}

}  // namespace
}  // namespace kestrelfold
