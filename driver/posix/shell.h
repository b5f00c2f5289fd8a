#pragma once
// /bin/sh lines: how the program starts its external commands, and how the
// mesh-study tool starts its job lines.
#include <signal.h>
#include <sys/types.h>

#include <string>
#include <string_view>

namespace kestrelfold {

// Starts the line through /bin/sh -c, without waiting, with the signal mask
// `mask` and the signals of `to_default` at their default actions; with
// `own_group`, as the leader of a process group of its own (its pid), so
// that one kill(-pid) reaches every program the line starts. The pid, or -1
// when it cannot be started.
pid_t spawn_shell(std::string_view line, const sigset_t& mask, const sigset_t& to_default, bool own_group = false);

// The text as one shell word, whatever bytes it holds: in single quotes, an
// embedded ' written as '\''.
std::string shell_quote(std::string_view text);

}  // namespace kestrelfold
