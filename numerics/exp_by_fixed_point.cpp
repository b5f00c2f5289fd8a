#include "numerics/exp_by_fixed_point.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "numerics/fixed_point.h"

namespace kestrelfold {

namespace {

// Beyond these, e^x is above 2^1024 or below 2^-1075 (ln 2^1024 = 709.78...,
// ln 2^-1075 = -745.13...): it rounds to +inf or to +0.
constexpr double kExpOverflowsAbove = 709.79;
constexpr double kExpUnderflowsBelow = -745.2;
// For |x| < 2^-60, e^x lies strictly between 1 - 2^-54 and 1 + 2^-53, the
// midpoints next to 1: it rounds to 1.
constexpr double kExpIsOneBelow = 0x1p-60;
// The first precision tried: 128 binary places hold every |x| >= 2^-60
// exactly and decide all but a few arguments in 2^60; each retry doubles it.
constexpr int kFirstFractionLimbs = 4;

double signal_overflow() {
    volatile double huge = 0x1p1023;
    return huge * huge;
}

double signal_underflow(double result) {
    volatile double tiny = 0x1p-1022;
    tiny = tiny * tiny;
    return result;
}

// ln 2 = sum over i >= 1 of 2^-i / i, each term truncated: with G fraction
// limbs, the 32G terms that are not zero and the tail after them leave it
// below ln 2 by at most 32G + 1 ulps.
FixedPoint ln2_by_series(int fraction_limbs) {
    FixedPoint sum(fraction_limbs);
    const int places = 32 * fraction_limbs;
    for (int i = 1; i <= places; ++i) {
        FixedPoint term = FixedPoint::power_of_two(fraction_limbs, -i);
        term /= static_cast<std::uint32_t>(i);
        sum += term;
    }
    return sum;
}

// ln 2 below its true value by at most 2 ulps: the series at one more limb
// (its error under 2^-32 * (32G + 1) of these ulps), truncated. The series
// of 40 limbs, which serves up to 1248 places, is computed once.
FixedPoint ln2_fixed(int fraction_limbs) {
    constexpr int kKeptLimbs = 40;
    static const FixedPoint kept = ln2_by_series(kKeptLimbs);
    if (fraction_limbs + 1 <= kKeptLimbs) return kept.truncated_to(fraction_limbs);
    return ln2_by_series(fraction_limbs + 1).truncated_to(fraction_limbs);
}

struct Approximation {
    FixedPoint value;     // e^r in ulps
    std::uint32_t error;  // ulps
};

// e^(+-|r|) for |r| <= 0.36 by its Taylor series. Each term is the one
// before times |r| (truncated) over i (truncated): two truncations of under
// one ulp and the term before's error times |r|/i < 0.36, so every term is
// within 2 ulps; the series stops at the first term that truncates to zero,
// whose true value is then under 2 ulps and the tail after it under 3.
Approximation exp_by_taylor(const FixedPoint& magnitude, bool negative) {
    const int limbs = magnitude.fraction_limbs();
    FixedPoint added = FixedPoint::power_of_two(limbs, 0);
    FixedPoint subtracted(limbs);
    FixedPoint term = added;
    std::uint32_t terms = 0;
    for (std::uint32_t i = 1; !term.is_zero(); ++i) {
        term = term * magnitude;
        term /= i;
        (negative && i % 2 == 1 ? subtracted : added) += term;
        terms = i;
    }
    added -= subtracted;
    return {added, 2 * terms + 3};
}

// e^x = 2^k e^r, r = x - k ln 2, as an integer count Y of ulps with
// |Y - e^r / ulp| <= error.
Approximation reduced_exp(double x, int k, int fraction_limbs) {
    const std::uint32_t steps = static_cast<std::uint32_t>(std::abs(k));
    FixedPoint whole_steps = ln2_fixed(fraction_limbs);
    whole_steps *= steps;
    const FixedPoint argument = FixedPoint::magnitude_of(x, fraction_limbs);
    // x and k have one sign: |r| = | |x| - |k| ln 2 |.
    const bool argument_larger = whole_steps < argument;
    FixedPoint r = argument_larger ? argument : whole_steps;
    r -= argument_larger ? whole_steps : argument;
    const bool r_negative = (x < 0) == argument_larger;
    Approximation result = exp_by_taylor(r, r_negative);
    // |k| ln 2 is low by at most 2|k| ulps, which moves e^r (at most e^0.36)
    // by at most 1.44 * 2|k|.
    result.error += 3 * steps + 1;
    return result;
}

// The double nearest to 2^k * Y * ulp when every value within the error of
// Y rounds to it; nothing when the interval holds a midpoint between two
// doubles (a power of two included) and a finer precision must decide.
std::optional<double> rounded(const Approximation& reduced, int k) {
    FixedPoint lower = reduced.value;
    lower.subtract_ulps(reduced.error);
    FixedPoint upper = reduced.value;
    upper.add_ulps(reduced.error);
    const int places = 32 * reduced.value.fraction_limbs();
    const int exponent = k + upper.bit_length() - 1 - places;  // 2^exponent <= upper's value
    const int last_place = std::max(exponent - 52, -1074);      // of the result, subnormal or not
    const int half_ulp_shift = last_place - 1 - (k - places);
    const std::uint64_t half_ulps = upper.ulps_shifted_right(half_ulp_shift);
    if (lower.ulps_shifted_right(half_ulp_shift) != half_ulps) return std::nullopt;
    const std::uint64_t significand = (half_ulps + 1) >> 1;
    if (exponent - 52 < -1074) return signal_underflow(std::bit_cast<double>(significand));
    if (exponent + 1023 >= 2047) return signal_overflow();
    // A significand rounded up to 2^53 carries into the exponent; into
    // 2047 it makes the bits of +inf.
    const std::uint64_t bits = (static_cast<std::uint64_t>(exponent + 1023) << 52) + (significand - (std::uint64_t{1} << 52));
    const double result = std::bit_cast<double>(bits);
    return std::isinf(result) ? signal_overflow() : result;
}

}  // namespace

double exp_by_fixed_point(double x) {
    if (std::isnan(x)) return x + x;
    if (x > kExpOverflowsAbove) return x == INFINITY ? x : signal_overflow();
    if (x < kExpUnderflowsBelow) return x == -INFINITY ? 0.0 : signal_underflow(0.0);
    if (std::fabs(x) < kExpIsOneBelow) return 1.0;
    // e^x is never a midpoint between doubles (e^x is irrational for a
    // rational x other than 0), so a precision that decides it exists.
    for (int limbs = kFirstFractionLimbs;; limbs *= 2) {
        if (const std::optional<double> result = exp_by_fixed_point_at(x, limbs)) return *result;
    }
}

std::optional<double> exp_by_fixed_point_at(double x, int fraction_limbs) {
    // Any whole k will do; the nearest to x / ln 2 keeps |r| <= 0.35.
    const int k = static_cast<int>(std::nearbyint(x * 1.4426950408889634));
    return rounded(reduced_exp(x, k, fraction_limbs), k);
}

}  // namespace kestrelfold
