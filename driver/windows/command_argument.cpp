#include "driver/run_command.h"

namespace kestrelfold {
namespace {

// Characters that no Windows file name holds. The argument is always the
// name of a file that the run has opened (the system would have refused
// such a name), so none of them reaches here from a run; left out, they
// cannot end the quotes early (") or cut the command line short (line ends).
bool never_in_a_file_name(char c) { return c == '"' || static_cast<unsigned char>(c) < 0x20; }

}  // namespace

// In double quotes, where cmd.exe takes blanks and & | < > ( ) ^ as they are
// and the started program sees one argument. cmd.exe expands %NAME% even in
// quotes, and has no escape for % there: every % is written outside the
// quotes, between two quoted parts ("a"%"b"), so that the name cmd.exe would
// look up always starts with a double quote, which no variable's name does,
// and the text stays as it is. A backslash before a double quote would
// escape it for the started program: the backslashes that end a quoted part
// are doubled, which that program reads back as the backslashes alone.
std::string command_argument(std::string_view text) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    const auto close_quotes = [&] {
        quoted.append(backslashes, '\\');
        quoted += '"';
    };
    for (const char c : text) {
        if (never_in_a_file_name(c)) continue;
        if (c == '%') {
            close_quotes();
            quoted += "%\"";
        } else {
            quoted += c;
        }
        backslashes = c == '\\' ? backslashes + 1 : 0;
    }
    close_quotes();
    return quoted;
}

}  // namespace kestrelfold
