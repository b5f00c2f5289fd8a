#include "numerics/coeficientes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "numerics/correctly_rounded_exp.h"
#include "tests/numerics_fixture.h"

namespace kestrelfold {
namespace {

// The equations of every node of a mesh, as the solver and the table form them.
struct Campos {
    std::vector<double> aw, aP, ae, bP;
};

Campos formed(std::int32_t fonte, std::int32_t N) {
    Campos c;
    for (std::int64_t i = 0; i <= N; ++i) {
        const Linha linha = linha_no(fonte, N, 1.0 / N, i);
        c.aw.push_back(linha.aw);
        c.aP.push_back(linha.aP);
        c.ae.push_back(linha.ae);
        c.bP.push_back(linha.bP);
    }
    return c;
}

TEST(Coeficientes, EveryNodeHasAnEquation) {
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
        [](double x) { return correctly_rounded_exp(x) / 1.718281828459045; },
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

// The last nodes of the largest mesh: node N is the boundary row, the node
// before it an interior one at x = (2^31 - 2) * h, which is not 1.
TEST(Coeficientes, LargestMeshEndsWithItsBoundaryRow) {
    const double h = 1.0 / INT_MAX;
    const Linha last = linha_no(4, INT_MAX, h, INT_MAX);
    EXPECT_EQ(last.bP, 1.0);
    EXPECT_EQ(last.aP, 1.0);
    const Linha before = linha_no(4, INT_MAX, h, std::int64_t{INT_MAX} - 1);
    const double x = static_cast<double>(INT_MAX - 1) * h;
    EXPECT_LT(x, 1.0);
    EXPECT_EQ(before.aP, 2.0);
    EXPECT_EQ(bits_of(before.bP), bits_of((12 * x) * x * (0 - h * h)));
}

TEST(Coeficientes, NodesOutsideTheMeshAreRefused) {
    struct Case {
        std::int32_t fonte, N;
        std::int64_t i;
    };
    for (const Case& k : {Case{-1, 4, 2}, Case{5, 4, 2}, Case{0, 0, 0}, Case{0, -1, 0}, Case{0, 4, 5},
                          Case{0, 4, -1}, Case{0, INT_MAX, std::int64_t{INT_MAX} + 1}}) {
        EXPECT_THROW(linha_no(k.fonte, k.N, 0.25, k.i), std::invalid_argument)
            << "fonte " << k.fonte << ", N " << k.N << ", i " << k.i;
    }
}

}  // namespace
}  // namespace kestrelfold
