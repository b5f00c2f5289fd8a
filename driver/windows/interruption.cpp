#include "driver/interruption.h"

#include <windows.h>

#include <csignal>
#include <cstdio>

#include "driver/windows/interruption_event.h"
#include "output/console.h"

namespace kestrelfold {
namespace {

// What the system reports as the exit code of a program that Ctrl-C ended.
constexpr UINT kControlCExit = 0xC000013A;  // STATUS_CONTROL_C_EXIT

bool catching = false;

// Called by the system in a thread of its own. Only the first interruption
// counts: a second Ctrl-C while the units are being closed changes nothing
// of the way the run ends. Ctrl-C and Ctrl-Break are taken (the run ends
// itself, its records whole); the console's close, a logoff and a shutdown
// go on to the system's handler.
BOOL WINAPI note_interruption(DWORD event) {
    int signal = 0;
    if (event == CTRL_C_EVENT) signal = SIGINT;
    if (event == CTRL_BREAK_EVENT) signal = SIGBREAK;
    if (signal == 0) return FALSE;
    int none = 0;
    interruption_detail::noted_signal.compare_exchange_strong(none, signal, std::memory_order_relaxed);
    ::SetEvent(interruption_event());
    return TRUE;
}

void forget_note() {
    interruption_detail::noted_signal.store(0, std::memory_order_relaxed);
    ::ResetEvent(interruption_event());
}

}  // namespace

HANDLE interruption_event() {
    static const HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    return event;
}

void catch_interruptions() {
    forget_note();
    if (catching) return;
    catching = ::SetConsoleCtrlHandler(note_interruption, TRUE) != 0;
}

void release_interruptions() {
    if (catching) ::SetConsoleCtrlHandler(note_interruption, FALSE);
    catching = false;
    forget_note();
}

std::string interruption_message(int signal) {
    const char* name = signal == SIGINT ? "Ctrl-C" : signal == SIGBREAK ? "Ctrl-Break" : nullptr;
    return "interrupted by " + (name ? std::string(name) : "signal " + std::to_string(signal));
}

// The handler stays: an interruption after this point is noted and changes
// nothing.
void end_by_noted_signal() {
    const int signal = interrupting_signal();
    if (signal == 0) return;
    tell_user(interruption_message(signal));
    std::fflush(nullptr);
    ::ExitProcess(kControlCExit);
}

}  // namespace kestrelfold
