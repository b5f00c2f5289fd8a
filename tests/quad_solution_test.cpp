// kestrelfold-quad's solution run against answers that only a binary128
// run gives: the discrete solution itself, to binary128 round-off, where
// the double program is off by some 10^-13.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "driver/run.h"
#include "numerics/binary128.h"
#include "numerics/constantes.h"
#include "numerics/mesh.h"
#include "numerics/run_memory.h"
#include "numerics/solucao.h"
#include "numerics/solucao_analitica.h"

namespace kestrelfold {
namespace {

std::unique_ptr<QuadRun> solved_quad(std::int32_t fonte, std::int32_t N) {
    auto run = std::make_unique<QuadRun>();
    run->fonte = fonte;
    run->N = N;
    run->h = element_length<Quad>(N);
    run->T = QuadField(static_cast<std::size_t>(N) + 1);
    solucao(*run);
    return run;
}

Quad magnitude(Quad value) { return value < 0 ? -value : value; }

// The round-off a binary128 run may have on a mesh of N elements: the
// unit round-off 2^-113 grown by N^power and a margin of 64. At N = 1000
// that is 6e-27 for T (power 2), 6e-24 for the slope (power 3), which
// divides differences of T by h.
Quad round_off(std::int32_t N, int power) {
    Quad bound = Quad(64) * Quad(1) / Quad(std::uint64_t{1} << 56) / Quad(std::uint64_t{1} << 57);
    for (int k = 0; k < power; ++k) bound *= N;
    return bound;
}

std::string shown(Quad value) { return std::to_string(static_cast<double>(value)); }

// fonte 1, 2, 3: the central difference is exact for polynomials of degree
// three or less, so the discrete solution is the exact one at every node,
// and T(1/2)'s discretisation error is zero: what is left is round-off.
TEST(QuadSolucao, PolynomialSourcesExactAtEveryNode) {
    for (std::int32_t fonte : {1, 2, 3}) {
        for (std::int32_t N : {2, 3, 10, 64, 1001, 4096}) {
            const auto run = solved_quad(fonte, N);
            Quad worst = 0;
            for (std::int32_t i = 0; i <= N; ++i) {
                const Quad error = magnitude(Te_no<Quad>(fonte, N, i) - run->T[i]);
                if (error > worst) worst = error;
            }
            EXPECT_LE(worst, round_off(N, 2)) << "fonte " << fonte << ", N " << N << ": " << shown(worst);
        }
    }
}

// fonte 4: the discrete solution is T_i = x_i^4 + h^2 x_i (1 - x_i), with
// x_i = i/N: T_i = A_i / N^4 for the integer A_i = i^4 + i (N - i). So
// T(1/2) = 1/16 + h^2/4, and the mean and the slope of the discrete
// solution are fractions of integers, worked out exactly here.
struct Fraction {
    __extension__ __int128 numerator;
    __extension__ __int128 denominator;
    Quad value() const { return Quad(numerator) / Quad(denominator); }  // both below 2^113: one rounding
};

__extension__ using Int128 = __int128;

Int128 A(std::int64_t N, std::int64_t i) { return Int128(i) * i * i * i + Int128(i) * (N - i); }

Fraction discrete_T_meio(std::int64_t N) { return {A(N, N / 2), Int128(N) * N * N * N}; }

// (0.5 h) * sum over i = 1..N of (T_(i-1) + T_i) = sum (A_(i-1) + A_i) / (2 N^5).
Fraction discrete_T_media(std::int64_t N) {
    Int128 sum = 0;
    for (std::int64_t i = 1; i <= N; ++i) sum += A(N, i - 1) + A(N, i);
    return {sum, 2 * Int128(N) * N * N * N * N};
}

// ((3 T_N + T_(N-2)) - 4 T_(N-1)) / (2h) = (3 N^4 + A_(N-2) - 4 A_(N-1)) / (2 N^3).
Fraction discrete_inclinacao(std::int64_t N) {
    return {3 * Int128(N) * N * N * N + A(N, N - 2) - 4 * A(N, N - 1), 2 * Int128(N) * N * N};
}

TEST(QuadSolucao, QuarticSourceGivesTheKnownDiscreteSolution) {
    for (std::int32_t N : {2, 4, 10, 100, 1000, 4096}) {
        SCOPED_TRACE("N = " + std::to_string(N));
        const auto run = solved_quad(4, N);
        const Quad h = run->h;
        const Quad T_meio = run->T[no_meio(N)];
        EXPECT_LE(magnitude(T_meio - (Quad(1) / 16 + h * h / 4)), round_off(N, 2)) << shown(T_meio);
        EXPECT_LE(magnitude(T_meio - discrete_T_meio(N).value()), round_off(N, 2));
        EXPECT_LE(magnitude(run->T_media - discrete_T_media(N).value()), round_off(N, 2)) << shown(run->T_media);
        EXPECT_LE(magnitude(run->inclinacao - discrete_inclinacao(N).value()), round_off(N, 3))
            << shown(run->inclinacao);
        // The true errors of the run are the discretisation errors.
        EXPECT_LE(magnitude((run->T_media_a - run->T_media) - (quad_from_decimal("0.2") - discrete_T_media(N).value())),
                  round_off(N, 2) + Quad(1e-33));
    }
}

// Each stored constant is the binary128 value nearest to its number: the
// same bits as a correct conversion of 60 digits, and not the double
// constant widened.
TEST(QuadConstantes, NearestBinary128Values) {
    struct Case {
        const char* name;
        Quad stored;
        const char* digits;
        double as_double;
    };
    const ValoresExatos<Quad> f0 = valores_exatos<Quad>(0);
    const std::vector<Case> cases = {
        {"e - 1", Constantes<Quad>::e_menos_1, "1.71828182845904523536028747135266249775724709369995957496697",
         Constantes<double>::e_menos_1},
        {"(e - 2)/(e - 1)", f0.T_media_a, "0.418023293130673575614997994890988441453130698924603863733214",
         valores_exatos(0).T_media_a},
        {"e/(e - 1)", f0.inclinacao_a, "1.58197670686932642438500200510901155854686930107539613626679",
         valores_exatos(0).inclinacao_a},
        {"1/3", valores_exatos<Quad>(2).T_media_a, "0.333333333333333333333333333333333333333333333333333333333333",
         valores_exatos(2).T_media_a},
        {"1/5", valores_exatos<Quad>(4).T_media_a, "0.2", valores_exatos(4).T_media_a},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(std::bit_cast<QuadBits>(c.stored) == std::bit_cast<QuadBits>(quad_from_decimal(c.digits)))
            << c.name;
        EXPECT_NE(static_cast<double>(c.stored - Quad(c.as_double)), 0.0) << c.name << " is the double widened";
    }
    EXPECT_TRUE(valores_exatos<Quad>(1).T_media_a == Quad(0.5) && valores_exatos<Quad>(3).inclinacao_a == 3);
}

// 16 bytes of T and 16 of P a node, nothing besides: at most 32 bytes a
// node and 16 MiB.
TEST(QuadMemory, ThirtyTwoBytesANode) {
    for (const std::int32_t N : {2, 1000, 10'000'000, 2147483647}) {
        const std::uint64_t nodes = static_cast<std::uint64_t>(N) + 1;
        EXPECT_EQ(run_memory_bytes<Quad>(N), 32 * nodes) << N;
        EXPECT_LE(run_memory_bytes<Quad>(N), 32 * nodes + (16u << 20)) << N;
    }
}

}  // namespace
}  // namespace kestrelfold
