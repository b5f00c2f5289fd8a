#include "driver/run_command.h"

#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string>

extern char** environ;

namespace kestrelfold {
namespace {

// Whatever this program has written to the console comes before whatever the
// started program writes.
void flush_console() {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
}

// The exit status of the child, or -1 when the wait fails or a signal ended it.
std::int32_t wait_for(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) == -1) {
        if (errno != EINTR) return -1;
    }
    if (!WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace

std::int32_t run_command(std::string_view text) {
    std::string line(text.substr(0, text.find_last_not_of(' ') + 1));
    std::string shell = "sh";
    std::string option = "-c";
    char* argv[] = {shell.data(), option.data(), line.data(), nullptr};
    flush_console();
    // The run ignores SIGXFSZ (file_size_signal.h); the started program gets
    // the default action back, as if started from the desktop.
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) return -1;
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGXFSZ);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/bin/sh", nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) return -1;
    return wait_for(pid);
}

std::string shell_quote(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";  // close the quotes, an escaped ', reopen
        } else {
            quoted += c;
        }
    }
    quoted += '\'';
    return quoted;
}

std::string notepad_command(std::string_view file) { return "notepad " + shell_quote(file); }

}  // namespace kestrelfold
