#pragma once
// The memory limit of the control group the process runs in (a container, a
// systemd slice, a batch system's job). Such a limit can lie far below what
// /proc/meminfo reports for the machine, and going over it brings the
// out-of-memory killer just the same.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace kestrelfold {

// The bytes the process may still take before the tightest limit among its
// control groups and their ancestors (limit minus usage, 0 when over), both
// cgroup v2 (memory.max, memory.current) and v1 (memory.limit_in_bytes,
// memory.usage_in_bytes). `proc_self_cgroup` is the text of /proc/self/cgroup
// and `cgroup_root` the mount point, normally /sys/fs/cgroup. Nothing when no
// group sets a limit.
std::optional<std::uint64_t> cgroup_headroom(std::string_view proc_self_cgroup,
                                             const std::filesystem::path& cgroup_root);

}  // namespace kestrelfold
