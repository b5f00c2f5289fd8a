#include "study/posix_cksum.h"

#include <array>

namespace kestrelfold::study {
namespace {

// The generator polynomial of cksum (and of Ethernet), most significant
// bit first.
constexpr std::uint32_t kPolynomial = 0x04C11DB7;

constexpr std::array<std::uint32_t, 256> crc_table() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = i << 24;
        for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? (r << 1) ^ kPolynomial : r << 1;
        table[i] = r;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kTable = crc_table();

std::uint32_t add_byte(std::uint32_t crc, unsigned char byte) { return (crc << 8) ^ kTable[(crc >> 24) ^ byte]; }

}  // namespace

std::uint32_t posix_cksum(std::string_view bytes) {
    std::uint32_t crc = 0;
    for (unsigned char byte : bytes) crc = add_byte(crc, byte);
    // Then the length, least significant byte first, as few bytes as it takes.
    for (std::uint64_t length = bytes.size(); length != 0; length >>= 8) {
        crc = add_byte(crc, static_cast<unsigned char>(length & 0xff));
    }
    return ~crc;
}

std::string posix_cksum_line(std::string_view bytes) {
    return std::to_string(posix_cksum(bytes)) + " " + std::to_string(bytes.size());
}

}  // namespace kestrelfold::study
