#include "output/field_editors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "output/decimal_digits.h"

namespace kestrelfold {

namespace {

bool overflow(int w, char* field) {
    std::memset(field, '*', static_cast<std::size_t>(w));
    return false;
}

void require_width(int w) {
    if (w < 1) throw std::logic_error("numeric field of width below 1");
}

// Writes a field left to right once its length is known: blanks first, then
// the parts; measuring before writing means no backtracking.
class FieldWriter {
public:
    FieldWriter(char* field, int w, int length) : p_(field) {
        std::memset(p_, ' ', static_cast<std::size_t>(w - length));
        p_ += w - length;
    }
    void put(char c) { *p_++ = c; }
    void put(std::string_view text) {
        if (text.empty()) return;
        std::memcpy(p_, text.data(), text.size());
        p_ += text.size();
    }
    void zeros(int count) {
        if (count <= 0) return;
        std::memset(p_, '0', static_cast<std::size_t>(count));
        p_ += count;
    }
    // Digits [from, to) of a digit run that continues with `trailing` zeros.
    void digits(std::string_view run, int from, int to) {
        const int made = static_cast<int>(run.size());
        if (from < made) put(run.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(std::min(to, made) - from)));
        zeros(to - std::max(from, made));
    }

private:
    char* p_;
};

// A value that is not a finite number: NaN, or an infinity of either sign.
struct Special {
    bool nan;
    bool negative;
};

Special special_of(double value) { return {std::isnan(value), value < 0}; }
Special special_of(Quad value) { return {quad_is_nan(value), value < 0}; }

std::string_view long_special(Special value) {
    if (value.nan) return "NaN";
    return value.negative ? "-Infinity" : "Infinity";
}

std::string_view short_special(Special value) {
    if (value.nan) return "NaN";
    return value.negative ? "-Inf" : "Inf";
}

// F: right-justified.
bool edit_special_fixed(Special value, int w, char* field) {
    for (const std::string_view text : {long_special(value), short_special(value)}) {
        const int length = static_cast<int>(text.size());
        if (length <= w) {
            FieldWriter(field, w, length).put(text);
            return true;
        }
    }
    return overflow(w, field);
}

// E: the first column blank, the text from the second, blanks after it.
bool edit_special_scientific(Special value, int w, char* field) {
    for (const std::string_view text : {long_special(value), short_special(value)}) {
        if (static_cast<int>(text.size()) + 1 <= w) {
            std::memset(field, ' ', static_cast<std::size_t>(w));
            std::memcpy(field + 1, text.data(), text.size());
            return true;
        }
    }
    return overflow(w, field);
}

bool all_zeros(std::string_view digits) { return digits.find_first_not_of('0') == std::string_view::npos; }

}  // namespace

bool edit_integer(std::int32_t value, int w, char* field) {
    require_width(w);
    char digits[16];
    const auto magnitude = std::llabs(static_cast<long long>(value));
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    const std::string_view text(digits, static_cast<std::size_t>(end - digits));
    const int length = static_cast<int>(text.size()) + (value < 0 ? 1 : 0);
    if (length > w) return overflow(w, field);
    FieldWriter out(field, w, length);
    if (value < 0) out.put('-');
    out.put(text);
    return true;
}

bool edit_fixed(double value, int w, int d, char* field) {
    require_width(w);
    if (d < 0) throw std::logic_error("F field with negative decimals");
    if (!std::isfinite(value)) return edit_special_fixed(special_of(value), w, field);

    DigitBuffer buffer;
    const FixedDigits digits = fixed_digits(value, d, buffer);
    const bool integer_is_zero = digits.integer == "0";
    // -0.0, and -0.0004 in F14.3, are written without a minus sign.
    const bool negative = std::signbit(value) && !(integer_is_zero && all_zeros(digits.fraction));
    int length = (negative ? 1 : 0) + (integer_is_zero ? 0 : static_cast<int>(digits.integer.size())) + 1 + d;
    const bool leading_zero = integer_is_zero && (length < w || d == 0);
    if (leading_zero) ++length;
    if (length > w) return overflow(w, field);

    FieldWriter out(field, w, length);
    if (negative) out.put('-');
    if (!integer_is_zero || leading_zero) out.put(digits.integer);
    out.put('.');
    out.digits(digits.fraction, 0, d);
    return true;
}

namespace {

void require_scale(int d, int scale) {
    if (d < 0 || scale <= -d || scale >= d + 2) throw std::logic_error("scale factor out of range for the E field");
}

// Significant digits of an Ew.d field under the scale factor.
int significant_digits(int d, int scale) { return scale > 0 ? d + 1 : d + scale; }

// The E field of a finite value from its digits: the same layout whatever
// the number type the digits came from.
bool lay_out_scientific(const ScientificDigits& digits, bool zero, bool negative, int w, int d, int scale,
                        char* field) {
    const int significant = significant_digits(d, scale);
    // k digits before the point move the exponent down by k - 1.
    const int exponent = zero ? 0 : digits.exponent + 1 - scale;
    if (std::abs(exponent) > 999) return overflow(w, field);

    constexpr int kExponentLength = 4;  // E+dd or +ddd
    int length = (negative ? 1 : 0) + (scale > 0 ? d + 2 : d + 1) + kExponentLength;
    const bool leading_zero = scale <= 0 && length < w;
    if (leading_zero) ++length;
    if (length > w) return overflow(w, field);

    FieldWriter out(field, w, length);
    if (negative) out.put('-');
    if (scale > 0) {
        out.digits(digits.digits, 0, scale);
        out.put('.');
        out.digits(digits.digits, scale, significant);
    } else {
        if (leading_zero) out.put('0');
        out.put('.');
        out.zeros(-scale);
        out.digits(digits.digits, 0, significant);
    }
    const int magnitude = std::abs(exponent);
    if (magnitude <= 99) out.put('E');
    out.put(exponent < 0 ? '-' : '+');
    if (magnitude > 99) out.put(static_cast<char>('0' + magnitude / 100));
    out.put(static_cast<char>('0' + magnitude / 10 % 10));
    out.put(static_cast<char>('0' + magnitude % 10));
    return true;
}

}  // namespace

bool edit_scientific(double value, int w, int d, int scale, char* field) {
    require_width(w);
    require_scale(d, scale);
    if (!std::isfinite(value)) return edit_special_scientific(special_of(value), w, field);
    DigitBuffer buffer;
    const ScientificDigits digits = scientific_digits(value, significant_digits(d, scale), buffer);
    const bool zero = value == 0;
    return lay_out_scientific(digits, zero, std::signbit(value) && !zero, w, d, scale, field);
}

bool edit_scientific(Quad value, int w, int d, int scale, char* field) {
    require_width(w);
    require_scale(d, scale);
    if (!quad_is_finite(value)) return edit_special_scientific(special_of(value), w, field);
    DigitBuffer buffer;
    const ScientificDigits digits = quad_scientific_digits(value, significant_digits(d, scale), buffer);
    const bool zero = value == 0;
    return lay_out_scientific(digits, zero, quad_sign_bit(value) && !zero, w, d, scale, field);
}

void edit_text(std::string_view text, int w, char* field) {
    if (w < 0) throw std::logic_error("A field of negative width");
    if (static_cast<int>(text.size()) >= w) {
        if (w > 0) std::memcpy(field, text.data(), static_cast<std::size_t>(w));
        return;
    }
    FieldWriter(field, w, static_cast<int>(text.size())).put(text);
}

}  // namespace kestrelfold
