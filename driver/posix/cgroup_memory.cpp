#include "driver/posix/cgroup_memory.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <string>

namespace kestrelfold {
namespace {

namespace fs = std::filesystem;

// The leading number of a file such as memory.max; nothing for "max", for a
// missing file or for anything else that is not a number.
std::optional<std::uint64_t> number_in(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    if (!(in >> text)) return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

struct LimitFiles {
    const char* limit;
    const char* usage;
};

constexpr LimitFiles kVersion2 = {"memory.max", "memory.current"};
constexpr LimitFiles kVersion1 = {"memory.limit_in_bytes", "memory.usage_in_bytes"};

// The tightest headroom from `group` up to the root of its hierarchy.
std::optional<std::uint64_t> headroom_up_from(fs::path group, const fs::path& root, LimitFiles files) {
    std::optional<std::uint64_t> tightest;
    for (;;) {
        const std::optional<std::uint64_t> limit = number_in(group / files.limit);
        if (limit) {
            const std::uint64_t usage = number_in(group / files.usage).value_or(0);
            const std::uint64_t headroom = usage < *limit ? *limit - usage : 0;
            tightest = std::min(tightest.value_or(headroom), headroom);
        }
        if (group == root || !group.has_relative_path()) break;
        group = group.parent_path();
    }
    return tightest;
}

struct MemoryGroup {
    fs::path group;      // the process's own group
    fs::path hierarchy;  // the root of its hierarchy, where the walk up ends
    LimitFiles files;
};

MemoryGroup group_under(const fs::path& hierarchy, const fs::path& relative, LimitFiles files) {
    return {relative.empty() ? hierarchy : hierarchy / relative, hierarchy, files};
}

// "hierarchy-id:controllers:/path": the v2 line has no controllers; a v1
// line counts when its controllers include memory.
std::optional<MemoryGroup> memory_group(std::string_view line, const fs::path& root) {
    const std::size_t first = line.find(':');
    const std::size_t second = first == std::string_view::npos ? first : line.find(':', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const std::string_view controllers = line.substr(first + 1, second - first - 1);
    const fs::path relative = fs::path(std::string(line.substr(second + 1))).relative_path();
    if (controllers.empty()) return group_under(root, relative, kVersion2);
    std::size_t at = 0;
    while (at <= controllers.size()) {
        const std::size_t comma = std::min(controllers.find(',', at), controllers.size());
        if (controllers.substr(at, comma - at) == "memory") {
            return group_under(root / "memory", relative, kVersion1);
        }
        at = comma + 1;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::uint64_t> cgroup_headroom(std::string_view proc_self_cgroup, const fs::path& cgroup_root) {
    std::optional<std::uint64_t> tightest;
    std::size_t at = 0;
    while (at < proc_self_cgroup.size()) {
        std::size_t end = proc_self_cgroup.find('\n', at);
        if (end == std::string_view::npos) end = proc_self_cgroup.size();
        const auto group = memory_group(proc_self_cgroup.substr(at, end - at), cgroup_root);
        at = end + 1;
        if (!group) continue;
        const auto headroom = headroom_up_from(group->group, group->hierarchy, group->files);
        if (headroom) tightest = std::min(tightest.value_or(*headroom), *headroom);
    }
    return tightest;
}

}  // namespace kestrelfold
