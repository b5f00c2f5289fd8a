#pragma once
// e^x correctly rounded to nearest (ties to even) for every double x, by
// exact fixed-point arithmetic of growing precision: slow (microseconds),
// used where the fast path of correctly_rounded_exp cannot decide the
// rounding, where the result is subnormal, overflows or underflows, and for
// NaN and the infinities. The result and the exceptions it signals are those
// of IEEE 754: +inf with overflow above the largest double, +0 or a
// subnormal with underflow below the smallest normal, e^+inf = +inf,
// e^-inf = +0, a quiet NaN for a NaN. It does not depend on the
// floating-point unit's modes (a subnormal result is made from its bits,
// also where denormals are flushed to zero).
#include <optional>

namespace kestrelfold {

double exp_by_fixed_point(double x);

// One precision of it: e^x from 32 * fraction_limbs binary places
// (fraction_limbs >= 4), when they decide the rounding, for 2^-60 <= |x|
// <= 746. Nothing when they do not (at 128 places, for a few arguments in
// 2^60; each doubling of the places squares that share).
std::optional<double> exp_by_fixed_point_at(double x, int fraction_limbs);

}  // namespace kestrelfold
