#pragma once
// The signals that interrupt a run on Linux, for the masks and waits of the
// program's external commands and of the mesh-study tool's job runner.
#include <signal.h>

namespace kestrelfold {

// SIGINT, SIGTERM and SIGHUP, as a set.
sigset_t interrupting_signals();

// Ends the process by `signal` as if it had never been caught: its default
// action restored, the signal unblocked and raised, so that a shell sees the
// process killed by it (128 + its number) and a loop running it stops. For
// the mesh-study tool too, which stops its runs first.
[[noreturn]] void end_by_signal(int signal);

}  // namespace kestrelfold
