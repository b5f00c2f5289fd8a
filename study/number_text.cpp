#include "study/number_text.h"

#include <charconv>
#include <cmath>

namespace kestrelfold::study {
namespace {

std::optional<std::string> formatted(double value, std::chars_format format, int precision) {
    if (!std::isfinite(value)) return std::nullopt;
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    if (error != std::errc()) return std::nullopt;
    return std::string(buffer, end);
}

}  // namespace

std::optional<std::string> scientific(double value, int significant) {
    return formatted(value, std::chars_format::scientific, significant - 1);
}

std::optional<std::string> scientific(Quad value, int significant) {
    if (!quad_is_finite(value)) return std::nullopt;
    char buffer[96];
    const int length = quad_scientific_text(value, significant - 1, buffer, sizeof buffer);
    if (length < 0) return std::nullopt;
    std::string text(buffer, static_cast<std::size_t>(length));
    // A sign as to_chars writes one: only for a negative value.
    if (quad_sign_bit(value) && text.front() != '-') text.insert(text.begin(), '-');
    return text;
}

std::optional<std::string> fixed(double value, int decimals) {
    return formatted(value, std::chars_format::fixed, decimals);
}

}  // namespace kestrelfold::study
