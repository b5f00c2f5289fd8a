#include "driver/address_space.h"

#include <sys/resource.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

namespace kestrelfold {
namespace {

// Unit buffers of 64 KiB, texts, the command line of a started program.
constexpr std::uint64_t kRunReserve = 4u << 20;

constexpr std::string_view kKey = "VmSize:";

}  // namespace

std::optional<std::uint64_t> parse_address_space_in_use(std::string_view status) {
    std::size_t at = 0;
    while (at < status.size()) {
        std::size_t end = status.find('\n', at);
        if (end == std::string_view::npos) end = status.size();
        std::string_view line = status.substr(at, end - at);
        at = end + 1;
        if (!line.starts_with(kKey)) continue;
        line.remove_prefix(kKey.size());
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        std::uint64_t kilobytes = 0;
        const char* last = line.data() + line.size();
        const auto [next, error] = std::from_chars(line.data(), last, kilobytes);
        if (error != std::errc() || next == line.data() || std::string_view(next, last) != " kB") return std::nullopt;
        if (kilobytes > std::numeric_limits<std::uint64_t>::max() / 1024) return std::nullopt;
        return kilobytes * 1024;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> address_space_headroom() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
    std::ifstream file("/proc/self/status");
    const std::string status{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::optional<std::uint64_t> in_use = parse_address_space_in_use(status);
    if (!in_use) return std::nullopt;
    const std::uint64_t taken = *in_use + kRunReserve;
    const auto cap = static_cast<std::uint64_t>(limit.rlim_cur);
    return cap > taken ? cap - taken : 0;
}

}  // namespace kestrelfold
