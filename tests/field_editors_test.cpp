// Fields rendered byte for byte; each expected text ends with ';' so that
// trailing blanks show.
#include "output/field_editors.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "tests/test_files.h"

namespace kestrelfold {
namespace {

using namespace test_support;

double from_bits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

const double kNegativeZero = from_bits(0x8000000000000000);
const double kNaN = from_bits(0x7FF8000000000000);
const double kNegativeNaN = from_bits(0xFFF8000000000000);
const double kInfinity = from_bits(0x7FF0000000000000);
const double kMinusInfinity = from_bits(0xFFF0000000000000);
const double kSmallestSubnormal = from_bits(0x0000000000000001);
const double kLargest = from_bits(0x7FEFFFFFFFFFFFFF);

struct Rendered {
    std::string text;
    bool fits;
};

Rendered scientific(double value, int w, int d, int scale) {
    std::string field(static_cast<std::size_t>(w), '?');
    const bool fits = edit_scientific(value, w, d, scale, field.data());
    return {field + ";", fits};
}

Rendered fixed(double value, int w, int d) {
    std::string field(static_cast<std::size_t>(w), '?');
    const bool fits = edit_fixed(value, w, d, field.data());
    return {field + ";", fits};
}

Rendered integer(std::int32_t value, int w) {
    std::string field(static_cast<std::size_t>(w), '?');
    const bool fits = edit_integer(value, w, field.data());
    return {field + ";", fits};
}

std::string text(std::string_view value, int w) {
    std::string field(static_cast<std::size_t>(w), '?');
    edit_text(value, w, field.data());
    return field + ";";
}

struct ScientificCase {
    double value;
    int w, d, scale;
    std::string expected;
    bool fits = true;
};

TEST(EditScientific, RendersEveryCaseByteForByte) {
    const ScientificCase cases[] = {
        // E23.14 under 1P: the rows of the listing.
        {0.1, 23, 14, 1, "   1.00000000000000E-01;"},
        {0.001, 23, 14, 1, "   1.00000000000000E-03;"},
        {-2.5e10, 23, 14, 1, "  -2.50000000000000E+10;"},
        {1.0 / 3.0, 23, 14, 1, "   3.33333333333333E-01;"},
        {0.0625, 23, 14, 1, "   6.25000000000000E-02;"},
        {-0.015625, 23, 14, 1, "  -1.56250000000000E-02;"},
        // Zero of either sign: no sign, exponent +00.
        {0.0, 23, 14, 1, "   0.00000000000000E+00;"},
        {kNegativeZero, 23, 14, 1, "   0.00000000000000E+00;"},
        // Two exponent digits with the letter, three without it.
        {1e-99, 23, 14, 1, "   1.00000000000000E-99;"},
        {1e-100, 23, 14, 1, "   1.00000000000000-100;"},
        {-1e-100, 23, 14, 1, "  -1.00000000000000-100;"},
        {1e100, 23, 14, 1, "   1.00000000000000+100;"},
        {1e300, 23, 14, 1, "   1.00000000000000+300;"},
        {kSmallestSubnormal, 23, 14, 1, "   4.94065645841247-324;"},
        {kLargest, 23, 14, 1, "   1.79769313486232+308;"},
        // Rounding carries into the next power of ten.
        {9.999999999999999, 23, 14, 1, "   1.00000000000000E+01;"},
        {-9.9999999999999995e-100, 23, 14, 1, "  -1.00000000000000E-99;"},
        // Ties on the exact binary value go to the even digit.
        {0.125, 10, 1, 1, "   1.2E-01;"},
        {0.375, 10, 1, 1, "   3.8E-01;"},
        {2.5, 9, 0, 1, "   2.E+00;"},
        {3.5, 9, 0, 1, "   4.E+00;"},
        {0.15, 9, 0, 1, "   1.E-01;"},  // 0.15 lies below the tie in binary
        // E27.14 and E40.32.
        {0.01, 27, 14, 1, blanks(7) + "1.00000000000000E-02;"},
        {0.1, 27, 14, 1, blanks(7) + "1.00000000000000E-01;"},
        {0.1, 40, 32, 1, "  1.00000000000000005551115123125783E-01;"},
        {-0.1, 40, 32, 1, " -1.00000000000000005551115123125783E-01;"},
        {1.0 / 3.0, 40, 32, 1, "  3.33333333333333314829616256247391E-01;"},
        {0.5, 40, 32, 1, "  5.00000000000000000000000000000000E-01;"},
        {0.0, 40, 32, 1, "  0.00000000000000000000000000000000E+00;"},
        // Not a number and the infinities: first column blank, left-adjusted.
        {kNaN, 23, 14, 1, " NaN" + blanks(19) + ";"},
        {kNegativeNaN, 23, 14, 1, " NaN" + blanks(19) + ";"},
        {kInfinity, 23, 14, 1, " Infinity" + blanks(14) + ";"},
        {kMinusInfinity, 23, 14, 1, " -Infinity" + blanks(13) + ";"},
        {kMinusInfinity, 40, 32, 1, " -Infinity" + blanks(30) + ";"},
        {kInfinity, 5, 1, 1, " Inf ;"},
        {kNaN, 3, 1, 1, "***;", false},
        // Under 0P: 0.ddd, the leading 0 only when there is room.
        {0.1, 12, 4, 0, "  0.1000E+00;"},
        {0.1, 10, 4, 0, "0.1000E+00;"},
        {0.1, 9, 4, 0, ".1000E+00;"},
        {-2.5e10, 12, 4, 0, " -0.2500E+11;"},
        {9.99996, 12, 4, 0, "  0.1000E+02;"},
        {0.0, 12, 4, 0, "  0.0000E+00;"},
        {1e-100, 12, 4, 0, "  0.1000E-99;"},
        {1e-101, 12, 4, 0, "  0.1000-100;"},
        // Under 2P and -1P, as the standard form goes.
        {1234.5, 12, 4, 2, "  12.345E+02;"},
        {1234.5, 12, 4, -1, "  0.0123E+05;"},
        // Too narrow: asterisks.
        {-1.5, 8, 3, 1, "********;", false},
        {1.5, 8, 3, 1, "********;", false},
        {1.5, 9, 3, 1, "1.500E+00;"},
    };
    for (const auto& c : cases) {
        const Rendered got = scientific(c.value, c.w, c.d, c.scale);
        EXPECT_EQ(got.text, c.expected) << "value " << c.value << " in E" << c.w << "." << c.d << " under " << c.scale
                                        << "P";
        EXPECT_EQ(got.fits, c.fits) << "value " << c.value;
    }
}

TEST(EditScientific, RejectsAScaleFactorOutsideTheDigits) {
    char field[23];
    EXPECT_THROW(edit_scientific(1.0, 23, 14, 16, field), std::logic_error);
    EXPECT_THROW(edit_scientific(1.0, 23, 14, -14, field), std::logic_error);
    EXPECT_NO_THROW(edit_scientific(1.0, 23, 14, 15, field));
}

struct FixedCase {
    double value;
    int w, d;
    std::string expected;
    bool fits = true;
};

TEST(EditFixed, RendersEveryCaseByteForByte) {
    const FixedCase cases[] = {
        // F14.3: the processing time.
        {0.0625, 14, 3, blanks(9) + "0.062;"},  // exact tie: the even digit stays
        {0.1875, 14, 3, blanks(9) + "0.188;"},  // exact tie: up to the even digit
        {-0.0625, 14, 3, blanks(8) + "-0.062;"},
        {12.3456789, 14, 3, blanks(8) + "12.346;"},
        {0.0, 14, 3, blanks(9) + "0.000;"},
        {kNegativeZero, 14, 3, blanks(9) + "0.000;"},
        // Values that round to zero carry no minus sign.
        {-0.0004, 14, 3, blanks(9) + "0.000;"},
        {-1e-300, 14, 3, blanks(9) + "0.000;"},
        // 0.0005 lies above the tie in binary.
        {-0.0005, 14, 3, blanks(8) + "-0.001;"},
        {0.9996, 14, 3, blanks(9) + "1.000;"},
        {9999999999.999, 14, 3, "9999999999.999;"},
        {-999999999.999, 14, 3, "-999999999.999;"},
        {9999999999.9996, 14, 3, "**************;", false},
        {1e10, 14, 3, "**************;", false},
        {1e300, 14, 3, "**************;", false},
        {1e15, 20, 3, "1000000000000000.000;"},
        // The 0 before the point only when the field has room for it.
        {0.5, 5, 3, "0.500;"},
        {0.5, 4, 3, ".500;"},
        {-0.5, 5, 3, "-.500;"},
        {-0.5, 4, 3, "****;", false},
        {0.4, 5, 0, "   0.;"},
        {2.5, 5, 0, "   2.;"},
        {3.5, 5, 0, "   4.;"},
        // Not a number and the infinities: right-justified, Inf when narrower.
        {kNaN, 14, 3, blanks(11) + "NaN;"},
        {kInfinity, 14, 3, blanks(6) + "Infinity;"},
        {kMinusInfinity, 14, 3, blanks(5) + "-Infinity;"},
        {kMinusInfinity, 5, 1, " -Inf;"},
        {kInfinity, 3, 1, "Inf;"},
        {kMinusInfinity, 3, 1, "***;", false},
        {kNaN, 2, 1, "**;", false},
    };
    for (const auto& c : cases) {
        const Rendered got = fixed(c.value, c.w, c.d);
        EXPECT_EQ(got.text, c.expected) << "value " << c.value << " in F" << c.w << "." << c.d;
        EXPECT_EQ(got.fits, c.fits) << "value " << c.value;
    }
}

TEST(EditInteger, RendersEveryCaseByteForByte) {
    const struct {
        std::int32_t value;
        int w;
        std::string expected;
        bool fits;
    } cases[] = {
        {10, 8, "      10;", true},
        {-5, 8, "      -5;", true},
        {0, 8, "       0;", true},
        {12345678, 8, "12345678;", true},
        {-9999999, 8, "-9999999;", true},
        {123456789, 8, "********;", false},
        {-12345678, 8, "********;", false},
        {std::numeric_limits<std::int32_t>::min(), 11, "-2147483648;", true},
        {std::numeric_limits<std::int32_t>::min(), 10, "**********;", false},
    };
    for (const auto& c : cases) {
        const Rendered got = integer(c.value, c.w);
        EXPECT_EQ(got.text, c.expected) << "value " << c.value << " in I" << c.w;
        EXPECT_EQ(got.fits, c.fits) << "value " << c.value;
    }
}

TEST(EditText, KeepsTheLeftmostCharactersOrRightJustifies) {
    const std::string sixty = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ01234567";
    EXPECT_EQ(text("saida", 50), blanks(45) + "saida;");
    EXPECT_EQ(text(sixty, 50), sixty.substr(0, 50) + ";");
    EXPECT_EQ(text("abc", 3), "abc;");
    EXPECT_EQ(text("abc", 0), ";");
    EXPECT_EQ(text("", 2), "  ;");
}

}  // namespace
}  // namespace kestrelfold
