#pragma once
// Whole runs of the real program with faults injected from outside it: a
// preloaded library that refuses the writes to one file beyond a byte limit
// (write_limit.cpp), the file-size limit and the address-space limit. Every
// run starts from the same directory (the input, the user's two plot
// scripts with the title of an earlier run, and longer stale output of an
// earlier run) with stand-in editor and plotting programs that return at
// once; what the directory holds afterwards is compared with what a run
// without any fault left there.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "numerics/binary128.h"
#include "tests/test_files.h"

extern char** environ;

namespace kestrelfold::robustness {

namespace fs = std::filesystem;

// The suite is built twice, for kestrelfold (double) and kestrelfold-quad
// (binary128): the program, the name its console lines start with, and the
// number type whose memory it checks.
#ifdef KESTRELFOLD_QUAD_SUITE
using ProgramReal = Quad;
inline constexpr std::string_view kProgramName = "kestrelfold-quad";
#else
using ProgramReal = double;
inline constexpr std::string_view kProgramName = "kestrelfold";
#endif
// The name a process of the program has in /proc/PID/comm: at most 15 bytes.
inline std::string program_comm() { return std::string(kProgramName.substr(0, 15)); }

inline const std::string kInput = "Kestrelfold.in";
inline const std::string kListing = "caso.txt";
inline const std::string kPlotData = "Kestrelfold_T.dat";
inline const std::string kTScript = "Kestrelfold_T.gnu";
inline const std::string kEScript = "Kestrelfold_E.gnu";
inline const std::string kExtrapolation = "caso.txt.Vantreuse";

// The files a run writes after the listing's tables, in the order it writes them.
inline const std::vector<std::string> kLaterFiles = {kPlotData, kTScript, kEScript, kExtrapolation};

// The run of every test: 201 nodes, every table and the plots. Large meshes
// are run without them (tables = "0").
inline std::string input_text(std::string_view caso, std::string_view N = "200", std::string_view tables = "1") {
    const std::string on(tables);
    return std::string(caso) + "   nome da listagem\n0   fonte\n" + std::string(N) + "   elementos\n" + on +
           "   graf\n" + on + "   coef\n" + on + "   sol\n1   freq\n'Falhas de escrita e de abertura'\n";
}

// A user's script: its kept lines, then the title command and replot of an
// earlier run, which this run replaces.
inline std::string user_script(char name, int kept) {
    std::string text;
    for (int line = 1; line <= kept; ++line) text += "# " + std::string(1, name) + " line " + std::to_string(line) + "\n";
    return text + " set title 'earlier run'\r\n replot\r\n";
}

inline std::string stale(std::string_view what, std::size_t records) {
    std::string text;
    for (std::size_t i = 0; i < records; ++i) text += "stale " + std::string(what) + " of an earlier run\r\n";
    return text;
}

// What a directory holds: each entry by name; a file by its bytes, a folder
// by the names and bytes of what is inside it.
using Snapshot = std::map<std::string, std::string>;

inline Snapshot snapshot_of(const fs::path& dir) {
    Snapshot entries;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory()) {
            std::string inside = "<folder>";
            for (const auto& [inner, bytes] : snapshot_of(entry.path())) inside += "[" + inner + ":" + bytes + "]";
            entries[name] = inside;
        } else {
            entries[name] = test_support::read_bytes(entry.path());
        }
    }
    return entries;
}

inline void restore(const fs::path& dir, const Snapshot& entries) {
    for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
    for (const auto& [name, bytes] : entries) test_support::write_bytes(dir / name, bytes);
}

// The start of every run: input, scripts, and stale output longer than this
// run's, so that a file not cut where the run ends it shows.
inline Snapshot initial_directory() {
    return {
        {kInput, input_text(kListing)},
        {kTScript, user_script('T', 8)},
        {kEScript, user_script('E', 6)},
        {kListing, stale("listing", 2000)},
        {kPlotData, stale("plot data", 1000)},
        {kExtrapolation, stale("value", 10)},
    };
}

struct Limits {
    std::string refused_file;              // empty: no write is refused
    std::uint64_t refused_beyond = 0;      // bytes that file may hold
    int signal_beyond = 0;                 // not 0: that signal instead, once, and no write refused
    std::optional<rlim_t> file_size;       // RLIMIT_FSIZE
    bool file_size_signal_ignored = true;  // SIGXFSZ ignored by the launcher, or left at its default
    std::optional<rlim_t> address_space;   // RLIMIT_AS
};

struct Outcome {
    int status = -1;  // exit status; -1 when a signal ended the run
    int signal = 0;   // the signal that ended it
    std::string err;
};

// A folder of its own with the stand-ins in bin/ and the runs in work/.
class FaultRuns {
public:
    FaultRuns() { plain_stand_ins(); }

    const fs::path& work() const { return work_; }
    // The folder of the run's own, beside work/, for what stand-ins keep.
    const fs::path& root() const { return root_.path(); }

    // Stand-ins that return at once.
    void plain_stand_ins() const {
        for (const char* name : {"notepad", "wgnuplot"}) {
            fs::remove(bin_ / name);
            fs::create_symlink("/bin/true", bin_ / name);
        }
    }
    // A stand-in of the test's own: a shell script.
    void stand_in(const std::string& name, const std::string& script) const {
        fs::remove(bin_ / name);
        test_support::write_script(bin_ / name, script);
    }

    // The program in work/, stdin and stdout on /dev/null, stderr read
    // through a pipe (a file would fall under the file-size limit as well);
    // blocks until it ends. `while_running` is called with its process id
    // once it has started.
    Outcome run(const Limits& limits = {}, const std::function<void(pid_t)>& while_running = {}) const {
        std::vector<std::string> settings = environment(limits);
        std::vector<char*> envp;
        for (std::string& setting : settings) envp.push_back(setting.data());
        envp.push_back(nullptr);
        Outcome outcome;
        int err[2];
        if (pipe2(err, O_CLOEXEC) != 0) return outcome;
        const pid_t pid = fork();
        if (pid == 0) start_program(limits, err[1], envp.data());
        close(err[1]);
        if (pid > 0 && while_running) while_running(pid);
        char buffer[4096];
        for (ssize_t got; (got = read(err[0], buffer, sizeof buffer)) != 0;) {
            if (got > 0) outcome.err.append(buffer, static_cast<std::size_t>(got));
            if (got < 0 && errno != EINTR) break;
        }
        close(err[0]);
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid) return outcome;
        if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
        return outcome;
    }

private:
    // The test's environment with PATH on the stand-ins and, for a refused
    // write, the preloaded library and its settings. An instrumented program
    // needs the AddressSanitizer runtime first among the preloaded libraries.
    std::vector<std::string> environment(const Limits& limits) const {
        std::vector<std::string> settings;
        for (char** entry = environ; *entry; ++entry) {
            const std::string_view setting(*entry);
            if (!setting.starts_with("PATH=") && !setting.starts_with("LD_PRELOAD=") &&
                !setting.starts_with("KESTRELFOLD_WRITE_LIMIT_")) {
                settings.emplace_back(setting);
            }
        }
        settings.push_back("PATH=" + bin_.string() + ":" + std::string(test_support::kSystemPath));
        if (!limits.refused_file.empty()) {
            std::string preload = KESTRELFOLD_WRITE_LIMIT_LIBRARY;
#ifdef KESTRELFOLD_ASAN_RUNTIME
            preload = std::string(KESTRELFOLD_ASAN_RUNTIME) + ":" + preload;
#endif
            settings.push_back("LD_PRELOAD=" + preload);
            settings.push_back("KESTRELFOLD_WRITE_LIMIT_FILE=" + limits.refused_file);
            settings.push_back("KESTRELFOLD_WRITE_LIMIT_BYTES=" + std::to_string(limits.refused_beyond));
            if (limits.signal_beyond != 0) {
                settings.push_back("KESTRELFOLD_WRITE_LIMIT_SIGNAL=" + std::to_string(limits.signal_beyond));
            }
        }
        return settings;
    }

    // In the child: only calls that are safe after fork, then the program.
    [[noreturn]] void start_program(const Limits& limits, int err, char** envp) const {
        if (chdir(work_.c_str()) != 0) _exit(126);
        const int null = open("/dev/null", O_RDWR);
        if (null < 0 || dup2(null, 0) < 0 || dup2(null, 1) < 0 || dup2(err, 2) < 0) _exit(126);
        if (limits.file_size) {
            signal(SIGXFSZ, limits.file_size_signal_ignored ? SIG_IGN : SIG_DFL);
            const rlimit limit{*limits.file_size, *limits.file_size};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
        }
        if (limits.address_space) {
            const rlimit limit{*limits.address_space, *limits.address_space};
            if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(126);
        }
        char* argv[] = {const_cast<char*>("kestrelfold"), nullptr};
        execve(KESTRELFOLD_EXE, argv, envp);
        _exit(127);
    }

    test_support::TempDir root_;
    const fs::path bin_ = root_.folder("bin");
    const fs::path work_ = root_.folder("work");
};

// The lines of a console text; a last line without its line end counts too.
inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The failure reported once: one console line, holding the message.
inline std::string one_message_problem(const std::string& err, const std::string& message) {
    const auto lines = lines_of(err);
    if (lines.size() != 1) return "expected one line on stderr, got: [" + err + "]";
    if (!lines[0].starts_with(std::string(kProgramName) + ": ")) return "not the program's own line: [" + err + "]";
    if (lines[0].find(message) == std::string::npos) return "no \"" + message + "\" in: [" + err + "]";
    return "";
}

// Empty when the two are equal; otherwise where they part, briefly (the
// files are too long to be shown whole).
inline std::string difference(const std::string& expected, const std::string& actual) {
    if (expected == actual) return "";
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    return "expected " + std::to_string(expected.size()) + " bytes, got " + std::to_string(actual.size()) +
           ", first difference at byte " + std::to_string(at) + ": [" + expected.substr(at, 40) + "] vs [" +
           actual.substr(at, 40) + "]";
}

// Whole directories, entry by entry; empty when they agree.
inline std::string difference(const Snapshot& expected, const Snapshot& actual) {
    std::string problems;
    for (const auto& [name, bytes] : expected) {
        const auto found = actual.find(name);
        if (found == actual.end()) {
            problems += name + ": missing; ";
        } else if (const std::string d = difference(bytes, found->second); !d.empty()) {
            problems += name + ": " + d + "; ";
        }
    }
    for (const auto& [name, bytes] : actual) {
        if (!expected.contains(name)) problems += name + ": not expected; ";
    }
    return problems;
}

}  // namespace kestrelfold::robustness
