// kestrelfold-quad's exponential source term against the Thomas algorithm
// of the same equations carried out with 200-bit (60-digit) numbers in
// MPFR: the discrete solution itself. The binary128 run must agree to its
// own round-off, some 10^13 times closer than the double run can.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "driver/run.h"
#include "numerics/binary128.h"
#include "numerics/mesh.h"
#include "numerics/solucao.h"
#include "numerics/solucao_analitica.h"

namespace kestrelfold {
namespace {

constexpr mpfr_prec_t kBits = 200;

// An MPFR number that frees itself.
class Big {
public:
    Big() {
        mpfr_init2(value_, kBits);
        mpfr_set_zero(value_, 1);
    }
    explicit Big(long integer) : Big() { mpfr_set_si(value_, integer, MPFR_RNDN); }
    ~Big() { mpfr_clear(value_); }
    Big(const Big& other) : Big() { mpfr_set(value_, other.value_, MPFR_RNDN); }
    Big& operator=(const Big& other) {
        mpfr_set(value_, other.value_, MPFR_RNDN);
        return *this;
    }
    mpfr_ptr get() { return value_; }
    mpfr_srcptr get() const { return value_; }
    // Rounded to binary128 through a decimal of 60 digits: far more than
    // the binary128 result can be trusted to, so the comparison is not blurred.
    Quad to_quad() const {
        char text[96];
        mpfr_snprintf(text, sizeof text, "%.60Re", value_);
        return quad_from_decimal(text);
    }

private:
    mpfr_t value_;
};

struct DiscreteQuantities {
    Quad T_meio, T_media, inclinacao, Te_meio;
};

// The Thomas algorithm of the equations of fonte 0 on the mesh of N
// elements: interior rows 2 T_i = T_(i-1) + T_(i+1) - h^2 e^(x_i)/(e - 1),
// T_0 = 0, T_N = 1, every value in 200 bits; x_i = i/N exactly rounded.
DiscreteQuantities reference(std::int32_t N) {
    Big e_minus_1(1);
    mpfr_exp(e_minus_1.get(), e_minus_1.get(), MPFR_RNDN);
    mpfr_sub_ui(e_minus_1.get(), e_minus_1.get(), 1, MPFR_RNDN);
    Big h2(1);
    mpfr_div_si(h2.get(), h2.get(), N, MPFR_RNDN);
    mpfr_sqr(h2.get(), h2.get(), MPFR_RNDN);

    std::vector<Big> P(static_cast<std::size_t>(N) + 1), T(static_cast<std::size_t>(N) + 1);
    Big Q(0), d, b;
    for (std::int32_t i = 1; i < N; ++i) {
        mpfr_set_si(b.get(), i, MPFR_RNDN);
        mpfr_div_si(b.get(), b.get(), N, MPFR_RNDN);
        mpfr_exp(b.get(), b.get(), MPFR_RNDN);
        mpfr_div(b.get(), b.get(), e_minus_1.get(), MPFR_RNDN);
        mpfr_mul(b.get(), b.get(), h2.get(), MPFR_RNDN);         // h^2 S
        mpfr_si_sub(d.get(), 2, P[i - 1].get(), MPFR_RNDN);      // d = 2 - P
        mpfr_si_div(P[i].get(), 1, d.get(), MPFR_RNDN);          // P = 1/d
        mpfr_sub(Q.get(), Q.get(), b.get(), MPFR_RNDN);          // Q + bP, bP = -h^2 S
        mpfr_div(Q.get(), Q.get(), d.get(), MPFR_RNDN);
        mpfr_set(T[i].get(), Q.get(), MPFR_RNDN);                // Q, until the back pass
    }
    mpfr_set_si(T[N].get(), 1, MPFR_RNDN);
    for (std::int32_t i = N - 1; i >= 1; --i) {
        mpfr_fma(T[i].get(), T[i + 1].get(), P[i].get(), T[i].get(), MPFR_RNDN);
    }
    mpfr_set_si(T[0].get(), 0, MPFR_RNDN);

    DiscreteQuantities q;
    q.T_meio = T[no_meio(N)].to_quad();
    Big sum(0);
    for (std::int32_t i = 1; i <= N; ++i) {
        mpfr_add(sum.get(), sum.get(), T[i - 1].get(), MPFR_RNDN);
        mpfr_add(sum.get(), sum.get(), T[i].get(), MPFR_RNDN);
    }
    mpfr_div_si(sum.get(), sum.get(), 2 * N, MPFR_RNDN);
    q.T_media = sum.to_quad();
    Big slope(3);
    mpfr_add(slope.get(), slope.get(), T[N - 2].get(), MPFR_RNDN);
    Big four(4);
    mpfr_mul(four.get(), four.get(), T[N - 1].get(), MPFR_RNDN);
    mpfr_sub(slope.get(), slope.get(), four.get(), MPFR_RNDN);
    mpfr_mul_si(slope.get(), slope.get(), N, MPFR_RNDN);
    mpfr_div_si(slope.get(), slope.get(), 2, MPFR_RNDN);
    q.inclinacao = slope.to_quad();
    Big x(no_meio(N));
    mpfr_div_si(x.get(), x.get(), N, MPFR_RNDN);
    mpfr_expm1(x.get(), x.get(), MPFR_RNDN);
    mpfr_div(x.get(), x.get(), e_minus_1.get(), MPFR_RNDN);
    q.Te_meio = x.to_quad();
    return q;
}

Quad magnitude(Quad value) { return value < 0 ? -value : value; }

// 2^-113 grown by N^power, with a margin of 64 (see quad_solution_test).
Quad round_off(std::int32_t N, int power) {
    Quad bound = Quad(64) / Quad(std::uint64_t{1} << 56) / Quad(std::uint64_t{1} << 57);
    for (int k = 0; k < power; ++k) bound *= N;
    return bound;
}

std::string shown(Quad value) { return std::to_string(static_cast<double>(value)); }

TEST(QuadReference, ExponentialSourceAgainstSixtyDigits) {
    for (const std::int32_t N : {2, 10, 100, 1000, 4096}) {
        SCOPED_TRACE("N = " + std::to_string(N));
        auto run = std::make_unique<QuadRun>();
        run->fonte = 0;
        run->N = N;
        run->h = element_length<Quad>(N);
        run->T = QuadField(static_cast<std::size_t>(N) + 1);
        solucao(*run);
        const DiscreteQuantities expected = reference(N);
        const Quad T_meio = run->T[no_meio(N)];
        EXPECT_LE(magnitude(T_meio - expected.T_meio), round_off(N, 2)) << shown(T_meio - expected.T_meio);
        EXPECT_LE(magnitude(run->T_media - expected.T_media), round_off(N, 2))
            << shown(run->T_media - expected.T_media);
        EXPECT_LE(magnitude(run->inclinacao - expected.inclinacao), round_off(N, 3))
            << shown(run->inclinacao - expected.inclinacao);
        // The exact solution at the middle node, (e^x - 1)/(e - 1) in
        // binary128: a few units in its last place.
        const Quad Te_meio = Te_no<Quad>(0, N, no_meio(N));
        EXPECT_LE(magnitude(Te_meio - expected.Te_meio), round_off(1, 0)) << shown(Te_meio - expected.Te_meio);
    }
}

}  // namespace
}  // namespace kestrelfold
