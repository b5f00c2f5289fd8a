#include "fuzz/fuzz_seams.h"

#include "driver/available_memory.h"
#include "driver/run_command.h"
#include "output/console.h"

namespace kestrelfold {

namespace fuzz {

std::vector<std::string>& commands_run() {
    static std::vector<std::string> commands;
    return commands;
}

std::vector<std::string>& lines_told() {
    static std::vector<std::string> lines;
    return lines;
}

}  // namespace fuzz

std::int32_t run_command(std::string_view text) {
    fuzz::commands_run().emplace_back(text);
    return 0;
}

void require_memory(std::uint64_t bytes) { throw fuzz::ReachedAllocation{bytes}; }

void set_program_name(std::string_view) {}

// Bounded: a target that never clears (the conversion warnings of the
// formatted write) must not grow without end.
void tell_user(std::string_view message) {
    constexpr std::size_t kKept = 16;
    if (fuzz::lines_told().size() < kKept) fuzz::lines_told().emplace_back(message);
}

}  // namespace kestrelfold
