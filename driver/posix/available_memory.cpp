#include "driver/available_memory.h"

#include <sys/resource.h>

#include <algorithm>

#include "driver/posix/address_space.h"
#include "driver/posix/cgroup_memory.h"
#include "driver/posix/meminfo.h"
#include "driver/posix/proc_fields.h"

namespace kestrelfold {

std::optional<std::uint64_t> available_memory() {
    const std::optional<std::uint64_t> machine = parse_available_memory(file_text("/proc/meminfo"));
    const std::optional<std::uint64_t> group = cgroup_headroom(file_text("/proc/self/cgroup"), "/sys/fs/cgroup");
    if (machine && group) return std::min(*machine, *group);
    return machine ? machine : group;
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
