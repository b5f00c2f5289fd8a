#pragma once
// How much memory the system can still provide, so that a mesh too large for
// the machine ends the run with a message before anything is allocated and
// touched (an allocation alone may succeed on an overcommitting system, and
// filling it would then bring the out-of-memory killer, or a system that
// charges each allocation would refuse it halfway through the run).
#include <cstdint>
#include <optional>

namespace kestrelfold {

// What the system can still give this process, in bytes: on Linux what the
// machine has available and swap, lowered to the headroom of the process's
// control groups; on Windows what the process may still commit. Nothing when
// it is unknown.
std::optional<std::uint64_t> available_memory();

// The room left in the process's address space (under its limit, ulimit -v,
// on Linux; of the user part on Windows), less kRunReserve. Under
// such a limit an allocation fails as soon as the mappings would pass it,
// however much memory the machine has free. 0 when nothing is left; nothing
// when no limit is set or the use is unknown.
std::optional<std::uint64_t> address_space_headroom();

// What the rest of the run maps beside its fields: unit buffers of 256 KiB,
// the extra huge page a large field may be mapped with before its ends are
// trimmed, texts, the command line of a started program.
inline constexpr std::uint64_t kRunReserve = 4u << 20;

// FatalError "insufficient virtual memory" when `bytes` exceed what the
// system can provide or the room left in the address space. When that is
// unknown, nothing is checked and the allocation itself has the last word.
// The check comes before T is allocated, so that a mesh too large ends the
// run before the listing is opened: the tridiagonal solver obtains its work
// memory only after that, and failing there would leave the listing of an
// earlier run replaced by a bare header.
void require_memory(std::uint64_t bytes);

}  // namespace kestrelfold
