#include "numerics/binary128.h"

#include <quadmath.h>

#include <stdexcept>
#include <string>

namespace kestrelfold {

Quad exp_of(Quad x) { return expq(x); }

Quad quad_from_decimal(const char* text) {
    char* end = nullptr;
    const Quad value = strtoflt128(text, &end);
    if (end == text || *end != '\0') throw std::invalid_argument(std::string("not a decimal number: ") + text);
    return value;
}

int quad_scientific_text(Quad value, int decimals, char* text, std::size_t size) {
    const int length = quadmath_snprintf(text, size, "%.*Qe", decimals, fabsq(value));
    return length < 0 || static_cast<std::size_t>(length) >= size ? -1 : length;
}

}  // namespace kestrelfold
