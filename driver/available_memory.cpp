#include "driver/available_memory.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

#include "driver/address_space.h"
#include "driver/cgroup_memory.h"
#include "output/fatal_error.h"

namespace kestrelfold {
namespace {

// The value of a "Key:   1234 kB" line, in bytes.
std::optional<std::uint64_t> field_bytes(std::string_view meminfo, std::string_view key) {
    std::size_t at = 0;
    while (at < meminfo.size()) {
        std::size_t end = meminfo.find('\n', at);
        if (end == std::string_view::npos) end = meminfo.size();
        std::string_view line = meminfo.substr(at, end - at);
        at = end + 1;
        if (line.substr(0, key.size()) != key || line.substr(key.size(), 1) != ":") continue;
        line.remove_prefix(key.size() + 1);
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        std::uint64_t kilobytes = 0;
        const auto [next, error] = std::from_chars(line.data(), line.data() + line.size(), kilobytes);
        if (error != std::errc() || next == line.data()) return std::nullopt;
        if (kilobytes > std::numeric_limits<std::uint64_t>::max() / 1024) {
            return std::numeric_limits<std::uint64_t>::max();
        }
        return kilobytes * 1024;
    }
    return std::nullopt;
}

std::string file_text(const char* name) {
    std::ifstream file(name);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

std::optional<std::uint64_t> parse_available_memory(std::string_view meminfo) {
    const std::optional<std::uint64_t> available = field_bytes(meminfo, "MemAvailable");
    if (!available) return std::nullopt;
    const std::uint64_t swap = field_bytes(meminfo, "SwapFree").value_or(0);
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
