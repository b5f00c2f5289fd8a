#include "driver/available_memory.h"

#include <string>

#include "output/fatal_error.h"

namespace kestrelfold {

void require_memory(std::uint64_t bytes) {
    const std::optional<std::uint64_t> available = available_memory();
    if (available && bytes > *available) throw FatalError(std::string(kInsufficientMemory));
    const std::optional<std::uint64_t> headroom = address_space_headroom();
    if (headroom && bytes > *headroom) throw FatalError(std::string(kInsufficientMemory));
}

}  // namespace kestrelfold
