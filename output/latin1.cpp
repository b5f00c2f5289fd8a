#include "output/latin1.h"

#include <stdexcept>

namespace kestrelfold {

namespace {

[[noreturn]] void reject(std::string_view utf8, std::string_view why) {
    throw std::invalid_argument(std::string(why) + " in \"" + std::string(utf8) + "\"");
}

}  // namespace

std::string utf8_to_latin1(std::string_view utf8) {
    std::string latin1;
    latin1.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            latin1 += static_cast<char>(lead);
            continue;
        }
        // Latin-1 above ASCII is exactly the two-byte sequences C2 80 .. C3 BF;
        // any other lead byte is either a wider character or not UTF-8.
        if (lead != 0xC2 && lead != 0xC3) {
            if (lead >= 0xC4 && lead <= 0xF4) reject(utf8, "character outside ISO 8859-1");
            reject(utf8, "invalid UTF-8");
        }
        if (i + 1 == utf8.size()) reject(utf8, "invalid UTF-8");
        const auto next = static_cast<unsigned char>(utf8[++i]);
        if ((next & 0xC0) != 0x80) reject(utf8, "invalid UTF-8");
        latin1 += static_cast<char>(((lead & 0x1F) << 6) | (next & 0x3F));
    }
    return latin1;
}

}  // namespace kestrelfold
