#pragma once
// Waiting for children and for the signals that interrupt a study, without
// a handler: while a SignalWait lives, SIGINT, SIGTERM, SIGHUP and SIGCHLD
// are blocked and taken one at a time by wait(). The programs the study
// starts get the mask it had before back (saved_mask) and the default
// actions of those signals, so that a Ctrl-C reaches them as usual.
#include <signal.h>

namespace kestrelfold::study {

class SignalWait {
public:
    SignalWait();
    ~SignalWait();
    SignalWait(const SignalWait&) = delete;
    SignalWait& operator=(const SignalWait&) = delete;

    // The next signal of the set, or 0 when `seconds` (> 0) passed first;
    // `seconds` = 0 waits without a limit.
    int wait(double seconds);

    // An interrupting signal already pending, taken; 0 when none is.
    int pending_interruption();

    const sigset_t& saved_mask() const { return saved_mask_; }

    // The signals a started program gets back at their default actions.
    static sigset_t child_defaults();

private:
    sigset_t set_;
    sigset_t saved_mask_;
    struct sigaction saved_chld_ {};
};

}  // namespace kestrelfold::study
