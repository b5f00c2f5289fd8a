#include "study/signal_wait.h"

#include <time.h>

#include <cerrno>

#include "driver/interruption.h"

namespace kestrelfold::study {

SignalWait::SignalWait() {
    set_ = interrupting_signals();
    sigaddset(&set_, SIGCHLD);
    sigprocmask(SIG_BLOCK, &set_, &saved_mask_);
    // SIGCHLD is ignored by default, and an ignored signal need not stay
    // pending: a handler that does nothing keeps it.
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    sigaction(SIGCHLD, &action, &saved_chld_);
}

SignalWait::~SignalWait() {
    sigaction(SIGCHLD, &saved_chld_, nullptr);
    sigprocmask(SIG_SETMASK, &saved_mask_, nullptr);
}

int SignalWait::wait(double seconds) {
    siginfo_t info;
    timespec timeout{static_cast<time_t>(seconds), static_cast<long>((seconds - static_cast<time_t>(seconds)) * 1e9)};
    for (;;) {
        const int signal = seconds > 0 ? sigtimedwait(&set_, &info, &timeout) : sigwaitinfo(&set_, &info);
        if (signal > 0) return signal;
        if (errno != EINTR) return 0;  // EAGAIN: the time passed
    }
}

int SignalWait::pending_interruption() {
    const sigset_t interrupting = interrupting_signals();
    siginfo_t info;
    const timespec now{0, 0};
    for (;;) {
        const int signal = sigtimedwait(&interrupting, &info, &now);
        if (signal > 0) return signal;
        if (errno != EINTR) return 0;
    }
}

sigset_t SignalWait::child_defaults() {
    sigset_t defaults = interrupting_signals();
    sigaddset(&defaults, SIGCHLD);
    sigaddset(&defaults, SIGXFSZ);
    return defaults;
}

}  // namespace kestrelfold::study
