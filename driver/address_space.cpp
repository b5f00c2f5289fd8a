#include "driver/address_space.h"

#include <sys/resource.h>

#include <limits>

#include "driver/proc_fields.h"

namespace kestrelfold {
namespace {

// Unit buffers of 256 KiB, the extra huge page a large field is mapped with
// before its ends are trimmed, texts, the command line of a started program.
constexpr std::uint64_t kRunReserve = 4u << 20;

}  // namespace

std::optional<std::uint64_t> parse_address_space_in_use(std::string_view status) {
    const std::optional<std::uint64_t> kilobytes = kilobyte_field(status, "VmSize");
    if (!kilobytes || *kilobytes > std::numeric_limits<std::uint64_t>::max() / 1024) return std::nullopt;
    return *kilobytes * 1024;
}

std::optional<std::uint64_t> address_space_headroom() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
    const std::optional<std::uint64_t> in_use = parse_address_space_in_use(file_text("/proc/self/status"));
    if (!in_use) return std::nullopt;
    const std::uint64_t taken = *in_use + kRunReserve;
    const auto cap = static_cast<std::uint64_t>(limit.rlim_cur);
    return cap > taken ? cap - taken : 0;
}

}  // namespace kestrelfold
