#include "driver/available_memory.h"

#include <windows.h>

namespace kestrelfold {
namespace {

std::optional<MEMORYSTATUSEX> memory_status() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return std::nullopt;
    return status;
}

}  // namespace

// Windows charges every allocation against its commit limit (memory and
// page file) when it is made: what the process may still commit is what it
// can be given.
std::optional<std::uint64_t> available_memory() {
    const std::optional<MEMORYSTATUSEX> status = memory_status();
    if (!status) return std::nullopt;
    return status->ullAvailPageFile;
}

std::optional<std::uint64_t> address_space_headroom() {
    const std::optional<MEMORYSTATUSEX> status = memory_status();
    if (!status) return std::nullopt;
    return status->ullAvailVirtual > kRunReserve ? status->ullAvailVirtual - kRunReserve : 0;
}

}  // namespace kestrelfold
