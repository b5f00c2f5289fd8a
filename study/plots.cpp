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

extern char** environ;

namespace kestrelfold::study {
namespace fs = std::filesystem;
namespace {

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

// The status of gnuplot run on the script in `dir`; -1 when it could not be
// started or was ended by a signal. A shell moves into the folder first; the
// folder and the program reach it as arguments, never inside the command.
int run_gnuplot(const fs::path& gnuplot, const fs::path& dir) {
    std::string shell = "sh";
    std::string option = "-c";
    std::string command = "cd -- \"$1\" && exec \"$2\" \"$3\"";
    std::string folder = dir.string();
    std::string program = gnuplot.string();
    std::string script(kPlotScript);
    char* argv[] = {shell.data(), option.data(), command.data(), shell.data(), folder.data(), program.data(),
                    script.data(), nullptr};
    std::vector<std::string> variables = plot_environment();
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return -1;
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = -1;
    std::cerr.flush();
    const int error = posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool drawn(const fs::path& picture) {
    std::error_code error;
    return fs::is_regular_file(picture, error) && fs::file_size(picture, error) > 0;
}

}  // namespace

PlotOutcome draw_plots(const fs::path& dir) {
    std::error_code error;
    for (std::string_view picture : {kErrorPlot, kOrderPlot}) fs::remove(dir / picture, error);

    const char* path = std::getenv("PATH");
    const std::optional<fs::path> gnuplot = executable_on_path(path ? path : "", "gnuplot");
    if (!gnuplot) {
        return {PlotResult::no_gnuplot, "gnuplot not found on PATH: plots skipped (" + (dir / kPlotScript).string() +
                                            " is written; Debian: apt-get install gnuplot-nox)"};
    }
    const int status = run_gnuplot(*gnuplot, dir);
    if (status != 0 || !drawn(dir / kErrorPlot) || !drawn(dir / kOrderPlot)) {
        return {PlotResult::failed, "gnuplot failed on " + (dir / kPlotScript).string() +
                                        (status != 0 ? " (status " + std::to_string(status) + ")" : "") +
                                        ": plots not drawn"};
    }
    return {PlotResult::drawn, {}};
}

}  // namespace kestrelfold::study
