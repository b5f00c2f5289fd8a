#include "numerics/tdma.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "numerics/coeficientes.h"
#include "tests/numerics_fixture.h"

namespace kestrelfold {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<double> solve(std::int32_t fonte, std::int32_t N) {
    std::vector<double> T(static_cast<std::size_t>(N) + 1, kNaN);
    tdma(fonte, N, 1.0 / N, T);
    return T;
}

std::vector<std::uint64_t> bits(const std::vector<double>& values) {
    std::vector<std::uint64_t> out;
    for (double v : values) out.push_back(bits_of(v));
    return out;
}

// fonte 1: interior rows 2 T_i = T_(i-1) + T_(i+1) - 0, the straight line.
TEST(Tdma, StraightLineToMachinePrecision) {
    for (std::int32_t N : {1, 2, 3, 7, 10, 100}) {
        const std::vector<double> T = solve(1, N);
        for (std::int32_t i = 0; i <= N; ++i) {
            EXPECT_NEAR(T[i], static_cast<double>(i) / N, 1e-14) << "N = " << N << ", i = " << i;
        }
    }
}

// fonte 2: interior free terms -2/N^2, the parabola x^2.
TEST(Tdma, ParabolaToMachinePrecision) {
    for (std::int32_t N : {2, 3, 7, 10, 100}) {
        const std::vector<double> T = solve(2, N);
        for (std::int32_t i = 0; i <= N; ++i) {
            const double xi = static_cast<double>(i) / N;
            EXPECT_NEAR(T[i], xi * xi, 1e-14) << "N = " << N << ", i = " << i;
        }
    }
}

// The boundary rows give T_0 = 0 and T_N = 1 exactly, whatever the source
// and however the mesh falls into blocks: T_N = Q_N, and P_N is never used.
TEST(Tdma, EndValuesAreTheBoundaryValuesExactly) {
    for (std::int32_t fonte = 0; fonte <= 4; ++fonte) {
        for (std::int32_t N : {1, 2, 1023, 1024, 4095, 4096, 4097, 10000}) {
            const std::vector<double> T = solve(fonte, N);
            EXPECT_EQ(bits_of(T[0]), bits_of(0.0)) << "fonte " << fonte << ", N = " << N;
            EXPECT_EQ(T[N], 1.0) << "fonte " << fonte << ", N = " << N;
        }
    }
}

// The reference elimination, written as plainly as possible over the rows
// that the coefficient table shows: two divisions by d per node (no
// reciprocal), back substitution T_(i+1) * P_i + Q_i.
std::vector<double> reference(std::int32_t fonte, std::int32_t N) {
    std::vector<Linha> s;
    for (std::int64_t i = 0; i <= N; ++i) s.push_back(linha_no(fonte, N, 1.0 / N, i));
    std::vector<double> P(N + 1), Q(N + 1), T(N + 1);
    P[0] = s[0].ae / s[0].aP;
    Q[0] = s[0].bP / s[0].aP;
    for (std::int32_t i = 1; i <= N; ++i) {
        const double d = s[i].aP - P[i - 1] * s[i].aw;
        P[i] = s[i].ae / d;
        Q[i] = (s[i].aw * Q[i - 1] + s[i].bP) / d;
    }
    T[N] = Q[N];
    for (std::int32_t i = N - 1; i >= 0; --i) T[i] = T[i + 1] * P[i] + Q[i];
    return T;
}

// The solver solves the very equations the table shows.
TEST(Tdma, SolutionBitsFollowTheSpecifiedOperations) {
    for (std::int32_t fonte = 0; fonte <= 4; ++fonte) {
        for (std::int32_t N : {1, 2, 9, 100, 1000, 5000}) {
            EXPECT_EQ(bits(solve(fonte, N)), bits(reference(fonte, N))) << "fonte " << fonte << ", N = " << N;
        }
    }
}

}  // namespace
}  // namespace kestrelfold
