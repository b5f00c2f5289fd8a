#include "driver/posix/address_space.h"

#include <limits>

#include "driver/posix/proc_fields.h"

namespace kestrelfold {

std::optional<std::uint64_t> parse_address_space_in_use(std::string_view status) {
    const std::optional<std::uint64_t> kilobytes = kilobyte_field(status, "VmSize");
    if (!kilobytes || *kilobytes > std::numeric_limits<std::uint64_t>::max() / 1024) return std::nullopt;
    return *kilobytes * 1024;
}

}  // namespace kestrelfold
