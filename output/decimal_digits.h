#pragma once
// The decimal digits of a double, exact: std::to_chars works on the exact
// binary value and rounds a tie to the even digit, and it gives the true
// digits however many are asked for (0.1 to 33 digits is
// 1.00000000000000005551115123125783, not 1 and 32 zeros). Sign, NaN and
// infinity are the field editors' business: these take finite magnitudes.
//
// Every table row of a run costs several E fields, so the scientific digits
// take the cheapest exact way first: integer arithmetic for the usual
// magnitudes, then the shortest round-trip conversion, and only where
// neither settles the rounding (a value near a tie, zero, a subnormal, more
// than 15 digits) the precision form of std::to_chars. All three give the
// same digits, bit for bit.
#include <array>
#include <optional>
#include <string_view>

#include "numerics/binary128.h"

namespace kestrelfold {

// Room for the longest conversion asked for: 309 integer digits, the point
// and kMaxExactFraction decimals (all further digits are zero).
using DigitBuffer = std::array<char, 1408>;

// A double has at most 767 significant decimal digits and at most 1074
// decimals; digits asked beyond these are zeros and are counted, not made.
inline constexpr int kMaxExactSignificant = 780;
inline constexpr int kMaxExactFraction = 1080;

struct ScientificDigits {
    std::string_view digits;  // |value| rounded to the significant digits asked for
    int trailing_zeros = 0;   // zero digits that follow `digits`
    int exponent = 0;         // of the first digit after rounding; 0 for zero
};

// |value| = d.ddd... x 10^exponent, rounded to `significant` (>= 1) digits.
ScientificDigits scientific_digits(double value, int significant, DigitBuffer& buffer);

// The same digits, exact in integer arithmetic, for a normal value whose
// n-digit decimals are the multiples of 10^k with -27 <= k <= 0 (about
// 1e-13 to 1e15 for 15 digits), n up to kMaxIntegerSignificant; empty
// otherwise. scientific_digits tries it first.
inline constexpr int kMaxIntegerSignificant = 16;
std::optional<ScientificDigits> integer_scientific_digits(double value, int significant, DigitBuffer& buffer);

// The same digits, from the cheaper shortest round-trip conversion, for
// a normal nonzero finite value and up to kMaxShortestSignificant digits;
// empty when the value lies too near a tie (or outside that range) for the
// shortest digits to decide the rounding. scientific_digits tries it next.
inline constexpr int kMaxShortestSignificant = 15;
std::optional<ScientificDigits> shortest_scientific_digits(double value, int significant, DigitBuffer& buffer);

// The same for a finite binary128 value, from its correctly rounded
// conversion (ties to the even digit, like the double's). Every digit is
// made; std::logic_error beyond kMaxQuadSignificant, more than any field
// of the program asks for (E40.32 takes 33).
inline constexpr int kMaxQuadSignificant = 1300;
ScientificDigits quad_scientific_digits(Quad value, int significant, DigitBuffer& buffer);

struct FixedDigits {
    std::string_view integer;   // at least one digit ("0" when |value| rounds below 1)
    std::string_view fraction;  // the decimals asked for (up to kMaxExactFraction)
    int trailing_zeros = 0;     // zero decimals that follow `fraction`
};

// |value| rounded to `decimals` (>= 0) digits after the point.
FixedDigits fixed_digits(double value, int decimals, DigitBuffer& buffer);

}  // namespace kestrelfold
