#include "study/plots.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "study/program_location.h"
#include "study/study_layout.h"
#include "study/text_file.h"

extern char** environ;

namespace kestrelfold::study {
namespace fs = std::filesystem;
namespace {

// What gnuplot prints goes to a file beside the script, so that a gnuplot
// in its own process group never writes to the terminal, and is passed on
// once it has ended.
constexpr std::string_view kGnuplotLog = "gnuplot.log";
constexpr std::size_t kLongestGnuplotLog = 64 * 1024;

// gnuplot converts the script's UTF-8 texts through the locale; one without
// UTF-8 (C, POSIX) makes it warn about every accent.
std::vector<std::string> plot_environment() {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable) {
        if (std::strncmp(*variable, "LC_ALL=", 7) != 0) variables.emplace_back(*variable);
    }
    variables.emplace_back("LC_ALL=C.UTF-8");
    return variables;
}

// gnuplot started in `dir` through a shell that moves there first (the
// folder and the program reach it as arguments, never inside the command),
// as the leader of a new process group, with the study's mask and the
// default actions of the signals it waits for. The pid, or -1.
pid_t start_gnuplot(const fs::path& gnuplot, const fs::path& dir, const SignalWait& signals) {
    std::string shell = "sh";
    std::string option = "-c";
    std::string command = "cd -- \"$1\" && exec \"$2\" \"$3\" >\"$4\" 2>&1";
    std::string folder = dir.string();
    std::string program = gnuplot.string();
    std::string script(kPlotScript);
    std::string log(kGnuplotLog);
    char* argv[] = {shell.data(),   option.data(), command.data(), shell.data(), folder.data(),
                    program.data(), script.data(), log.data(),     nullptr};
    std::vector<std::string> variables = plot_environment();
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0) return -1;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return -1;
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const sigset_t defaults = SignalWait::child_defaults();
    posix_spawnattr_setsigmask(&attributes, &signals.saved_mask());
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    pid_t pid = -1;
    std::cerr.flush();
    const int error = posix_spawn(&pid, "/bin/sh", &actions, &attributes, argv, envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

struct GnuplotEnd {
    int status = -1;  // its exit status; -1 when a signal ended it
    int interrupted_by = 0;
};

// Waits for gnuplot. An interrupting signal kills its whole group (gnuplot,
// or whatever stands in for it, and anything it started), so that nothing
// writes a picture once the study has ended.
GnuplotEnd wait_for_gnuplot(pid_t pid, SignalWait& signals) {
    GnuplotEnd end;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            end.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            return end;
        }
        if (done < 0 && errno != EINTR) return end;
        const int signal = signals.wait(0);
        if (signal == SIGCHLD || signal == 0) continue;
        end.interrupted_by = signal;
        kill(-pid, SIGKILL);
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return end;
    }
}

bool drawn(const fs::path& picture) {
    std::error_code error;
    return fs::is_regular_file(picture, error) && fs::file_size(picture, error) > 0;
}

std::string gnuplot_said(const fs::path& dir) {
    std::string said = read_tail(dir / kGnuplotLog, kLongestGnuplotLog).value_or("");
    std::error_code error;
    fs::remove(dir / kGnuplotLog, error);
    return said;
}

}  // namespace

PlotOutcome draw_plots(const fs::path& dir, SignalWait& signals) {
    const char* path = std::getenv("PATH");
    const std::optional<fs::path> gnuplot = executable_on_path(path ? path : "", "gnuplot");
    if (!gnuplot) {
        return {PlotResult::no_gnuplot,
                "gnuplot not found on PATH: plots skipped (Debian: apt-get install gnuplot-nox; then gnuplot " +
                    std::string(kPlotScript) + " in the study's folder draws them)",
                {}};
    }
    const pid_t pid = start_gnuplot(*gnuplot, dir, signals);
    if (pid < 0) return {PlotResult::failed, "gnuplot could not be started: no plots", {}};
    const GnuplotEnd end = wait_for_gnuplot(pid, signals);
    std::string said = gnuplot_said(dir);
    if (end.interrupted_by) return {PlotResult::interrupted, {}, {}, end.interrupted_by};
    const bool pictures = drawn(dir / picture_name(kErrorPlot, kRequiredKind)) &&
                          drawn(dir / picture_name(kOrderPlot, kRequiredKind));
    if (end.status != 0 || !pictures) {
        return {PlotResult::failed,
                "gnuplot failed on " + std::string(kPlotScript) +
                    (end.status != 0 ? " (status " + std::to_string(end.status) + ")" : "") + ": no plots",
                std::move(said)};
    }
    return {PlotResult::drawn, {}, std::move(said)};
}

}  // namespace kestrelfold::study
