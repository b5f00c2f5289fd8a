#pragma once
// The command line of the program, which takes no arguments: the input file
// holds the run. As GNU programs do, --help and --version answer on standard
// output and end the program with status 0; any other argument ends it with
// status 2 and one line that says why. Shared by every build of the program
// (each names itself by its own name), so that they answer alike.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestrelfold {

inline constexpr int kBadArgumentStatus = 2;

struct ArgumentsAnswer {
    std::optional<int> exit_status;  // nothing: no argument, the run goes on
    std::string out;                 // for standard output
    std::string err;                 // for standard error (one line)
};

// `program` is the name the program answers by ("kestrelfold"); `arguments`
// are those after the program's own name.
ArgumentsAnswer answer_arguments(std::string_view program, std::span<const std::string_view> arguments);

// answer_arguments on main's argv, written out; the status to end with, or
// nothing when the run is to go on.
std::optional<int> handle_command_line(std::string_view program, int argc, char** argv);

}  // namespace kestrelfold
