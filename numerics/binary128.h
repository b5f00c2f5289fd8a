#pragma once
// IEEE binary128, GCC's __float128, the number type of kestrelfold-quad: a
// 113-bit significand, so that round-off is some 10^18 times smaller than in
// double and the discrete solution itself shows. Its arithmetic is GCC's
// (software, exact IEEE rounding); the functions libquadmath adds to it are
// reached through here only, so that no other source needs its header.
#include <bit>
#include <cstddef>
#include <cstdint>

namespace kestrelfold {

__extension__ using Quad = __float128;
__extension__ using QuadBits = unsigned __int128;

// e^x, correctly rounded to within libquadmath's accuracy (expq).
Quad exp_of(Quad x);

// The binary128 value nearest to a decimal text such as "0.2" or
// "1.7182818284590452353602874713526624977572" (strtoflt128, which rounds
// correctly). std::invalid_argument when the text is not a whole number.
Quad quad_from_decimal(const char* text);

// |value| in scientific form with `decimals` digits after the point,
// correctly rounded, a tie to the even digit: "d.ddde+xx" (quadmath_snprintf).
// Returns the length written into `text` (of `size` bytes), or -1 when it
// does not fit. `value` must be finite.
int quad_scientific_text(Quad value, int decimals, char* text, std::size_t size);

inline bool quad_is_nan(Quad value) { return value != value; }
inline bool quad_sign_bit(Quad value) { return (std::bit_cast<QuadBits>(value) >> 127) != 0; }
inline bool quad_is_finite(Quad value) { return !quad_is_nan(value) && !quad_is_nan(value - value); }

}  // namespace kestrelfold
