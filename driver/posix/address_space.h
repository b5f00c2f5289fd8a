#pragma once
// The address space a Linux process maps, as /proc/self/status reports it,
// for the room left under its limit (ulimit -v, RLIMIT_AS).
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrelfold {

// The VmSize of a text like /proc/self/status, in bytes; nothing when it is
// missing or garbled.
std::optional<std::uint64_t> parse_address_space_in_use(std::string_view status);

}  // namespace kestrelfold
