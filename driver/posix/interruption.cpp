#include "driver/interruption.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <cstdio>

#include "driver/posix/signals.h"
#include "output/console.h"

namespace kestrelfold {
namespace {

constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};

struct Catching {
    bool active = false;
    std::array<bool, kSignals.size()> caught{};
    std::array<struct sigaction, kSignals.size()> before{};
};
Catching catching;

// Only the first signal counts: a second Ctrl-C while the units are being
// closed changes nothing of the way the run ends.
extern "C" void note_signal(int signal) {
    int none = 0;
    interruption_detail::noted_signal.compare_exchange_strong(none, signal, std::memory_order_relaxed);
}

bool ignored(const struct sigaction& action) {
    return (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_IGN;
}

}  // namespace

sigset_t interrupting_signals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kSignals) sigaddset(&set, signal);
    return set;
}

void catch_interruptions() {
    interruption_detail::noted_signal.store(0, std::memory_order_relaxed);
    if (catching.active) return;
    struct sigaction action {};
    action.sa_handler = note_signal;
    action.sa_mask = interrupting_signals();  // one handler at a time
    // Calls under way go on: the run looks at the note where it can stop.
    action.sa_flags = SA_RESTART;
    for (std::size_t k = 0; k < kSignals.size(); ++k) {
        sigaction(kSignals[k], nullptr, &catching.before[k]);
        catching.caught[k] = !ignored(catching.before[k]);
        if (catching.caught[k]) sigaction(kSignals[k], &action, nullptr);
    }
    catching.active = true;
}

void release_interruptions() {
    if (catching.active) {
        for (std::size_t k = 0; k < kSignals.size(); ++k) {
            if (catching.caught[k]) sigaction(kSignals[k], &catching.before[k], nullptr);
        }
        catching.active = false;
    }
    interruption_detail::noted_signal.store(0, std::memory_order_relaxed);
}

std::string interruption_message(int signal) {
    const char* name = signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : signal == SIGHUP ? "SIGHUP" : nullptr;
    return "interrupted by " + (name ? std::string(name) : "signal " + std::to_string(signal));
}

void end_by_noted_signal() {
    const sigset_t signals = interrupting_signals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    const int signal = interrupting_signal();
    if (signal == 0) return;
    tell_user(interruption_message(signal));
    end_by_signal(signal);
}

void end_by_signal(int signal) {
    std::fflush(nullptr);
    struct sigaction default_action {};
    default_action.sa_handler = SIG_DFL;
    sigemptyset(&default_action.sa_mask);
    sigaction(signal, &default_action, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    _exit(128 + signal);  // not reached: the default action of the three ends the process
}

}  // namespace kestrelfold
