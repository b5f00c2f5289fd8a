#pragma once
// Stand-ins for the two places where entrada reaches outside the process, so
// that a fuzz target can run it on any input file as often as it likes:
// - run_command starts nothing; it only remembers the command lines given;
// - require_memory allocates nothing; it throws ReachedAllocation, which
//   ends entrada right where the fields would be allocated, after every read
//   and check (an N of two thousand million would otherwise be honoured);
// - tell_user prints nothing; it keeps the lines it is given (the first
//   few since the last clear), so that a target can check the warnings.
#include <cstdint>
#include <string>
#include <vector>

namespace kestrelfold::fuzz {

struct ReachedAllocation {
    std::uint64_t bytes;
};

// The command lines "run" since the last clear, in order.
std::vector<std::string>& commands_run();

// The console lines told since the last clear, without the program's name;
// only the first 16 are kept.
std::vector<std::string>& lines_told();

}  // namespace kestrelfold::fuzz
