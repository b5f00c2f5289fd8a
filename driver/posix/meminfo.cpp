#include "driver/posix/meminfo.h"

#include <limits>

#include "driver/posix/proc_fields.h"

namespace kestrelfold {
namespace {

// A field of /proc/meminfo in bytes; a value beyond 64 bits saturates.
std::optional<std::uint64_t> meminfo_bytes(std::string_view meminfo, std::string_view key) {
    const std::optional<std::uint64_t> kilobytes = kilobyte_field(meminfo, key);
    if (!kilobytes) return std::nullopt;
    if (*kilobytes > std::numeric_limits<std::uint64_t>::max() / 1024) return std::numeric_limits<std::uint64_t>::max();
    return *kilobytes * 1024;
}

}  // namespace

std::optional<std::uint64_t> parse_available_memory(std::string_view meminfo) {
    const std::optional<std::uint64_t> available = meminfo_bytes(meminfo, "MemAvailable");
    if (!available) return std::nullopt;
    const std::uint64_t swap = meminfo_bytes(meminfo, "SwapFree").value_or(0);
    if (swap > std::numeric_limits<std::uint64_t>::max() - *available) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return *available + swap;
}

}  // namespace kestrelfold
