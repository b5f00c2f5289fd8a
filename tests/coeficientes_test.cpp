#include "numerics/coeficientes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <vector>

#include "tests/numerics_fixture.h"

namespace kestrelfold {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The four coefficient fields, all NaN until a step writes them.
struct Campos {
    explicit Campos(std::int32_t N)
        : aw(static_cast<std::size_t>(N) + 1, kNaN), aP(aw), ae(aw), bP(aw) {}
    Coeficientes spans() { return {.aw = aw, .aP = aP, .ae = ae, .bP = bP}; }
    std::vector<double> aw, aP, ae, bP;
};

Campos formed(std::int32_t fonte, std::int32_t N) {
    Campos c(N);
    coeficientes(fonte, N, 1.0 / N, numerics_mesh(N), c.spans());
    return c;
}

TEST(Coeficientes, EveryNodeWritten) {
    for (std::int32_t fonte = 0; fonte <= 4; ++fonte) {
        for (std::int32_t N : {2, 5, 16}) {
            const Campos c = formed(fonte, N);
            for (const auto* field : {&c.aw, &c.aP, &c.ae, &c.bP}) {
                for (double v : *field) EXPECT_FALSE(std::isnan(v)) << "fonte " << fonte << ", N " << N;
            }
        }
    }
}

// T_0 = 0 and T_N = 1 whatever the source; 2 T_i = T_(i-1) + T_(i+1) + bP_i inside.
TEST(Coeficientes, RowsWhateverFonte) {
    const std::int32_t N = 5;
    for (std::int32_t fonte = 0; fonte <= 4; ++fonte) {
        const Campos c = formed(fonte, N);
        for (std::int32_t node : {0, N}) {
            EXPECT_EQ(bits_of(c.aw[node]), bits_of(0.0)) << "fonte " << fonte << ", node " << node;
            EXPECT_EQ(bits_of(c.ae[node]), bits_of(0.0)) << "fonte " << fonte << ", node " << node;
            EXPECT_EQ(c.aP[node], 1.0) << "fonte " << fonte << ", node " << node;
        }
        EXPECT_EQ(bits_of(c.bP[0]), bits_of(0.0)) << "fonte " << fonte;
        EXPECT_EQ(c.bP[N], 1.0) << "fonte " << fonte;
        for (std::int32_t i = 1; i < N; ++i) {
            EXPECT_EQ(c.aw[i], 1.0) << "fonte " << fonte << ", i " << i;
            EXPECT_EQ(c.ae[i], 1.0) << "fonte " << fonte << ", i " << i;
            EXPECT_EQ(c.aP[i], 2.0) << "fonte " << fonte << ", i " << i;
        }
    }
}

// bP_i = S(x_i) * (0 - h*h), with S formed exactly so: a division by e - 1,
// not a product with its reciprocal; x * 6; (12 * x) * x.
TEST(Coeficientes, InteriorFreeTermsBitExact) {
    const std::vector<std::function<double(double)>> S = {
        [](double x) { return std::exp(x) / 1.718281828459045; },
        [](double) { return 0.0; },
        [](double) { return 2.0; },
        [](double x) { return x * 6; },
        [](double x) { return (12 * x) * x; },
    };
    for (std::int32_t fonte = 0; fonte <= 4; ++fonte) {
        for (std::int32_t N : {3, 10, 37}) {
            const double h = 1.0 / N;
            const std::vector<double> x = numerics_mesh(N);
            const Campos c = formed(fonte, N);
            for (std::int32_t i = 1; i < N; ++i) {
                EXPECT_EQ(bits_of(c.bP[i]), bits_of(S[fonte](x[i]) * (0 - h * h)))
                    << "fonte " << fonte << ", N " << N << ", i " << i;
            }
        }
    }
}

TEST(Coeficientes, ZeroSourceGivesNegativeZeroFreeTerms) {
    const Campos c = formed(1, 6);
    for (std::int32_t i = 1; i < 6; ++i) {
        EXPECT_EQ(c.bP[i], 0.0) << "i " << i;
        EXPECT_TRUE(std::signbit(c.bP[i])) << "i " << i;
    }
    EXPECT_FALSE(std::signbit(c.bP[0]));
}

TEST(Coeficientes, OneElementHasBoundaryRowsOnly) {
    const Campos c = formed(3, 1);
    EXPECT_EQ(c.aw, (std::vector<double>{0, 0}));
    EXPECT_EQ(c.ae, (std::vector<double>{0, 0}));
    EXPECT_EQ(c.aP, (std::vector<double>{1, 1}));
    EXPECT_EQ(c.bP, (std::vector<double>{0, 1}));
}

TEST(Coeficientes, SingleNodeKeepsTheLastBoundaryRow) {
    Campos c(0);
    coeficientes(2, 0, 1.0, std::vector<double>{0.0}, c.spans());
    EXPECT_EQ(c.aP, std::vector<double>{1});
    EXPECT_EQ(c.bP, std::vector<double>{1});
}

TEST(Coeficientes, BadArgumentsRejectedBeforeAnyWrite) {
    const std::vector<double> x = numerics_mesh(4);
    struct Case {
        std::int32_t fonte, N;
        std::size_t x_size;
    };
    for (const Case& k : {Case{-1, 4, 5}, Case{5, 4, 5}, Case{0, -1, 5}, Case{0, 5, 5},
                          Case{0, 4, 4}}) {
        Campos c(4);
        EXPECT_THROW(coeficientes(k.fonte, k.N, 0.25, std::span(x).first(k.x_size), c.spans()),
                     std::invalid_argument)
            << "fonte " << k.fonte << ", N " << k.N << ", x size " << k.x_size;
        for (const auto* field : {&c.aw, &c.aP, &c.ae, &c.bP}) {
            for (double v : *field) EXPECT_TRUE(std::isnan(v));
        }
    }
}

}  // namespace
}  // namespace kestrelfold
