#pragma once
// e^x correctly rounded to nearest, ties to even: the double nearest to the
// true value, the one every platform and processor can give, so that the
// program's results are the same bits everywhere. Special values, overflow
// and underflow are as IEEE 754 has them (numerics/exp_by_fixed_point.h).
//
// Three paths, each taken only where the one before cannot decide the
// rounding: in double arithmetic, inline for the solver's loop over the
// nodes (all but about 1 % of the arguments); in double-double arithmetic
// (numerics/exp_by_double_double.h: all but about one in 10^5 of the
// rest); exactly, in fixed point of growing precision
// (numerics/exp_by_fixed_point.h), which also takes the special values and
// |x| outside [2^-60, 708). Only IEEE double operations in the order
// written (no contraction, no fused multiply-add), so it needs no
// particular processor; and flushing subnormals to zero, which the program
// does for its whole run, changes none of its results (see below).
#include <cstdint>

#include "numerics/exp_reduction.h"
#include "numerics/exp_table.h"

namespace kestrelfold {

// e^x where the double path leaves it: double-double, then exactly.
double exp_undecided_in_double(double x);

namespace exp_double_path {

// The bound of the analysis below on y = hi + lo, 2^-60.7 (2^-61.7
// relative, y < 2), and the rounding of lo -+ it (< 2^-63), rounded up.
inline constexpr double kError = 0x1p-60;

}  // namespace exp_double_path

// Error analysis of the double path, for 2^-60 <= |x| < 708, relative to
// the result (u = 2^-53):
//
// Reduction. k = round(x * 512/ln 2), |k| < 2^20, x = k ln2/512 + r with
// |r| <= (ln2/512)(1/2 + 2^-33) = R = 6.770e-4 = 2^-10.53. step1 has 33
// significant bits, so k*step1 is exact, and x - k*step1 is exact (Sterbenz
// for |k| >= 2; for |k| = 1 both are multiples of ulp(x) >= 2^-63 and the
// difference is below 2^-10, within 53 bits). k*rest rounds by under
// 2^-77.5, rest is within 2^-96.5 of ln2/512 - step1 (times |k| < 2^20:
// 2^-76.5), and the difference, below 2^-10, rounds by at most 2^-64: the
// r used is within 2^-63.99 of r.
//
// Polynomial. e^r - 1 = r + r^2/2 + ... + r^5/120 + E, |E| <= R^6/720 *
// (1 + R) < 2^-72.66. q = r^2 ((1/2 + r/6) + r^2 (1/24 + r/120)): four
// roundings of u on a value below 2^-22.05 (2^-73.05), and r's error
// through r^2/2 (2^-74.5); p = r + q, below 2^-10, rounds by at most
// 2^-64. So p is within 2^-62.97 of e^r - 1.
//
// Reconstruction. 2^(j/512) = hi + lo + d, hi of 26 bits, |lo| < 2^-26,
// |d| <= 2^-80; y = hi + (hi*p + (lo + lo*p)). p's error enters y times
// 2^(j/512), so relative to the result 2^(j/512) e^r it stays below
// 2^-62.97 e^R. hi*p and the sum after it are below 2^-9 and round by
// at most 2^-63, but only when they exceed 2^-10, that is when hi > 1.44,
// and by 2^-64 otherwise: 2^-63.53 each relative to the result. lo*p
// (< 2^-36.5) and lo + lo*p round by under 2^-79.
//
// Total: 2^-62.97 e^R + 2 * 2^-63.53 + 2^-78 + 2^-80 < 2^-61.7 of the
// result, which is below 2, and lo -+ e round by at most 2^-63: kError =
// 2^-60 covers both (0.73 of it). Measured against MPFR on 2 * 10^6
// arguments, the largest error was 2^-61.9 of the result. Rounding to nearest is monotonic, so when hi + (lo - e)
// and hi + (lo + e) round to the same double, so does the true value; the
// scaling by 2^m is exact for a normal result.
//
// Subnormals flushed to zero: a flushed intermediate is below 2^-1022 in
// magnitude and enters y at most doubled, so flushing every one of them
// moves y by less than 2^-1015: nothing beside the bound. A subnormal x,
// read as zero, gives 1, as its e^x rounds to.
//
// Where |x| is not in [2^-60, 708) (x NaN included) or the rounding is not
// decided, the result is otherwise(x). (A result passed back as an optional
// would go through memory in the solver's loop; a call does not.)
template <typename Otherwise>
inline double exp_by_double(double x, Otherwise otherwise) {
    using namespace exp_reduction;
    if (!in_range(x)) return otherwise(x);
    const double kf = steps(x);
    const auto k = static_cast<std::int32_t>(kf);
    const double r = (x - kf * kExpStep1) - kf * kExpStepRest;
    const double r2 = r * r;
    const double p = r + r2 * ((0.5 + r * (1.0 / 6)) + r2 * (1.0 / 24 + r * (1.0 / 120)));
    const ExpTableEntry& table = entry(k);
    const double lo = table.hi * p + (table.lo + table.lo * p);
    const double below = table.hi + (lo - exp_double_path::kError);
    if (below != table.hi + (lo + exp_double_path::kError)) return otherwise(x);
    return scaled(below, k);
}

inline double correctly_rounded_exp(double x) { return exp_by_double(x, exp_undecided_in_double); }

}  // namespace kestrelfold
