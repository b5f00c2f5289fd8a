#include "output/decimal_digits.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace kestrelfold {

namespace {

std::string_view convert(double magnitude, std::chars_format form, int precision, DigitBuffer& buffer) {
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude, form, precision);
    if (error != std::errc()) throw std::logic_error("decimal conversion does not fit its buffer");
    return {buffer.data(), static_cast<std::size_t>(end - buffer.data())};
}

int parse_exponent(std::string_view text) {
    int exponent = 0;
    std::from_chars(text.data() + (text[0] == '+' || text[0] == '-' ? 1 : 0), text.data() + text.size(), exponent);
    return text[0] == '-' ? -exponent : exponent;
}

}  // namespace

ScientificDigits scientific_digits(double value, int significant, DigitBuffer& buffer) {
    const int made = std::min(significant, kMaxExactSignificant);
    // "d.ddde+xx", or "de+xx" for a single digit.
    const std::string_view text = convert(std::fabs(value), std::chars_format::scientific, made - 1, buffer);
    const std::size_t e = text.find('e');
    ScientificDigits result;
    result.exponent = parse_exponent(text.substr(e + 1));
    if (made == 1) {
        result.digits = text.substr(0, 1);
    } else {
        // Close the gap of the point so that the digits are one run.
        buffer[1] = buffer[0];
        result.digits = text.substr(1, e - 1);
    }
    result.trailing_zeros = significant - made;
    return result;
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
