#include "numerics/calcula_variaveis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "tests/numerics_fixture.h"

namespace kestrelfold {
namespace {

// The documented grouping of the trapezoid sum, written plainly: term
// T_(i-1) + T_i into partial sum (i - 1) mod 8, then a pairwise tree.
double grouped_mean(std::int32_t N, double h, const std::vector<double>& T) {
    double p[8] = {};
    for (std::int32_t i = 1; i <= N; ++i) p[(i - 1) % 8] += T[i - 1] + T[i];
    return (0.5 * h) * (((p[0] + p[1]) + (p[2] + p[3])) + ((p[4] + p[5]) + (p[6] + p[7])));
}

// Values of many magnitudes, so that a different grouping changes the last bits.
std::vector<double> uneven(std::int32_t N) {
    std::vector<double> T(static_cast<std::size_t>(N) + 1);
    for (std::int32_t i = 0; i <= N; ++i) T[i] = std::pow(1.7, i % 23) / (3.0 + i) - 0.1 * (i % 5);
    return T;
}

TEST(CalculaVariaveis, MeanFollowsDocumentedGrouping) {
    for (std::int32_t N : {0, 1, 2, 7, 8, 9, 15, 16, 17, 23, 64, 1001}) {
        const std::vector<double> T = uneven(N);
        const double h = N == 0 ? 1.0 : 1.0 / N;
        EXPECT_EQ(bits_of(calcula_T_media(N, h, T)), bits_of(grouped_mean(N, h, T))) << "N " << N;
    }
}

TEST(CalculaVariaveis, SlopeFollowsSpecifiedOrder) {
    for (std::int32_t N : {2, 3, 10, 77}) {
        const std::vector<double> T = uneven(N);
        const double h = 1.0 / N;
        const double expected = ((3 * T[N] + T[N - 2]) - 4 * T[N - 1]) / (h + h);
        EXPECT_EQ(bits_of(calcula_inclinacao(N, h, T)), bits_of(expected)) << "N " << N;
    }
}

TEST(CalculaVariaveis, SlopeIsOneSidedSecondOrder) {
    // Exact for a quadratic: T = x^2 on four elements gives 2 exactly.
    EXPECT_EQ(calcula_inclinacao(4, 0.25, std::vector<double>{0, 0.0625, 0.25, 0.5625, 1}), 2.0);
    // Only the last three nodes count.
    EXPECT_EQ(calcula_inclinacao(2, 0.5, std::vector<double>{0.25, 0.5, 1}), 1.25);
    const VariaveisNumericas v = calcula_variaveis(2, 0.5, std::vector<double>{0, 0.5, 1});
    EXPECT_EQ(v.inclinacao, 1.0);
    EXPECT_EQ(v.T_media, 0.5);
}

TEST(CalculaVariaveis, TooFewNodesRejected) {
    const std::vector<double> T{0, 1};
    EXPECT_THROW(calcula_inclinacao(1, 1.0, T), std::invalid_argument);
    EXPECT_THROW(calcula_inclinacao(2, 0.5, T), std::invalid_argument);
    EXPECT_THROW(calcula_T_media(-1, 1.0, T), std::invalid_argument);
    EXPECT_THROW(calcula_T_media(2, 0.5, T), std::invalid_argument);
    EXPECT_THROW(calcula_variaveis(1, 1.0, T), std::invalid_argument);
}

}  // namespace
}  // namespace kestrelfold
