#pragma once
// External commands: the editor `notepad` and the plotting program
// `wgnuplot`, started by name through PATH and waited for without a limit,
// through the system's command processor (/bin/sh on Linux, cmd.exe on
// Windows).
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrelfold {

// Runs the text, its trailing blanks dropped, through the command processor
// and waits for it. Returns its exit status; -1 when it cannot be started or
// waited for, or when a signal ended it. The command processor's "not found"
// status (127 from /bin/sh, 9009 from cmd.exe) is an ordinary result: the run
// goes on. Interrupted (interruption.h) when the run is interrupted before
// or during the wait; the program started is then left to itself.
std::int32_t run_command(std::string_view text);

// The text as one argument of a command line for the command processor,
// whatever bytes it holds: nothing in it is expanded or run.
std::string command_argument(std::string_view text);

// "notepad <file>": the editor on one file, its name one argument.
std::string notepad_command(std::string_view file);

}  // namespace kestrelfold
