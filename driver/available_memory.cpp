#include "driver/available_memory.h"

#include <algorithm>
#include <limits>

#include "driver/address_space.h"
#include "driver/cgroup_memory.h"
#include "driver/proc_fields.h"
#include "output/fatal_error.h"

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

std::optional<std::uint64_t> available_memory() {
    const std::optional<std::uint64_t> machine = parse_available_memory(file_text("/proc/meminfo"));
    const std::optional<std::uint64_t> group = cgroup_headroom(file_text("/proc/self/cgroup"), "/sys/fs/cgroup");
    if (machine && group) return std::min(*machine, *group);
    return machine ? machine : group;
}

void require_memory(std::uint64_t bytes) {
    const std::optional<std::uint64_t> available = available_memory();
    if (available && bytes > *available) throw FatalError(std::string(kInsufficientMemory));
    const std::optional<std::uint64_t> headroom = address_space_headroom();
    if (headroom && bytes > *headroom) throw FatalError(std::string(kInsufficientMemory));
}

}  // namespace kestrelfold
