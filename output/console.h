#pragma once
// The program's own lines on the console: every failure, warning and
// interruption goes to standard error as one line "kestrelfold: <message>"
// ("kestrelfold-quad: <message>" from the binary128 program).
#include <string_view>

namespace kestrelfold {

// The name every line starts with, set once by the program before its run;
// "kestrelfold" until then. `name` must outlive the process (a literal).
void set_program_name(std::string_view name);

void tell_user(std::string_view message);

// Everything the program has written to the console so far, out: before a
// program it starts writes there, so that the lines come in their order.
void flush_console();

}  // namespace kestrelfold
