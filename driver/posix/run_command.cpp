#include "driver/run_command.h"

#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

#include "driver/interruption.h"
#include "output/console.h"
#include "driver/posix/shell.h"
#include "driver/posix/signals.h"

extern char** environ;

namespace kestrelfold {
namespace {

extern "C" void wake_up(int) {}

// While a started program runs, its end (SIGCHLD) and the signals that
// interrupt the run are held back, and let in only inside the wait itself:
// a signal that comes just before the wait is then not missed until the
// program ends, and the run stops at once on it. Puts the mask and the
// action of SIGCHLD back as they were.
class WaitForSignals {
public:
    WaitForSignals() {
        sigset_t held = interrupting_signals();
        sigaddset(&held, SIGCHLD);
        pthread_sigmask(SIG_BLOCK, &held, &before_);
        // SIGCHLD is discarded by default, and the wait would not wake on it.
        struct sigaction action {};
        action.sa_handler = wake_up;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
        sigaction(SIGCHLD, &action, &sigchld_before_);
    }
    ~WaitForSignals() {
        pthread_sigmask(SIG_SETMASK, &before_, nullptr);
        sigaction(SIGCHLD, &sigchld_before_, nullptr);
    }
    WaitForSignals(const WaitForSignals&) = delete;
    WaitForSignals& operator=(const WaitForSignals&) = delete;

    // The mask the run had before: the started program's.
    const sigset_t& mask_before() const { return before_; }

    // Until a signal has been handled.
    void wait() const {
        sigset_t during = before_;
        sigdelset(&during, SIGCHLD);
        sigsuspend(&during);
    }

private:
    sigset_t before_{};
    struct sigaction sigchld_before_ {};
};

// The exit status of the child, or -1 when the wait fails or a signal ended
// it. An interruption of the run ends the wait (Interrupted) and leaves the
// program running: the run is to end promptly, and a program started from a
// terminal got the terminal's signal as well. The note is looked at before
// the program's end: signals are handled only inside the wait, so one sent
// before the program ended (by the program itself, say) always counts.
std::int32_t wait_for(pid_t pid, const WaitForSignals& signals) {
    int status = 0;
    for (;;) {
        stop_if_interrupted();
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done == -1 && errno != EINTR) return -1;
        signals.wait();
    }
    if (!WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace

pid_t spawn_shell(std::string_view line, const sigset_t& mask, const sigset_t& to_default, bool own_group) {
    std::string shell = "sh";
    std::string option = "-c";
    std::string text(line);
    char* argv[] = {shell.data(), option.data(), text.data(), nullptr};
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) return -1;
    posix_spawnattr_setsigdefault(&attributes, &to_default);
    posix_spawnattr_setsigmask(&attributes, &mask);
    short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
    if (own_group) {
        posix_spawnattr_setpgroup(&attributes, 0);
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    posix_spawnattr_setflags(&attributes, flags);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, "/bin/sh", nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    return spawned == 0 ? pid : -1;
}

std::int32_t run_command(std::string_view text) {
    flush_console();
    const WaitForSignals signals;
    stop_if_interrupted();  // a run interrupted already starts nothing more
    // The started program begins as if started from the desktop: the mask
    // the run had, SIGXFSZ (ignored by the run, file_size_signal.h) at its
    // default action; the actions the run caught go back to their defaults
    // by themselves when the program is started.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGXFSZ);
    const pid_t pid = spawn_shell(text.substr(0, text.find_last_not_of(' ') + 1), signals.mask_before(), defaults);
    if (pid < 0) return -1;
    return wait_for(pid, signals);
}

}  // namespace kestrelfold
