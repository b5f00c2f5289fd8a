#include "output/decimal_digits.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace kestrelfold {

namespace {

std::string_view convert(double magnitude, std::chars_format form, int precision, DigitBuffer& buffer) {
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude, form, precision);
    if (error != std::errc()) throw std::logic_error("decimal conversion does not fit its buffer");
    return {buffer.data(), static_cast<std::size_t>(end - buffer.data())};
}

// The exponent after the 'e' of a to_chars result: a sign, then digits.
int parse_exponent(const char* sign, const char* end) {
    int exponent = 0;
    for (const char* p = sign + 1; p < end; ++p) exponent = exponent * 10 + (*p - '0');
    return *sign == '-' ? -exponent : exponent;
}

// A conversion of `made` significant digits in the buffer, "d.ddde+xx" or
// "de+xx" for one digit, as one run of digits and the exponent.
ScientificDigits parse_scientific_text(std::string_view text, int made, DigitBuffer& buffer) {
    const std::size_t e = made == 1 ? 1 : static_cast<std::size_t>(made) + 1;
    if (e >= text.size() || text[e] != 'e') throw std::logic_error("unexpected form of a decimal conversion");
    ScientificDigits result;
    result.exponent = parse_exponent(text.data() + e + 1, text.data() + text.size());
    if (made == 1) {
        result.digits = text.substr(0, 1);
    } else {
        // Close the gap of the point so that the digits are one run.
        buffer[1] = buffer[0];
        result.digits = text.substr(1, e - 1);
    }
    return result;
}

// Digits asked for with precision made - 1.
ScientificDigits exact_scientific(double magnitude, int made, DigitBuffer& buffer) {
    return parse_scientific_text(convert(magnitude, std::chars_format::scientific, made - 1, buffer), made, buffer);
}

bool is_normal_finite_nonzero(double value) {
    const auto biased_exponent = (std::bit_cast<std::uint64_t>(value) >> 52) & 0x7ff;
    return biased_exponent != 0 && biased_exponent != 0x7ff;
}

constexpr auto kPowersOfTen = [] {
    std::array<std::uint64_t, 18> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
    return powers;
}();

// 5^27 is the largest power of five below 2^63.
constexpr auto kPowersOfFive = [] {
    std::array<std::uint64_t, 28> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 5;
    return powers;
}();

__extension__ using Uint128 = unsigned __int128;

// The eight decimal digits of v < 10^8 as the bytes of a word, first digit
// in the lowest byte, all worked out at once: the halves v / 10^4 and
// v % 10^4 in 32-bit lanes, then their hundreds and tens in 16-bit lanes.
// x * 5243 >> 19 is x / 100 for x < 10^4, x * 103 >> 10 is x / 10 for
// x < 100, and no lane overflows into the next.
std::uint64_t eight_digits(std::uint64_t v) {
    const std::uint64_t halves = v / 10000 | (v % 10000) << 32;
    const std::uint64_t hundreds = ((halves * 5243) >> 19) & 0x000000FF000000FF;
    const std::uint64_t pairs = hundreds | (halves - hundreds * 100) << 16;
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000F;
    const std::uint64_t ones = pairs - tens * 10;
    return (tens | ones << 8) + 0x3030303030303030;
}

// The bytes of a word, lowest first.
void put_bytes(std::uint64_t word, char* out) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &word, sizeof word);
    } else {
        for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(word >> (8 * i));
    }
}

// The 16 digits of value < 10^16, leading zeros included.
void put_sixteen_digits(std::uint64_t value, char* out) {
    put_bytes(eight_digits(value / 100000000), out);
    put_bytes(eight_digits(value % 100000000), out + 8);
}

std::uint64_t digit_value(const char* digits, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = value * 10 + static_cast<std::uint64_t>(digits[i] - '0');
    return value;
}

// Exact digits in integers, for the magnitudes that tables mostly hold. A
// normal double is v = m * 2^q exactly (m < 2^53). In its decade
// [10^p, 10^(p+1)) the n-digit decimals are the multiples of 10^k, k = p-n+1,
// and for -27 <= k <= 0, v / 10^k = m * 5^-k / 2^s with s = k - q. Then
// P = m * 5^-k < 2^116, and for 0 < s < 128 the quotient and remainder of
// P / 2^s are exact: rounding to nearest, a tie to the even digit, is done on
// the exact value. The decade is guessed from the binary exponent and
// corrected by the number of digits of the quotient, so the guess need not
// be exact.
// False outside those ranges.
bool digits_from_integers(double magnitude, int n, DigitBuffer& buffer, ScientificDigits& result) {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int e = static_cast<int>(bits >> 52) - 1023;  // 2^e <= v < 2^(e+1)
    const int q = e - 52;
    // 2^e lies in the decade e * log10(2) rounded down, v in that one or the next.
    int p = (e * 78913) >> 18;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = p - n + 1;
        const int s = k - q;
        if (k > 0 || -k >= static_cast<int>(kPowersOfFive.size()) || s <= 0 || s >= 128) return false;
        const Uint128 scaled = Uint128{m} * kPowersOfFive[static_cast<std::size_t>(-k)];
        const Uint128 quotient = scaled >> s;
        if (quotient >= kPowersOfTen[static_cast<std::size_t>(n)]) {
            ++p;
            continue;
        }
        if (quotient < kPowersOfTen[static_cast<std::size_t>(n - 1)]) {
            --p;
            continue;
        }
        auto rounded = static_cast<std::uint64_t>(quotient);
        const Uint128 remainder = scaled - (quotient << s);
        const Uint128 half = Uint128{1} << (s - 1);
        if (remainder > half || (remainder == half && (rounded & 1) != 0)) ++rounded;
        if (rounded == kPowersOfTen[static_cast<std::size_t>(n)]) {
            rounded = kPowersOfTen[static_cast<std::size_t>(n - 1)];
            ++p;
        }
        put_sixteen_digits(rounded, buffer.data());
        const char* const digits = buffer.data() + 16 - n;
        result.digits = std::string_view(digits, static_cast<std::size_t>(n));
        result.trailing_zeros = 0;
        result.exponent = p;
        return true;
    }
    return false;
}

// Why the shortest round-trip decimal D of a normal double v gives the digits
// of v itself. Let v lie in [2^e, 2^(e+1)) and in the decade [10^p, 10^(p+1)),
// and let s = 10^(p-n+1) be the spacing of the n-digit decimals there.
//  - D reads back as v, so |D - v| <= 2^(e-53) <= v * 2^-53 (half the spacing
//    of doubles above v; below a power of two it is even narrower).
//  - D lies in [10^p, 10^(p+1)]: a power of ten between D and v would read
//    back as v too, shorter and nearer to v, and would have been chosen.
//    (D = 10^(p+1) is v rounded up into the next decade: "1", exponent p+1.)
//  - With head = D's first n digits as an integer (10^(n-1) <= head < 10^n),
//    D/s < head + 1, so |D - v| / s < (head + 2) * 2^-53 =: b; for n <= 15,
//    b < (10^15 + 2) * 2^-53 < 0.12.
//  - D with at most n digits is itself an n-digit decimal of v's decade, at
//    less than s/2 from v: the unique nearest one, and no tie is possible.
//  - D with more digits is head * s + t * s, 0 < t < 1 its tail. Then
//    v - head * s lies within (t - b, t + b) * s: when t + b <= 1/2, v is
//    rounded down to head; when t - b >= 1/2, up to head + 1 (a carry may make
//    it 10^n: the digits 1000..., exponent p+1). In between, v may be near a
//    tie, and only the exact conversion can tell.
// The tail is read from its first three digits, exactly when there are no
// more, else as an interval; the comparisons are done in integers.
// False when the shortest digits cannot settle the rounding.
bool digits_from_shortest(double value, int significant, DigitBuffer& buffer, ScientificDigits& result) {
    const double magnitude = std::fabs(value);
    if (significant < 1 || significant > kMaxShortestSignificant || !is_normal_finite_nonzero(magnitude)) return false;
    const int n = significant;
    // "d.ddde+xx" or "de+xx", at most 17 digits and a 3-digit exponent.
    char* const text = buffer.data();
    const char* const end = std::to_chars(text, text + 32, magnitude, std::chars_format::scientific).ptr;
    const char* const e = end[-4] == 'e' ? end - 4 : end - 5;
    result.exponent = parse_exponent(e + 1, end);
    const int count = e == text + 1 ? 1 : static_cast<int>(e - text) - 1;
    // Close the gap of the point so that the digits are one run.
    text[1] = text[0];
    char* const digits = text + 1;
    result.trailing_zeros = 0;
    result.digits = std::string_view(digits, static_cast<std::size_t>(n));
    if (count <= n) {
        std::memset(digits + count, '0', static_cast<std::size_t>(n - count));
        return true;
    }

    const int tail_length = std::min(count - n, 3);
    const bool tail_is_exact = count - n <= 3;
    const std::uint64_t tail = digit_value(digits + n, tail_length);
    const std::uint64_t tail_scale = kPowersOfTen[tail_length];
    // In units of tail_scale * 2^-53: tail * 2^53 against 2^52 * tail_scale,
    // and b * 2^53 <= B with B = (lead + 1) * 10^(n - 2) + 2 >= head + 2,
    // lead being the first two digits. All terms stay below 1.1e19 < 2^64.
    const int lead_length = std::min(n, 2);
    const std::uint64_t b = (digit_value(digits, lead_length) + 1) * kPowersOfTen[n - lead_length] + 2;
    constexpr std::uint64_t kOne = std::uint64_t{1} << 53;
    constexpr std::uint64_t kHalf = std::uint64_t{1} << 52;
    const std::uint64_t tail_high = tail_is_exact ? tail : tail + 1;
    bool round_up;
    if (tail_high * kOne + b * tail_scale <= kHalf * tail_scale) {
        round_up = false;
    } else if (tail * kOne >= (kHalf + b) * tail_scale) {
        round_up = true;
    } else {
        return false;
    }
    if (round_up) {
        int i = n - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits[0] = '1';
            ++result.exponent;
        }
    }
    return true;
}

}  // namespace

std::optional<ScientificDigits> integer_scientific_digits(double value, int significant, DigitBuffer& buffer) {
    ScientificDigits result;
    const double magnitude = std::fabs(value);
    if (significant < 1 || significant > kMaxIntegerSignificant || !is_normal_finite_nonzero(magnitude)) return {};
    if (!digits_from_integers(magnitude, significant, buffer, result)) return {};
    return result;
}

std::optional<ScientificDigits> shortest_scientific_digits(double value, int significant, DigitBuffer& buffer) {
    ScientificDigits result;
    if (!digits_from_shortest(value, significant, buffer, result)) return {};
    return result;
}

ScientificDigits scientific_digits(double value, int significant, DigitBuffer& buffer) {
    ScientificDigits result;
    const double magnitude = std::fabs(value);
    if (significant <= kMaxIntegerSignificant && is_normal_finite_nonzero(magnitude) &&
        digits_from_integers(magnitude, significant, buffer, result)) {
        return result;
    }
    if (digits_from_shortest(value, significant, buffer, result)) return result;
    const int made = std::min(significant, kMaxExactSignificant);
    result = exact_scientific(std::fabs(value), made, buffer);
    result.trailing_zeros = significant - made;
    return result;
}

ScientificDigits quad_scientific_digits(Quad value, int significant, DigitBuffer& buffer) {
    if (significant < 1 || significant > kMaxQuadSignificant) {
        throw std::logic_error("binary128 digits asked beyond what an E field takes");
    }
    const int length = quad_scientific_text(value, significant - 1, buffer.data(), buffer.size());
    if (length < 0) throw std::logic_error("decimal conversion does not fit its buffer");
    return parse_scientific_text({buffer.data(), static_cast<std::size_t>(length)}, significant, buffer);
}

FixedDigits fixed_digits(double value, int decimals, DigitBuffer& buffer) {
    const int made = std::min(decimals, kMaxExactFraction);
    // "ddd.ddd", or "ddd" without decimals.
    const std::string_view text = convert(std::fabs(value), std::chars_format::fixed, made, buffer);
    FixedDigits result;
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos) {
        result.integer = text;
    } else {
        result.integer = text.substr(0, point);
        result.fraction = text.substr(point + 1);
    }
    result.trailing_zeros = decimals - made;
    return result;
}

}  // namespace kestrelfold
