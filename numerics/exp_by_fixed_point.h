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
namespace kestrelfold {

double exp_by_fixed_point(double x);

}  // namespace kestrelfold
