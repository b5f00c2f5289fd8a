#pragma once
// The checksum of POSIX cksum(1): a CRC-32 of the bytes and then of their
// length, as `cksum <file` prints it. A batch script carries the one of the
// job list it was written for and checks it with cksum where it runs.
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrelfold::study {

std::uint32_t posix_cksum(std::string_view bytes);

// What `cksum <file` prints for a file of these bytes, without its line end:
// "930766865 9".
std::string posix_cksum_line(std::string_view bytes);

}  // namespace kestrelfold::study
