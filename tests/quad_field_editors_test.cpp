// Binary128 values in E fields, byte for byte: the correctly rounded digits
// of the binary128 value, laid out by the same rules as a double's. Each
// expected text ends with ';' so that trailing blanks show; the expected
// digits were worked out from the exact binary128 values in rational
// arithmetic.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "numerics/binary128.h"
#include "output/field_editors.h"
#include "tests/test_files.h"

namespace kestrelfold {
namespace {

using namespace test_support;

Quad from_bits(QuadBits bits) { return std::bit_cast<Quad>(bits); }

QuadBits high(std::uint64_t word) { return QuadBits(word) << 64; }

const Quad kQuadNegativeZero = from_bits(high(0x8000000000000000));
const Quad kQuadNaN = from_bits(high(0x7FFF800000000000));
const Quad kQuadNegativeNaN = from_bits(high(0xFFFF800000000000));
const Quad kQuadInfinity = from_bits(high(0x7FFF000000000000));
const Quad kQuadMinusInfinity = from_bits(high(0xFFFF000000000000));

struct QuadCase {
    Quad value;
    int w, d;
    std::string expected;
    bool fits = true;
};

std::string scientific(Quad value, int w, int d, bool& fits) {
    std::string field(static_cast<std::size_t>(w), '?');
    fits = edit_scientific(value, w, d, 1, field.data());
    return field + ";";
}

TEST(EditScientificQuad, RendersEveryCaseByteForByte) {
    const std::vector<QuadCase> cases = {
        // E40.32: 33 significant digits of the binary128 value, where the
        // double's are its own binary digits (0.1 as a double shows
        // 1.00000000000000005551115123125783E-01).
        {quad_from_decimal("0.1"), 40, 32, "  1.00000000000000000000000000000000E-01;"},
        {Quad(0.1), 40, 32, "  1.00000000000000005551115123125783E-01;"},
        {Quad(1) / 3, 40, 32, "  3.33333333333333333333333333333333E-01;"},
        {Quad(2) / 3, 40, 32, "  6.66666666666666666666666666666667E-01;"},
        {quad_from_decimal("0.02"), 40, 32, "  2.00000000000000000000000000000000E-02;"},
        {quad_from_decimal("1.7182818284590452353602874713526624977572"), 40, 32,
         "  1.71828182845904523536028747135266E+00;"},
        {quad_from_decimal("-2.5e10"), 40, 32, " -2.50000000000000000000000000000000E+10;"},
        {Quad(0.5), 40, 32, "  5.00000000000000000000000000000000E-01;"},
        // E23.14: the listing's tables.
        {quad_from_decimal("0.1"), 23, 14, "   1.00000000000000E-01;"},
        {Quad(1) / 3, 23, 14, "   3.33333333333333E-01;"},
        // Ties on the exact value go to the even digit: integers of 16 and
        // 34 digits, exact in binary128.
        {quad_from_decimal("1234567890123455"), 23, 14, "   1.23456789012346E+15;"},
        {quad_from_decimal("1234567890123445"), 23, 14, "   1.23456789012344E+15;"},
        {quad_from_decimal("1000000000000000000000000000000005"), 40, 32, "  1.00000000000000000000000000000000E+33;"},
        {quad_from_decimal("1000000000000000000000000000000015"), 40, 32, "  1.00000000000000000000000000000002E+33;"},
        {Quad(0.125), 10, 1, "   1.2E-01;"},
        {Quad(0.375), 10, 1, "   3.8E-01;"},
        // Rounding carries into the next power of ten.
        {quad_from_decimal("9.9999999999999999999999999999999999"), 40, 32, "  1.00000000000000000000000000000000E+01;"},
        {quad_from_decimal("-9.9999999999999999999999999999999999e-100"), 40, 32,
         " -1.00000000000000000000000000000000E-99;"},
        // Three exponent digits without the letter; beyond 999, which only
        // binary128 reaches, asterisks.
        {quad_from_decimal("1e-100"), 40, 32, "  1.00000000000000000000000000000000-100;"},
        {quad_from_decimal("1e300"), 23, 14, "   1.00000000000000+300;"},
        {quad_from_decimal("1e999"), 23, 14, "   1.00000000000000+999;"},
        {quad_from_decimal("1e1000"), 23, 14, std::string(23, '*') + ";", false},
        {quad_from_decimal("1e-1000"), 40, 32, std::string(40, '*') + ";", false},
        // Zero of either sign: no sign, exponent +00.
        {Quad(0), 40, 32, "  0.00000000000000000000000000000000E+00;"},
        {kQuadNegativeZero, 40, 32, "  0.00000000000000000000000000000000E+00;"},
        {kQuadNegativeZero, 23, 14, "   0.00000000000000E+00;"},
        // Not a number and the infinities, as for a double.
        {kQuadNaN, 23, 14, " NaN" + blanks(19) + ";"},
        {kQuadNegativeNaN, 40, 32, " NaN" + blanks(36) + ";"},
        {kQuadInfinity, 23, 14, " Infinity" + blanks(14) + ";"},
        {kQuadMinusInfinity, 40, 32, " -Infinity" + blanks(30) + ";"},
        {kQuadInfinity, 5, 1, " Inf ;"},
        {kQuadNaN, 3, 1, "***;", false},
        // Too narrow: asterisks.
        {Quad(-1.5), 8, 3, "********;", false},
        {Quad(1.5), 9, 3, "1.500E+00;"},
    };
    for (const QuadCase& c : cases) {
        bool fits = false;
        EXPECT_EQ(scientific(c.value, c.w, c.d, fits), c.expected) << "E" << c.w << "." << c.d;
        EXPECT_EQ(fits, c.fits) << c.expected;
    }
}

// The same value in double and in binary128 differs only in its digits:
// a field that a double fills, the binary128 value fills alike.
TEST(EditScientificQuad, SameLayoutAsTheDouble) {
    for (const double value : {0.1, -2.5e10, 1e-100, 1e300, 0.0, -0.0, 9.999999999999999}) {
        for (const auto& [w, d] : {std::pair{23, 14}, std::pair{40, 32}, std::pair{27, 14}}) {
            std::string as_double(static_cast<std::size_t>(w), '?');
            std::string as_quad(static_cast<std::size_t>(w), '?');
            edit_scientific(value, w, d, 1, as_double.data());
            edit_scientific(Quad(value), w, d, 1, as_quad.data());
            EXPECT_EQ(as_quad, as_double) << value << " in E" << w << "." << d;
        }
    }
}

}  // namespace
}  // namespace kestrelfold
