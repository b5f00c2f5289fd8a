#include "numerics/fixed_point.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace kestrelfold {

namespace {

constexpr int kLimbBits = 32;

void require_same_precision(const FixedPoint& a, const FixedPoint& b) {
    if (a.fraction_limbs() != b.fraction_limbs()) {
        throw std::invalid_argument("fixed-point numbers of different precisions");
    }
}

}  // namespace

FixedPoint::FixedPoint(int fraction_limbs) : limbs_(static_cast<std::size_t>(fraction_limbs) + 1, 0) {}

FixedPoint FixedPoint::power_of_two(int fraction_limbs, int exponent) {
    FixedPoint result(fraction_limbs);
    const int bit = exponent + kLimbBits * fraction_limbs;
    if (bit < 0 || exponent >= kLimbBits) throw std::invalid_argument("power of two outside the fixed-point range");
    result.limbs_[static_cast<std::size_t>(bit / kLimbBits)] = std::uint32_t{1} << (bit % kLimbBits);
    return result;
}

FixedPoint FixedPoint::magnitude_of(double value, int fraction_limbs) {
    // value = significand * 2^exponent, from the bits, so that the mode of
    // the floating-point unit (denormals as zero) plays no part.
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value) & ~(std::uint64_t{1} << 63);
    const int biased = static_cast<int>(bits >> 52);
    std::uint64_t significand = bits & ((std::uint64_t{1} << 52) - 1);
    if (biased != 0) significand |= std::uint64_t{1} << 52;
    int exponent = (biased != 0 ? biased : 1) - 1075;
    FixedPoint result(fraction_limbs);
    if (significand == 0) return result;
    const int trailing_zeros = std::countr_zero(significand);
    significand >>= trailing_zeros;
    exponent += trailing_zeros;
    const int shift = exponent + kLimbBits * fraction_limbs;
    if (shift < 0 || static_cast<int>(std::bit_width(significand)) + exponent > kLimbBits) {
        throw std::invalid_argument("value outside the fixed-point range");
    }
    for (int bit = 0; bit < static_cast<int>(std::bit_width(significand)); ++bit) {
        if ((significand >> bit) & 1) {
            const int at = bit + shift;
            result.limbs_[static_cast<std::size_t>(at / kLimbBits)] |= std::uint32_t{1} << (at % kLimbBits);
        }
    }
    return result;
}

bool FixedPoint::is_zero() const {
    for (const std::uint32_t limb : limbs_) {
        if (limb != 0) return false;
    }
    return true;
}

int FixedPoint::bit_length() const {
    for (std::size_t i = limbs_.size(); i-- > 0;) {
        if (limbs_[i] != 0) return static_cast<int>(i) * kLimbBits + static_cast<int>(std::bit_width(limbs_[i]));
    }
    return 0;
}

std::uint64_t FixedPoint::ulps_shifted_right(int shift) const {
    if (bit_length() - shift > 64) throw std::invalid_argument("shifted value wider than 64 bits");
    std::uint64_t result = 0;
    for (int bit = std::max(shift, 0); bit < bit_length(); ++bit) {
        const std::uint32_t limb = limbs_[static_cast<std::size_t>(bit / kLimbBits)];
        if ((limb >> (bit % kLimbBits)) & 1) result |= std::uint64_t{1} << (bit - shift);
    }
    return result;
}

FixedPoint FixedPoint::truncated_to(int fraction_limbs) const {
    FixedPoint result(fraction_limbs);
    const std::size_t dropped = limbs_.size() - result.limbs_.size();
    for (std::size_t i = 0; i < result.limbs_.size(); ++i) result.limbs_[i] = limbs_[i + dropped];
    return result;
}

bool FixedPoint::operator<(const FixedPoint& other) const {
    require_same_precision(*this, other);
    for (std::size_t i = limbs_.size(); i-- > 0;) {
        if (limbs_[i] != other.limbs_[i]) return limbs_[i] < other.limbs_[i];
    }
    return false;
}

FixedPoint& FixedPoint::operator+=(const FixedPoint& other) {
    require_same_precision(*this, other);
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
        carry += std::uint64_t{limbs_[i]} + other.limbs_[i];
        limbs_[i] = static_cast<std::uint32_t>(carry);
        carry >>= kLimbBits;
    }
    if (carry != 0) throw std::overflow_error("fixed-point sum of 2^32 or more");
    return *this;
}

FixedPoint& FixedPoint::operator-=(const FixedPoint& other) {
    require_same_precision(*this, other);
    if (*this < other) throw std::underflow_error("fixed-point difference below zero");
    std::uint64_t borrow = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
        const std::uint64_t taken = std::uint64_t{other.limbs_[i]} + borrow;
        borrow = limbs_[i] < taken ? 1 : 0;
        limbs_[i] = static_cast<std::uint32_t>((std::uint64_t{limbs_[i]} + (borrow << kLimbBits)) - taken);
    }
    return *this;
}

FixedPoint& FixedPoint::add_ulps(std::uint32_t ulps) {
    FixedPoint amount(fraction_limbs());
    amount.limbs_[0] = ulps;
    return *this += amount;
}

FixedPoint& FixedPoint::subtract_ulps(std::uint32_t ulps) {
    FixedPoint amount(fraction_limbs());
    amount.limbs_[0] = ulps;
    return *this -= amount;
}

FixedPoint& FixedPoint::operator*=(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs_) {
        carry += std::uint64_t{limb} * factor;
        limb = static_cast<std::uint32_t>(carry);
        carry >>= kLimbBits;
    }
    if (carry != 0) throw std::overflow_error("fixed-point product of 2^32 or more");
    return *this;
}

FixedPoint& FixedPoint::operator/=(std::uint32_t divisor) {
    if (divisor == 0) throw std::domain_error("fixed-point division by zero");
    std::uint64_t remainder = 0;
    for (std::size_t i = limbs_.size(); i-- > 0;) {
        const std::uint64_t dividend = (remainder << kLimbBits) | limbs_[i];
        limbs_[i] = static_cast<std::uint32_t>(dividend / divisor);
        remainder = dividend % divisor;
    }
    return *this;
}

FixedPoint operator*(const FixedPoint& a, const FixedPoint& b) {
    require_same_precision(a, b);
    // The full product has 2 * fraction_limbs fraction limbs; the lower half
    // of them is dropped.
    const std::size_t n = a.limbs_.size();
    std::vector<std::uint32_t> full(2 * n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < n; ++j) {
            carry += std::uint64_t{a.limbs_[i]} * b.limbs_[j] + full[i + j];
            full[i + j] = static_cast<std::uint32_t>(carry);
            carry >>= kLimbBits;
        }
        full[i + n] = static_cast<std::uint32_t>(carry);
    }
    FixedPoint result(a.fraction_limbs());
    const std::size_t dropped = n - 1;
    for (std::size_t i = 0; i < n; ++i) result.limbs_[i] = full[i + dropped];
    for (std::size_t i = n + dropped; i < full.size(); ++i) {
        if (full[i] != 0) throw std::overflow_error("fixed-point product of 2^32 or more");
    }
    return result;
}

}  // namespace kestrelfold
