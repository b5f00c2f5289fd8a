#pragma once
// What Linux says the machine can still provide, in /proc/meminfo.
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrelfold {

// MemAvailable plus SwapFree, in bytes, from the text of /proc/meminfo;
// nothing when MemAvailable is not there.
std::optional<std::uint64_t> parse_available_memory(std::string_view meminfo);

}  // namespace kestrelfold
