#pragma once
// How much memory the system can still provide, so that a mesh too large for
// the machine ends the run with a message before anything is allocated and
// touched (an allocation alone may succeed on an overcommitting system, and
// filling it would then bring the out-of-memory killer).
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrelfold {

// MemAvailable plus SwapFree, in bytes, from the text of /proc/meminfo;
// nothing when MemAvailable is not there.
std::optional<std::uint64_t> parse_available_memory(std::string_view meminfo);

// The same from the running system, lowered to the headroom of the process's
// control groups where one sets a memory limit; nothing when neither is known.
std::optional<std::uint64_t> available_memory();

// FatalError "insufficient virtual memory" when `bytes` exceed what the
// system can provide, or the room left under the process's address-space
// limit (address_space.h). When that is unknown, nothing is checked and the
// allocation itself has the last word.
void require_memory(std::uint64_t bytes);

}  // namespace kestrelfold
