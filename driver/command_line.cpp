#include "driver/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "driver/input_file.h"

namespace kestrelfold {
namespace {

std::string help_text(std::string_view program) {
    const std::string name(program);
    const std::string input(kInputFile);
    return "Usage: " + name + "\n"
           "Solves T''(x) = S(x) on [0, 1], T(0) = 0, T(1) = 1, on one uniform mesh by\n"
           "central differences, and compares it with the exact solution.\n"
           "\n"
           "The program takes no arguments: the run is described by the input file\n" +
           input + " in the current folder, which is first opened in the editor\n"
           "(notepad); the listing, the plot data and the extrapolation data are\n"
           "written beside it. notepad and wgnuplot are found through PATH: put the\n"
           "folder of the desktop or the batch adapters first on it.\n"
           "\n"
           "      --help     display this help and exit\n"
           "      --version  output version information and exit\n"
           "\n"
           "Exit status: 0 when the run completed, 1 when it was stopped (the message\n"
           "says why), 2 for any argument but these, 128 + n when signal n ended it.\n"
           "Full documentation: man " + name + "\n";
}

std::string version_text(std::string_view program) { return std::string(program) + " " KESTRELFOLD_VERSION "\n"; }

}  // namespace

ArgumentsAnswer answer_arguments(std::string_view program, std::span<const std::string_view> arguments) {
    if (arguments.empty()) return {};
    // As GNU programs read them, --help and --version answer whatever else
    // stands beside them; the first one given wins.
    for (const std::string_view argument : arguments) {
        if (argument == "--help") return {0, help_text(program), ""};
        if (argument == "--version") return {0, version_text(program), ""};
    }
    const std::string name(program);
    return {kBadArgumentStatus, "",
            name + ": takes no arguments (got '" + std::string(arguments.front()) + "'): the input file " +
                std::string(kInputFile) + " holds the run; see " + name + " --help\n"};
}

std::optional<int> handle_command_line(std::string_view program, int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    const ArgumentsAnswer answer = answer_arguments(program, arguments);
    std::fwrite(answer.out.data(), 1, answer.out.size(), stdout);
    std::fwrite(answer.err.data(), 1, answer.err.size(), stderr);
    // A --help written into a closed or full output is a failure, not an answer.
    if (answer.exit_status == 0 && std::fflush(stdout) != 0) {
        const std::string line = std::string(program) + ": write error: " + std::strerror(errno) + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
        return 1;
    }
    return answer.exit_status;
}

}  // namespace kestrelfold
