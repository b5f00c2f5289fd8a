#include "driver/posix/shell.h"
#include "driver/run_command.h"

namespace kestrelfold {

std::string shell_quote(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";  // close the quotes, an escaped ', reopen
        } else {
            quoted += c;
        }
    }
    quoted += '\'';
    return quoted;
}

std::string command_argument(std::string_view text) { return shell_quote(text); }

}  // namespace kestrelfold
