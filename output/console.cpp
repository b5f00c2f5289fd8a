#include "output/console.h"

#include <cstdio>
#include <string>

namespace kestrelfold {

// One write of the whole line, so that lines of the program and of the
// programs it starts never run into each other.
void tell_user(std::string_view message) {
    std::string line = "kestrelfold: ";
    line.append(message);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace kestrelfold
