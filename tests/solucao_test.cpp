#include "numerics/solucao.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "numerics/correctly_rounded_exp.h"
#include "numerics/mesh.h"
#include "numerics/solucao_analitica.h"
#include "output/fatal_error.h"
#include "tests/numerics_fixture.h"

namespace kestrelfold {
namespace {

std::unique_ptr<Run> solved(std::int32_t fonte, std::int32_t N) {
    auto run = numerics_run(fonte, N);
    solucao(*run);
    return run;
}

double erro_inclinacao(const Run& run) { return run.inclinacao_a - run.inclinacao; }
double erro_T_media(const Run& run) { return run.T_media_a - run.T_media; }

// fonte 1, 2, 3: the central difference is exact for polynomials of degree
// three or less, so T is the exact solution at every node.
TEST(Solucao, PolynomialSourcesExactAtEveryNode) {
    const std::vector<std::function<double(double)>> exact = {
        nullptr,
        [](double x) { return x; },
        [](double x) { return x * x; },
        [](double x) { return x * x * x; },
    };
    for (std::int32_t fonte : {1, 2, 3}) {
        for (std::int32_t N : {2, 3, 5, 10, 64, 101}) {
            const auto run = solved(fonte, N);
            for (std::int32_t i = 0; i <= N; ++i) {
                const double x = x_no(N, run->h, i);
                EXPECT_NEAR(run->T[i], exact[fonte](x), 1e-14) << "fonte " << fonte << ", N " << N << ", i " << i;
                EXPECT_NEAR(Te_no(fonte, N, i), exact[fonte](x), 1e-16)
                    << "fonte " << fonte << ", N " << N << ", i " << i;
            }
        }
    }
}

// Te formed exactly as the exact solution is defined on the mesh, at every
// node: the end nodes of the exponential are 0 and 1 by definition, not by
// its formula.
TEST(Solucao, ExactSolutionBitsFollowTheSpecifiedOperations) {
    const std::vector<std::function<double(double)>> exact = {
        [](double x) { return (correctly_rounded_exp(x) - 1) / 1.718281828459045; },
        [](double x) { return x; },
        [](double x) { return x * x; },
        [](double x) { return (x * x) * x; },
        [](double x) { return (x * x) * (x * x); },
    };
    for (std::int32_t fonte = 0; fonte <= 4; ++fonte) {
        for (std::int32_t N : {2, 3, 10, 37, 1000}) {
            const std::vector<double> x = numerics_mesh(N);
            for (std::int32_t i = 0; i <= N; ++i) {
                const double expected = fonte == 0 && i == 0 ? 0.0 : fonte == 0 && i == N ? 1.0 : exact[fonte](x[i]);
                EXPECT_EQ(bits_of(Te_no(fonte, N, i)), bits_of(expected))
                    << "fonte " << fonte << ", N " << N << ", i " << i;
            }
        }
    }
    EXPECT_THROW(Te_no(0, 10, 11), std::invalid_argument);
    EXPECT_THROW(Te_no(0, 10, -1), std::invalid_argument);
    EXPECT_THROW(Te_no(5, 10, 5), std::invalid_argument);
    EXPECT_THROW(Te_no(1, 0, 0), std::invalid_argument);
}

TEST(Solucao, QuarticSourceHasSecondOrderNodalError) {
    for (std::int32_t N : {4, 10, 50}) {
        const auto run = solved(4, N);
        const double h = run->h;
        for (std::int32_t i = 0; i <= N; ++i) {
            const double x = x_no(N, h, i);
            EXPECT_NEAR(Te_no(4, N, i) - run->T[i], -h * h * x * (1 - x), 1e-14) << "N " << N << ", i " << i;
        }
    }
}

TEST(Solucao, QuarticSourceOnFourElements) {
    const auto run = solved(4, 4);
    // What the specified operations give in double: 0.078125 less 4 ulp.
    EXPECT_EQ(bits_of(run->T[2]), bits_of(0.07812499999999994));
    EXPECT_EQ(Te_no(4, 4, 2), 0.0625);
    EXPECT_NEAR(run->inclinacao, 3.53125, 1e-12);
    EXPECT_EQ(run->inclinacao_a, 4.0);
    EXPECT_EQ(run->T_media_a, 0.2);
}

TEST(Solucao, ExponentialSourceOnTenElements) {
    const auto run = solved(0, 10);
    EXPECT_NEAR(run->inclinacao, 1.5766005, 5e-8);
    EXPECT_NEAR(erro_inclinacao(*run), 0.0053762, 5e-8);
    EXPECT_NEAR(run->T_media, 0.4189241, 5e-8);
    EXPECT_NEAR(run->T[5], 0.3776427, 5e-8);
    EXPECT_NEAR(Te_no(0, 10, 5), 0.3775407, 5e-8);
    EXPECT_EQ(bits_of(run->T_media_a), bits_of(0.41802329313067355));
    EXPECT_EQ(bits_of(run->inclinacao_a), bits_of(1.5819767068693265));
}

TEST(Solucao, ExponentialExactSolutionEndsExactly) {
    for (std::int32_t N : {2, 3, 10, 999}) {
        const auto run = solved(0, N);
        EXPECT_EQ(bits_of(Te_no(0, N, 0)), bits_of(0.0)) << "N " << N;
        EXPECT_EQ(Te_no(0, N, N), 1.0) << "N " << N;
        EXPECT_EQ(run->T[0], 0.0) << "N " << N;
        EXPECT_EQ(run->T[N], 1.0) << "N " << N;
    }
}

TEST(Solucao, StraightLineQuantitiesExact) {
    for (std::int32_t N : {2, 7, 100}) {
        const auto run = solved(1, N);
        EXPECT_NEAR(run->inclinacao, 1.0, 1e-12) << "N " << N;
        EXPECT_NEAR(run->T_media, 0.5, 1e-14) << "N " << N;
        EXPECT_EQ(run->inclinacao_a, 1.0);
        EXPECT_EQ(run->T_media_a, 0.5);
    }
}

TEST(Solucao, ParabolaErrorOfMeanIsMinusHSquaredOverSix) {
    for (std::int32_t N : {4, 10, 33}) {
        const auto run = solved(2, N);
        const double h = run->h;
        EXPECT_NEAR(run->inclinacao, 2.0, 1e-12) << "N " << N;
        EXPECT_NEAR(erro_T_media(*run), -h * h / 6, 1e-15) << "N " << N;
        EXPECT_EQ(bits_of(run->T_media_a), bits_of(1.0 / 3.0));
    }
    EXPECT_NEAR(erro_T_media(*solved(2, 4)), -0.0104167, 5e-8);
}

TEST(Solucao, CubicErrorsOfSlopeAndMean) {
    for (std::int32_t N : {4, 10, 33}) {
        const auto run = solved(3, N);
        const double h = run->h;
        EXPECT_NEAR(erro_inclinacao(*run), 2 * h * h, 1e-12) << "N " << N;
        EXPECT_NEAR(erro_T_media(*run), -h * h / 4, 1e-15) << "N " << N;
    }
    EXPECT_NEAR(erro_inclinacao(*solved(3, 10)), 0.02, 1e-12);
}

TEST(Solucao, ErrorsFallByFourWhenMeshHalved) {
    for (std::int32_t fonte : {0, 3, 4}) {
        const auto coarse = solved(fonte, 20);
        const auto fine = solved(fonte, 40);
        EXPECT_NEAR(erro_inclinacao(*coarse) / erro_inclinacao(*fine), 4.0, 0.1) << "fonte " << fonte;
        EXPECT_NEAR(erro_T_media(*coarse) / erro_T_media(*fine), 4.0, 0.1) << "fonte " << fonte;
    }
}

TEST(Solucao, OddMeshMiddleNodeLiesLeftOfCentre) {
    const auto run = solved(1, 5);
    const std::int32_t meio = run->N / 2;
    EXPECT_EQ(Te_no(1, 5, meio), 0.4);
    EXPECT_NEAR(run->T[meio], 0.4, 1e-15);
}

TEST(Solucao, ProcessingTimeMeasured) {
    const auto run = solved(0, 10000);
    EXPECT_GE(run->tcpu, 0.0);
    EXPECT_LT(run->tcpu, 60.0);
}

TEST(Solucao, UnsolvableRunRejectedBeforeAnyStep) {
    struct Case {
        std::int32_t fonte, N;
        const char* message;
    };
    for (const Case& k : {Case{0, 1, "N = 1: the solution needs at least 2 elements"},
                          Case{0, 0, "N = 0: the solution needs at least 2 elements"},
                          Case{2, -3, "N = -3: the solution needs at least 2 elements"},
                          Case{5, 10, "fonte = 5: the source term must be 0 to 4"},
                          Case{-1, 10, "fonte = -1: the source term must be 0 to 4"}}) {
        auto run = numerics_run(k.fonte, k.N);
        try {
            solucao(*run);
            ADD_FAILURE() << "accepted fonte " << k.fonte << ", N " << k.N;
        } catch (const FatalError& e) {
            EXPECT_EQ(std::string(e.what()), k.message);
        }
        EXPECT_EQ(run->tcpu, 0.0);
        EXPECT_EQ(run->T_media_a, 0.0);
        for (double t : run->T.span()) EXPECT_TRUE(std::isnan(t));
    }
}

}  // namespace
}  // namespace kestrelfold
