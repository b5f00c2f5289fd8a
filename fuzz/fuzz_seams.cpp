#include "fuzz/fuzz_seams.h"

#include "driver/available_memory.h"
#include "driver/run_command.h"

namespace kestrelfold {

namespace fuzz {

std::vector<std::string>& commands_run() {
    static std::vector<std::string> commands;
    return commands;
}

}  // namespace fuzz

std::int32_t run_command(std::string_view text) {
    fuzz::commands_run().emplace_back(text);
    return 0;
}

void require_memory(std::uint64_t bytes) { throw fuzz::ReachedAllocation{bytes}; }

}  // namespace kestrelfold
