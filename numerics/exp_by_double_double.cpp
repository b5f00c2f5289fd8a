#include "numerics/exp_by_double_double.h"

#include <cstdint>

#include "numerics/exp_reduction.h"
#include "numerics/exp_table.h"

namespace kestrelfold {

namespace {

// Veltkamp's splitter: hi = c - (c - a), c = a * (2^27 + 1), keeps the 26
// leading bits of a; a - hi holds the rest in 26 bits or fewer.
constexpr double kSplitter = 0x1p27 + 1;
// The bound of the analysis below, 2^-71.6, rounded up with room to spare.
constexpr double kRelativeError = 0x1p-70;

// a + b = sum + error exactly, whatever their magnitudes (Knuth).
struct ExactSum {
    double sum;
    double error;
};
ExactSum two_sum(double a, double b) {
    const double sum = a + b;
    const double b_part = sum - a;
    return {sum, (a - (sum - b_part)) + (b - b_part)};
}

}  // namespace

// Error analysis, for 2^-60 <= |x| < 708, relative to the result
// (u = 2^-53, R = max |r|):
//
// Reduction. k = round(x * 512/ln 2), |k| < 2^20, x = k ln2/512 + r with
// |r| <= (ln2/512)(1/2 + 2^-33) = R = 6.770e-4 = 2^-10.53. ln2/512 =
// step1 + step2 + step3 + d, |d| < 2^-131; step1 and step2 have 33
// significant bits, so k*step1 and k*step2 are exact; x - k*step1 is exact
// (Sterbenz for |k| >= 2; for |k| = 1 both are multiples of ulp(x) >= 2^-63
// and the difference is below 2^-10, within 53 bits); two_sum makes rh + rl
// exact; k*step3 (< 2^-57) and rl - k*step3 round by under 2^-109
// each. So |rh + rl - r| < 2^-108.
//
// Polynomial. e^r - 1 = r + r^2/2 + ... + r^5/120 + E, |E| <= R^6/720 *
// (1 + R) < 2^-72.66. q = rh^2 (1/2 + rh/6 + rh^2/24 + rh^3/120) by Horner
// in double: three roundings of u on a value below R^2/2 (1 + R/3) <
// 2^-22.05, the coefficients' own rounding far below that: error <
// 3.001 u 2^-22.05 = 2^-73.47. t = rl + (q + rh rl) adds the first-order
// term of rl in r^2/2 (rh rl < 2^-67.4) and rl itself: two roundings of a
// value below 2^-22.04, < 2^-74.05; the terms of rl left out (rh^2 rl/2,
// rl^2/2) are below 2^-78.9.
//
// Reconstruction. 2^(j/512) = hi + lo + d', hi of 26 bits, |lo| < 2^-26,
// |d'| <= 2^-80. ph + pl = rh + t exactly (two_sum); ph splits into PH + PL
// of 26 bits each, so hi*PH and hi*PL are exact, and s + z = hi + hi*PH
// exactly (Fast2Sum, |hi*PH| < hi). lo = z + (hi*PL + (hi*pl + (lo +
// lo*ph))): four roundings of values below 2^-25 (< 2^-79 each) and lo*pl
// left out (< 2^-90): < 2^-76.9.
//
// Total, relative to 2^(j/512) e^r >= e^-R: 2^-72.66 + 2^-73.47 + 2^-74.05
// + 2^-76.9 + 2^-78.9 + 2^-80 + 2^-108 < 2^-71.6; kRelativeError = 2^-70.
// lo +- e round by under 2^-79, within the margin. Rounding to nearest is
// monotonic, so when s + (lo - e) and s + (lo + e) round to the same double,
// so does the true value; the scaling by 2^m is exact for a normal result.
//
// Subnormals flushed to zero: a flushed intermediate is below 2^-1022 in
// magnitude and enters s + lo at most doubled, so flushing every one of
// them moves s + lo by less than 2^-1015: nothing beside the bound. A
// subnormal x, read as zero, gives 1, as its e^x rounds to.
std::optional<double> exp_by_double_double(double x) {
    using namespace exp_reduction;
    if (!in_range(x)) return std::nullopt;
    const double kf = steps(x);
    const auto k = static_cast<std::int32_t>(kf);

    const ExactSum r = two_sum(x - kf * kExpStep1, -(kf * kExpStep2));
    const double rh = r.sum;
    const double rl = r.error - kf * kExpStep3;

    const double q = (rh * rh) * (0.5 + rh * (1.0 / 6 + rh * (1.0 / 24 + rh * (1.0 / 120))));
    const ExactSum p = two_sum(rh, rl + (q + rh * rl));

    const double c = p.sum * kSplitter;
    const double p_hi = c - (c - p.sum);
    const double p_lo = p.sum - p_hi;

    const ExpTableEntry& table = entry(k);
    const double shifted = table.hi * p_hi;
    const double s = table.hi + shifted;
    const double z = (table.hi - s) + shifted;
    const double lo = z + (table.hi * p_lo + (table.hi * p.error + (table.lo + table.lo * p.sum)));

    const double e = s * kRelativeError;
    const double below = s + (lo - e);
    if (below != s + (lo + e)) return std::nullopt;
    return scaled(below, k);
}

}  // namespace kestrelfold
