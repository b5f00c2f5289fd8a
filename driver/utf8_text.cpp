#include "driver/utf8_text.h"

#include <cstddef>

namespace kestrelfold {
namespace {

// The length of the sequence a lead byte opens (2 to 4), or 0 for a byte
// that opens none: a continuation byte, an overlong lead (C0, C1) or a lead
// beyond U+10FFFF (F5 to FF).
std::size_t sequence_length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

bool reads_as_utf8(std::string_view text) {
    bool beyond_ascii = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = sequence_length(lead);
        if (length == 0) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if (i + k == text.size()) return beyond_ascii;  // cut inside its last character
            if (!is_continuation(static_cast<unsigned char>(text[i + k]))) return false;
        }
        beyond_ascii = true;
        i += length;
    }
    return beyond_ascii;
}

}  // namespace kestrelfold
