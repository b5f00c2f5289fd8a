#pragma once
// Non-negative binary fixed-point numbers of any precision: an integer part
// below 2^32 and `fraction_limbs` 32-bit limbs of binary places. They carry
// the exponential's slow path (numerics/exp_by_fixed_point.cpp), which needs
// a few hundred bits of exact integer arithmetic and nothing of a library.
// Every operation either is exact or truncates (rounds towards zero) by
// less than one unit of the last place (an ulp, 2^-(32 * fraction_limbs));
// the callers count those ulps into their error bounds.
#include <cstdint>
#include <vector>

namespace kestrelfold {

class FixedPoint {
public:
    // Zero with the given number of fraction limbs.
    explicit FixedPoint(int fraction_limbs);

    // 2^exponent, for -32 * fraction_limbs <= exponent < 32.
    static FixedPoint power_of_two(int fraction_limbs, int exponent);
    // |value| exactly; |value| must be below 2^32 and a whole number of ulps.
    static FixedPoint magnitude_of(double value, int fraction_limbs);

    int fraction_limbs() const { return static_cast<int>(limbs_.size()) - 1; }
    bool is_zero() const;
    // The number of bits of the value counted in ulps (0 for zero).
    int bit_length() const;
    // The value in ulps, shifted right by `shift` bits; the result must fit 64 bits.
    std::uint64_t ulps_shifted_right(int shift) const;
    // The same value with fewer fraction limbs, truncated.
    FixedPoint truncated_to(int fraction_limbs) const;

    bool operator<(const FixedPoint& other) const;
    FixedPoint& operator+=(const FixedPoint& other);
    FixedPoint& operator-=(const FixedPoint& other);  // *this >= other
    FixedPoint& add_ulps(std::uint32_t ulps);
    FixedPoint& subtract_ulps(std::uint32_t ulps);     // *this >= ulps
    FixedPoint& operator*=(std::uint32_t factor);       // the product below 2^32: exact
    FixedPoint& operator/=(std::uint32_t divisor);      // truncated
    // The product, truncated.
    friend FixedPoint operator*(const FixedPoint& a, const FixedPoint& b);

private:
    std::vector<std::uint32_t> limbs_;  // least significant first; the last is the integer part
};

}  // namespace kestrelfold
