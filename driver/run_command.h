#pragma once
// External commands: the editor `notepad` and the plotting program
// `wgnuplot`, started by name through PATH and waited for without a limit.
#include <signal.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrelfold {

// Runs the text, its trailing blanks dropped, through /bin/sh -c and waits
// for it. Returns its exit status; -1 when it cannot be started or waited
// for, or when a signal ended it. The shell's "not found" status (127) is an
// ordinary result: the run goes on. Interrupted (interruption.h) when the
// run is interrupted before or during the wait; the program started is
// then left to itself.
std::int32_t run_command(std::string_view text);

// Starts the line through /bin/sh -c, without waiting, with the signal mask
// `mask` and the signals of `to_default` at their default actions; with
// `own_group`, as the leader of a process group of its own (its pid), so
// that one kill(-pid) reaches every program the line starts. The pid, or -1
// when it cannot be started.
pid_t spawn_shell(std::string_view line, const sigset_t& mask, const sigset_t& to_default, bool own_group = false);

// The text as one shell word, whatever bytes it holds: in single quotes, an
// embedded ' written as '\''.
std::string shell_quote(std::string_view text);

// "notepad '<file>'": the editor on one file, its name one argument.
std::string notepad_command(std::string_view file);

}  // namespace kestrelfold
