#pragma once
// What the two double paths of correctly_rounded_exp share: the reduction
// x = k ln2/512 + r with k the whole number nearest to x 512/ln 2, the
// table entry of 2^(j/512), j = k mod 512, and the scaling by 2^m,
// m = floor(k/512), so that e^x = 2^m 2^(j/512) e^r.
#include <bit>
#include <cstdint>

#include "numerics/exp_table.h"

namespace kestrelfold::exp_reduction {

// Between these |x|, e^x is a normal double other than 1, |k| < 2^20, and
// no intermediate of either path comes near the subnormals (whose making
// would signal a false underflow). Below, e^x rounds to 1.
inline constexpr double kLeast = 0x1p-60;
inline constexpr double kBound = 708.0;

// Adding and subtracting 1.5 * 2^52 rounds a double below 2^51 in magnitude
// to a whole number (ties to even).
inline constexpr double kRoundingShift = 0x1.8p52;

// ln2/512 - step1 rounded: within 2^-96.5 of step2 + step3.
inline constexpr double kExpStepRest = kExpStep2 + kExpStep3;

// |x| in [kLeast, kBound), in one comparison of the bits of |x|, which
// order as the values do (a NaN's bits are above every number's).
inline bool in_range(double x) {
    constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
    constexpr std::uint64_t kLeastBits = std::bit_cast<std::uint64_t>(kLeast);
    constexpr std::uint64_t kBoundBits = std::bit_cast<std::uint64_t>(kBound);
    return (std::bit_cast<std::uint64_t>(x) & ~kSign) - kLeastBits < kBoundBits - kLeastBits;
}

// k as a double, exactly.
inline double steps(double x) { return (x * kExpStepsPerUnit + kRoundingShift) - kRoundingShift; }

inline const ExpTableEntry& entry(std::int32_t k) { return kExpTable[k & ((1 << kExpTableBits) - 1)]; }

// y 2^m, m = floor(k/512), formed in the exponent's bits: exact for
// y in [0.5, 2) when the result is normal, as it is for x in range.
inline double scaled(double y, std::int32_t k) {
    const std::int64_t m = k >> kExpTableBits;
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(y) + (static_cast<std::uint64_t>(m) << 52));
}

}  // namespace kestrelfold::exp_reduction
