#include "output/console.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace kestrelfold {

namespace {
std::string_view program_name = "kestrelfold";
}  // namespace

void set_program_name(std::string_view name) { program_name = name; }

// One write of the whole line, so that lines of the program and of the
// programs it starts never run into each other.
void tell_user(std::string_view message) {
    std::string line(program_name);
    line += ": ";
    line.append(message);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void flush_console() {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
}

}  // namespace kestrelfold
