// kestrelfold-study: a mesh study in one command. It runs kestrelfold on a
// sequence of meshes, each in its own folder, and reports how the error of
// each quantity of interest converges.
#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "study/options.h"
#include "study/study.h"

int main(int argc, char** argv) {
    using namespace kestrelfold::study;
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    CommandLine line;
    try {
        line = parse_command_line(args, processor_count());
    } catch (const UsageError& error) {
        std::cerr << "kestrelfold-study: " << error.what() << " (see --help)" << std::endl;
        return 2;
    }
    if (line.request == Request::help) {
        std::cout << usage();
        return 0;
    }
    if (line.request == Request::version) {
        std::cout << "kestrelfold-study " KESTRELFOLD_VERSION "\n";
        return 0;
    }
    for (const std::string& warning : line.warnings) std::cerr << "kestrelfold-study: warning: " << warning << "\n";
    try {
        return run_study(line.options, std::cout, std::cerr);
    } catch (const std::exception& error) {
        std::cerr << "kestrelfold-study: " << error.what() << std::endl;
        return 1;
    }
}
