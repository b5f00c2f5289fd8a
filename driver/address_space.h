#pragma once
// The room left under the process's address-space limit (ulimit -v,
// RLIMIT_AS). Under such a limit an allocation fails as soon as the
// process's mappings would pass it, however much memory the machine has
// free. The memory check before T is allocated heeds it, so that a mesh
// too large for the limit ends the run before the listing is opened: the
// tridiagonal solver obtains its work memory only after that, and failing
// there would leave the listing of an earlier run replaced by a bare
// header.
#include <cstdint>
#include <optional>
#include <string_view>

namespace kestrelfold {

// The VmSize of a text like /proc/self/status, in bytes; nothing when it is
// missing or garbled.
std::optional<std::uint64_t> parse_address_space_in_use(std::string_view status);

// What the fields may still take: the limit, less what the process maps
// already and a reserve for the rest of the run (unit buffers, texts);
// 0 when nothing is left. Nothing when no limit is set or the use is unknown.
std::optional<std::uint64_t> address_space_headroom();

}  // namespace kestrelfold
