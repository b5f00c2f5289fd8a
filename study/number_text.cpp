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

std::optional<std::string> fixed(double value, int decimals) {
    return formatted(value, std::chars_format::fixed, decimals);
}

}  // namespace kestrelfold::study
