// Whole runs of the real program in a temporary directory. Stand-in `notepad`
// and `wgnuplot` programs come first on PATH: each call logs its name and its
// arguments (each in brackets) on one line, and keeps a numbered copy of the
// file named by its first argument, so a test sees each file as it stood
// when its command started. A stand-in can also replace that file, as a user
// editing it would.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "driver/available_memory.h"
#include "numerics/binary128.h"
#include "numerics/run_memory.h"
#include "tests/test_files.h"

namespace kestrelfold {
namespace {

using namespace test_support;
namespace fs = std::filesystem;
using Names = std::set<std::string>;

// The records of text written by the program: every line ends with CR LF,
// the last one included.
std::vector<std::string> records_of(const std::string& bytes) {
    std::vector<std::string> records;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find('\n', start);
        if (lf == std::string::npos || lf == start || bytes[lf - 1] != '\r') {
            ADD_FAILURE() << "record " << records.size() + 1 << " does not end with CR LF";
            return records;
        }
        records.push_back(bytes.substr(start, lf - 1 - start));
        start = lf + 1;
    }
    return records;
}

// The eight values of a run, one per line, each followed by a comment.
struct Input {
    std::string caso = "saida.txt";
    std::string fonte = "0";
    std::string N = "10";
    std::string graf = "0";
    std::string coef = "0";
    std::string sol = "1";
    std::string freq = "1";
    std::string titulo = "'Poisson 1D, fonte 0, N = 10'";

    std::string text() const {
        return caso + "   nome da listagem\n" + fonte + "   fonte\n" + N + "   elementos da malha\n" + graf +
               "   graficos\n" + coef + "   coeficientes\n" + sol + "   solucoes\n" + freq + "   frequencia\n" +
               titulo + "\n";
    }
};

struct Outcome {
    int status = -1;  // exit status; -1 for a signal or a run that had to be stopped
    std::string err;
    std::string out;
};

// The two programs: the same run in double and in binary128, each naming
// itself on its console lines.
struct Program {
    const char* path;
    std::string name;
};
const Program kDouble{KESTRELFOLD_EXE, "kestrelfold"};
const Program kQuad{KESTRELFOLD_QUAD_EXE, "kestrelfold-quad"};
const std::vector<Program> kPrograms = {kDouble, kQuad};

// A gnuplot script of n records, as the user keeps it beside the program.
std::string script_of(int n) {
    std::string text;
    for (int k = 1; k <= n; ++k) text += "# line " + std::to_string(k) + " of the user's script\r\n";
    return text;
}

class WholeRunTest : public ::testing::Test {
protected:
    WholeRunTest() {
        install_stand_in("notepad");
        install_stand_in("wgnuplot");
    }

    void write_input(const Input& input) { write_bytes(work_ / "Kestrelfold.in", input.text()); }
    void write_scripts(int t_records, int e_records) {
        write_bytes(work_ / "Kestrelfold_T.gnu", script_of(t_records));
        write_bytes(work_ / "Kestrelfold_E.gnu", script_of(e_records));
    }
    // The n-th command's stand-in (from 1) replaces its file with these bytes.
    void edit_at_command(int n, const std::string& bytes) { write_bytes(seen_ / ("edit." + std::to_string(n)), bytes); }
    // For the next case of a table: an empty work directory, no commands seen.
    void start_afresh() {
        for (const auto& entry : fs::directory_iterator(work_)) fs::remove_all(entry.path());
        for (const auto& entry : fs::directory_iterator(seen_)) fs::remove_all(entry.path());
    }
    void remove_stand_ins() {
        fs::remove(bin_ / "notepad");
        fs::remove(bin_ / "wgnuplot");
    }

    // The program in the work directory, stdin from /dev/null, with the
    // stand-ins first on PATH; with a file size limit the program may not
    // write more than that many bytes to any file (SIGXFSZ ignored, so the
    // write is refused instead of the process being killed).
    Outcome run_program(std::optional<rlim_t> file_size_limit = std::nullopt,
                        const std::vector<std::string>& arguments = {}, const Program& program = kDouble) {
        const fs::path err_file = root_.file("stderr");
        const fs::path out_file = root_.file("stdout");
        const std::string path = bin_.string() + ":" + std::string(kSystemPath);
        std::vector<std::string> words = {program.name};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(work_.c_str()) != 0) _exit(126);
            setenv("PATH", path.c_str(), 1);
            const int null = open("/dev/null", O_RDWR);
            const int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int out = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (null < 0 || err < 0 || out < 0) _exit(126);
            dup2(null, 0);
            dup2(out, 1);
            dup2(err, 2);
            if (file_size_limit) {
                signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{*file_size_limit, *file_size_limit};
                if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
            }
            execv(program.path, argv.data());
            _exit(127);
        }
        Outcome outcome;
        if (pid < 0) {
            ADD_FAILURE() << "fork failed";
            return outcome;
        }
        outcome.status = wait_with_safety_limit(pid);
        outcome.err = read_bytes(err_file);
        outcome.out = read_bytes(out_file);
        return outcome;
    }

    // The command lines started, one per line: name [arg] [arg] ...
    std::vector<std::string> commands() const { return read_lines(seen_ / "commands.log"); }
    // The file of the n-th command as it stood when the command started.
    std::string seen_by_command(int n) const { return read_bytes(seen_ / ("snapshot." + std::to_string(n))); }
    // Any file of the work directory as it stood when the n-th command started.
    std::string in_work_at_command(int n, const std::string& name) const {
        return read_bytes(seen_ / ("folder." + std::to_string(n)) / name);
    }

    Names files_in_work() const {
        Names names;
        for (const auto& entry : fs::directory_iterator(work_)) names.insert(entry.path().filename().string());
        return names;
    }
    std::string file(const std::string& name) const { return read_bytes(work_ / name); }
    std::vector<std::string> records(const std::string& name) const { return records_of(file(name)); }

    TempDir root_;  // the test's own: the folders work, bin and seen, and stderr
    const fs::path work_ = root_.folder("work");

private:
    // Logs, keeps a copy of its file and of the whole work directory, applies
    // a pending edit; exits with a status that is not 0, which the run must
    // store and otherwise ignore.
    void install_stand_in(const std::string& name) {
        const std::string seen = "'" + seen_.string() + "'";
        write_script(bin_ / name,
                     "#!/bin/sh\n"
                     "n=$(( $(cat " + seen + "/count 2>/dev/null || echo 0) + 1 ))\n"
                     "echo $n > " + seen + "/count\n"
                     "{ printf '%s' " + name + "; for a in \"$@\"; do printf ' [%s]' \"$a\"; done; printf '\\n'; }"
                     " >> " + seen + "/commands.log\n"
                     "cp -- \"$1\" " + seen + "/snapshot.$n 2>/dev/null\n"
                     "mkdir " + seen + "/folder.$n && cp -- * " + seen + "/folder.$n/ 2>/dev/null\n"
                     "if [ -f " + seen + "/edit.$n ]; then cat " + seen + "/edit.$n > \"$1\"; fi\n"
                     "exit 3\n");
    }

    // Not a speed check: only keeps a run that hangs from blocking the suite.
    static int wait_with_safety_limit(pid_t pid) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        int status = 0;
        for (;;) {
            const pid_t done = waitpid(pid, &status, WNOHANG);
            if (done == pid) break;
            if (done < 0) return -1;
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
                ADD_FAILURE() << "the program did not end within two minutes";
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const fs::path bin_ = root_.folder("bin");
    const fs::path seen_ = root_.folder("seen");
};

const std::string kTitle = "Poisson 1D, fonte 0, N = 10";
const std::string kSolutionsHeading = " *** SOLU\xC7\xD5" "ES DE T ***";
const std::string kInterestHeading = " *** VARI\xC1VEIS DE INTERESSE ***";

// The node number in columns 1-8 of each row of a table.
std::vector<std::string> node_numbers(const std::vector<std::string>& rows) {
    std::vector<std::string> numbers;
    for (const std::string& row : rows) numbers.push_back(row.substr(0, 8));
    return numbers;
}

std::vector<std::string> node_column(std::initializer_list<int> nodes) {
    std::vector<std::string> column;
    for (const int i : nodes) {
        const std::string digits = std::to_string(i);
        column.push_back(blanks(8 - digits.size()) + digits);
    }
    return column;
}

// The traced run of a typical session: the commands in order with their
// arguments, each file complete when its command starts, the listing last.
TEST_F(WholeRunTest, TypicalRunEndToEnd) {
    Input input;
    input.graf = "1";
    write_input(input);
    write_scripts(10, 6);  // T: 8 kept, an old title and replot; E: 6 kept

    const Outcome outcome = run_program();
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(commands(), (std::vector<std::string>{
                              "notepad [Kestrelfold.in]",
                              "wgnuplot [Kestrelfold_T.gnu]",
                              "wgnuplot [Kestrelfold_E.gnu]",
                              "notepad [saida.txt.Vantreuse]",
                              "notepad [saida.txt]",
                          }));
    EXPECT_EQ(files_in_work(), (Names{"Kestrelfold.in", "Kestrelfold_E.gnu", "Kestrelfold_T.dat",
                                      "Kestrelfold_T.gnu", "saida.txt", "saida.txt.Vantreuse"}));
    EXPECT_EQ(seen_by_command(1), input.text());
    EXPECT_EQ(file("Kestrelfold.in"), input.text());

    const std::string title_command = " set title '" + kTitle + "'";
    const auto t_script = records_of(seen_by_command(2));
    ASSERT_EQ(t_script.size(), 10u);
    EXPECT_EQ(t_script[7], "# line 8 of the user's script");
    EXPECT_EQ(t_script[8], title_command);
    EXPECT_EQ(t_script[9], " replot");
    const auto e_script = records_of(seen_by_command(3));
    ASSERT_EQ(e_script.size(), 8u);
    EXPECT_EQ(e_script[5], "# line 6 of the user's script");
    EXPECT_EQ(e_script[6], title_command);

    const auto data = records("Kestrelfold_T.dat");
    ASSERT_EQ(data.size(), 13u);
    EXPECT_EQ(data[0], "# *** SOLU\xC7\xD5" "ES DE T ***");
    EXPECT_EQ(node_numbers({data.begin() + 2, data.end()}), node_column({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

    const auto extrapolation = records_of(seen_by_command(4));
    ASSERT_EQ(extrapolation.size(), 4u);
    EXPECT_EQ(extrapolation[0], "    1.00000000000000005551115123125783E-01  h                 (m)");
    EXPECT_EQ(extrapolation[3].substr(0, 2), " 3");
    EXPECT_EQ(extrapolation[3].substr(44), "inclina\xE7\xE3o em x=1 (adim.)");

    const auto listing = records_of(seen_by_command(5));
    EXPECT_EQ(seen_by_command(5), file("saida.txt"));
    ASSERT_EQ(listing.size(), 43u);
    EXPECT_EQ(listing[0], "");
    EXPECT_EQ(listing[1], "       t\xEDtulo = " + kTitle);
    EXPECT_EQ(listing[3], " *** DADOS ***");
    EXPECT_EQ(listing[5], blanks(23) + "caso = saida.txt" + blanks(41));
    EXPECT_EQ(listing[7], "       0 .................. = fonte");
    EXPECT_EQ(listing[8], "      10 .................. = n\xFAmero de elementos da malha (N)");
    EXPECT_EQ(listing[10], "       1.00000000000000E-01 = comprimento de cada elemento da malha (h)");
    EXPECT_EQ(listing[12], kSolutionsHeading);
    EXPECT_EQ(node_numbers({listing.begin() + 16, listing.begin() + 27}),
              node_column({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    // Node 10 lies at x = 1, where T = 1 exactly: the boundary condition.
    EXPECT_EQ(listing[26].substr(8, 69), "   1.00000000000000E+00   1.00000000000000E+00   1.00000000000000E+00");
    EXPECT_EQ(listing[28], kInterestHeading);
    EXPECT_TRUE(listing[31].ends_with(") *** " + kTitle)) << listing[31];
    EXPECT_TRUE(listing[42].ends_with(" = tempo de processamento (segundos)")) << listing[42];
}

// While a command runs, every file the run has written holds this run's
// whole records, and nothing of an earlier run: the listing has its tables
// when the plots are shown, although it is still open.
TEST_F(WholeRunTest, WhileACommandRunsTheFilesHoldThisRunsRecords) {
    Input input;
    input.graf = "1";
    input.coef = "1";
    write_input(input);
    write_scripts(8, 6);
    std::string stale;
    for (int i = 0; i < 500; ++i) stale += "stale record of an earlier run\r\n";
    write_bytes(work_ / "saida.txt", stale);
    write_bytes(work_ / "Kestrelfold_T.dat", stale);

    ASSERT_EQ(run_program().status, 0);
    const std::string listing = file("saida.txt");
    const std::string tables = listing.substr(0, listing.find("\r\n\r\n" + kInterestHeading + "\r\n") + 2);
    ASSERT_LT(tables.size(), listing.size());
    const std::vector<std::pair<int, std::string>> listing_at = {
        {1, stale}, {2, tables}, {3, tables}, {4, listing}, {5, listing}};
    for (const auto& [command, expected] : listing_at) {
        EXPECT_EQ(in_work_at_command(command, "saida.txt"), expected) << "command " << command;
    }
    EXPECT_EQ(in_work_at_command(1, "Kestrelfold_T.dat"), stale);
    for (int command = 2; command <= 5; ++command) {
        EXPECT_EQ(in_work_at_command(command, "Kestrelfold_T.dat"), file("Kestrelfold_T.dat")) << command;
    }
    EXPECT_EQ(in_work_at_command(4, "saida.txt.Vantreuse"), file("saida.txt.Vantreuse"));
}

// What the user saves in the editor is what the run reads.
TEST_F(WholeRunTest, TheEditedInputIsRead) {
    Input before;
    write_input(before);
    Input edited;
    edited.N = "4";
    edited.titulo = "'after the edit'";
    edit_at_command(1, edited.text());

    EXPECT_EQ(run_program().status, 0);
    EXPECT_EQ(seen_by_command(1), before.text());
    EXPECT_EQ(file("Kestrelfold.in"), edited.text());
    const auto listing = records("saida.txt");
    ASSERT_EQ(listing.size(), 37u);
    EXPECT_EQ(listing[1], "       t\xEDtulo = after the edit");
    EXPECT_EQ(listing[8].substr(0, 9), "       4 ");
    EXPECT_EQ(node_numbers({listing.begin() + 16, listing.begin() + 21}), node_column({0, 1, 2, 3, 4}));
}

// The input is closed before the listing opens, so a listing named like the
// input file replaces it.
TEST_F(WholeRunTest, ListingMayReplaceTheInputFile) {
    Input input;
    input.caso = "Kestrelfold.in";
    write_input(input);

    EXPECT_EQ(run_program().status, 0);
    EXPECT_EQ(commands(), (std::vector<std::string>{"notepad [Kestrelfold.in]", "notepad [Kestrelfold.in.Vantreuse]",
                                                    "notepad [Kestrelfold.in]"}));
    EXPECT_EQ(files_in_work(), (Names{"Kestrelfold.in", "Kestrelfold.in.Vantreuse"}));
    const auto listing = records("Kestrelfold.in");
    ASSERT_EQ(listing.size(), 43u);
    EXPECT_EQ(listing[1], "       t\xEDtulo = " + kTitle);
    EXPECT_EQ(listing[5], blanks(23) + "caso = Kestrelfold.in" + blanks(36));
    EXPECT_EQ(seen_by_command(3), file("Kestrelfold.in"));
}

// A listing named like a plot file would be written over it (the user's
// script lost, or the listing cut by the plot data): refused before any file
// is written, whatever graf says; the user's files stay as they were.
TEST_F(WholeRunTest, ListingNamedLikeAPlotFileIsRefused) {
    struct Case {
        std::string caso;
        std::string what;
    };
    const std::vector<Case> cases = {
        {"Kestrelfold_T.gnu", "a plot script"},
        {"Kestrelfold_E.gnu", "a plot script"},
        {"Kestrelfold_T.dat", "the plot data file"},
    };
    for (const Case& c : cases) {
        for (const char* graf : {"1", "0"}) {
            SCOPED_TRACE(c.caso + ", graf = " + graf);
            start_afresh();
            Input input;
            input.caso = c.caso;
            input.graf = graf;
            write_input(input);
            write_scripts(8, 6);
            write_bytes(work_ / "Kestrelfold_T.dat", "an earlier run's plot data\r\n");
            const Outcome outcome = run_program();
            EXPECT_EQ(outcome.status, 1);
            EXPECT_EQ(outcome.err, "kestrelfold: caso '" + c.caso + "' is the name of " + c.what +
                                       ": the listing would replace it; give the listing another name\n");
            EXPECT_EQ(commands(), std::vector<std::string>{"notepad [Kestrelfold.in]"});
            EXPECT_EQ(files_in_work(), (Names{"Kestrelfold.in", "Kestrelfold_E.gnu", "Kestrelfold_T.dat",
                                              "Kestrelfold_T.gnu"}));
            EXPECT_EQ(file("Kestrelfold_T.gnu"), script_of(8));
            EXPECT_EQ(file("Kestrelfold_E.gnu"), script_of(6));
            EXPECT_EQ(file("Kestrelfold_T.dat"), "an earlier run's plot data\r\n");
        }
    }
}

// A rerun with fewer nodes leaves nothing of the first run in any file.
TEST_F(WholeRunTest, SecondRunWithFewerNodes) {
    Input input;
    input.N = "20";
    input.graf = "1";
    input.coef = "1";
    write_input(input);
    write_scripts(8, 6);
    ASSERT_EQ(run_program().status, 0);
    ASSERT_EQ(records("saida.txt").size(), 11u + 26u + 26u + 16u);

    input.N = "5";
    write_input(input);
    ASSERT_EQ(run_program().status, 0);
    const auto listing = records("saida.txt");
    ASSERT_EQ(listing.size(), 11u + 11u + 11u + 16u);
    EXPECT_EQ(node_numbers({listing.begin() + 16, listing.begin() + 22}), node_column({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(node_numbers({listing.begin() + 27, listing.begin() + 33}), node_column({0, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(listing.back().ends_with(" = tempo de processamento (segundos)"));
    EXPECT_EQ(records("Kestrelfold_T.dat").size(), 8u);
    EXPECT_EQ(records("Kestrelfold_T.gnu").size(), 10u);
    EXPECT_EQ(records("Kestrelfold_E.gnu").size(), 8u);
    EXPECT_EQ(records("saida.txt.Vantreuse").size(), 4u);
    EXPECT_EQ(records("saida.txt.Vantreuse")[0].substr(0, 42), "    2.00000000000000011102230246251565E-01");
}

// A listing name with blanks and shell metacharacters reaches each command as
// one argument; nothing in it is run.
TEST_F(WholeRunTest, ListingNamesAreNeverRunByTheShell) {
    struct Case {
        std::string caso;  // as written in the input file
        std::string name;  // the file name it gives
    };
    const std::vector<Case> cases = {
        {"\"a b;touch p1;$(touch p2)`touch p3`'\"\"x\"", "a b;touch p1;$(touch p2)`touch p3`'\"x"},
        {"'  spaced name.txt  '", "spaced name.txt"},
        {"'x'' && touch p4 #'", "x' && touch p4 #"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start_afresh();
        Input input;
        input.caso = c.caso;
        write_input(input);
        EXPECT_EQ(run_program().status, 0);
        EXPECT_EQ(commands(), (std::vector<std::string>{"notepad [Kestrelfold.in]",
                                                        "notepad [" + c.name + ".Vantreuse]",
                                                        "notepad [" + c.name + "]"}));
        EXPECT_EQ(files_in_work(), (Names{"Kestrelfold.in", c.name, c.name + ".Vantreuse"}));
        EXPECT_EQ(records(c.name).size(), 43u);
    }
}

// The program takes no arguments: --help and --version answer on standard
// output, as GNU programs do; any other argument is refused in one line.
// None of them starts the editor or touches a file.
TEST_F(WholeRunTest, ArgumentsAreAnsweredWithoutARun) {
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string out_starts;  // standard output begins with this
        std::string err;
    };
    const std::string refused = ": the input file Kestrelfold.in holds the run; see kestrelfold --help\n";
    const std::vector<Case> cases = {
        {{"--help"}, 0, "Usage: kestrelfold\n", ""},
        {{"--version"}, 0, "kestrelfold " KESTRELFOLD_VERSION "\n", ""},
        {{"Kestrelfold.in", "--version"}, 0, "kestrelfold " KESTRELFOLD_VERSION "\n", ""},
        {{"--help", "--version"}, 0, "Usage: kestrelfold\n", ""},
        {{"Kestrelfold.in"}, 2, "", "kestrelfold: takes no arguments (got 'Kestrelfold.in')" + refused},
        {{"-h"}, 2, "", "kestrelfold: takes no arguments (got '-h')" + refused},
        {{"--hel"}, 2, "", "kestrelfold: takes no arguments (got '--hel')" + refused},
        {{""}, 2, "", "kestrelfold: takes no arguments (got '')" + refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.front());
        start_afresh();
        const Outcome outcome = run_program(std::nullopt, c.arguments);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_TRUE(outcome.out.starts_with(c.out_starts)) << outcome.out;
        if (c.out_starts.empty()) {
            EXPECT_EQ(outcome.out, "");
        }
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_TRUE(commands().empty());
        EXPECT_TRUE(files_in_work().empty());
    }
}

// A title saved as UTF-8 (by an editor outside the desktop adapter): one
// warning with the command that converts the input, and the run goes on
// with its bytes copied as they are.
TEST_F(WholeRunTest, Utf8InputIsToldAndCopiedAsItIs) {
    Input input;
    input.titulo = "'Solução à mão'";
    write_input(input);
    const Outcome outcome = run_program();
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_TRUE(outcome.err.starts_with("kestrelfold: Kestrelfold.in holds UTF-8 text (titulo on line 8)")) << outcome.err;
    EXPECT_NE(outcome.err.find("iconv -f UTF-8 -t ISO-8859-1 Kestrelfold.in > Kestrelfold.in.latin1 && mv "
                               "Kestrelfold.in.latin1 Kestrelfold.in\n"),
              std::string::npos);
    EXPECT_EQ(records("saida.txt").at(1), "       t\xEDtulo = Solução à mão");
    EXPECT_EQ(file("Kestrelfold.in"), input.text());
}

// Editor and plotting program missing: each command fails, the run goes on.
TEST_F(WholeRunTest, MissingExternalProgramsDoNotStopTheRun) {
    remove_stand_ins();
    Input input;
    input.graf = "1";
    write_input(input);
    write_scripts(8, 6);
    const Outcome outcome = run_program();
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.err.find("not found"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find("kestrelfold:"), std::string::npos) << outcome.err;
    EXPECT_EQ(records("saida.txt").size(), 43u);
    EXPECT_EQ(records("saida.txt.Vantreuse").size(), 4u);
}

// Input that ends the run: a message on stderr, a non-zero exit, and nothing
// written but the (possibly created) input file.
TEST_F(WholeRunTest, InputThatEndsTheRun) {
    struct Case {
        const char* name;
        std::optional<std::string> input;  // nothing: no input file at all
        std::string message;
    };
    const auto with = [](auto change) {
        Input input;
        change(input);
        return std::optional<std::string>(input.text());
    };
    const std::string end_of_file = "end-of-file during read, unit 7, file Kestrelfold.in";
    const std::string syntax = "list-directed I/O syntax error, unit 7, file Kestrelfold.in";
    const std::vector<Case> cases = {
        {"missing input", std::nullopt,
         end_of_file + ": caso (the 1st value) is missing: the file is empty; " + kWhereTheExamplesAre},
        {"empty input", std::string(),
         end_of_file + ": caso (the 1st value) is missing: the file is empty; " + kWhereTheExamplesAre},
        {"short input", std::string("saida.txt\n0\n10\n1\n"),
         end_of_file + ": coef (the 5th value) is missing: the file ends after line 4"},
        {"title never closed", with([](Input& i) { i.titulo = "'Poisson 1D"; }),
         end_of_file + ": titulo (the 8th value) is missing: the text opened with ' on line 8 is never closed"},
        {"bad integer", with([](Input& i) { i.N = "1O"; }), syntax + ": line 3 (N): '1O' is not an integer"},
        {"integer beyond 32 bits", with([](Input& i) { i.N = "2147483648"; }),
         syntax + ": line 3 (N): '2147483648' does not fit a 32-bit integer"},
        {"N = 1", with([](Input& i) { i.N = "1"; }), "N = 1: the mesh needs at least 2 elements"},
        {"N = 0", with([](Input& i) { i.N = "0"; }), "N = 0: the mesh needs at least 2 elements"},
        {"N = -3", with([](Input& i) { i.N = "-3"; }), "N = -3: the mesh needs at least 2 elements"},
        {"freq = 0", with([](Input& i) { i.freq = "0"; }), "freq = 0: the print frequency must be at least 1"},
        {"fonte = 5", with([](Input& i) { i.fonte = "5"; }), "fonte = 5: the source term must be one of 0 to 4"},
        {"fonte = -1", with([](Input& i) { i.fonte = "-1"; }), "fonte = -1: the source term must be one of 0 to 4"},
        {"blank caso", with([](Input& i) { i.caso = "'    '"; }), "caso is blank: the listing needs a file name"},
        {"null caso", with([](Input& i) { i.caso = ","; }), "caso is blank: the listing needs a file name"},
        {"unquoted absolute path", with([](Input& i) { i.caso = "/tmp/saida.txt"; }),
         "caso is blank: the listing needs a file name; line 1 begins with a slash, which ends an unquoted value: "
         "put a name with a slash in quotes"},
    };
    for (const Program& program : kPrograms) {
        for (const Case& c : cases) {
            SCOPED_TRACE(program.name + ", " + c.name);
            start_afresh();
            if (c.input) write_bytes(work_ / "Kestrelfold.in", *c.input);
            const Outcome outcome = run_program(std::nullopt, {}, program);
            EXPECT_EQ(outcome.status, 1);
            EXPECT_EQ(outcome.err, program.name + ": " + c.message + "\n");
            EXPECT_EQ(files_in_work(), Names{"Kestrelfold.in"});
            EXPECT_EQ(file("Kestrelfold.in"), c.input.value_or(""));
            EXPECT_EQ(commands(), std::vector<std::string>{"notepad [Kestrelfold.in]"});
        }
    }
}

// 2^31 nodes need 17 GB: where the machine has less, the run ends with the
// allocation message before it allocates or writes anything, instead of
// being killed.
TEST_F(WholeRunTest, MeshTooLargeForTheMachine) {
    const auto available = available_memory();
    if (!available || *available >= run_memory_bytes(2147483647)) GTEST_SKIP() << "memory unknown or large enough";
    Input input;
    input.N = "2147483647";
    write_input(input);
    const Outcome outcome = run_program();
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "kestrelfold: insufficient virtual memory\n");
    EXPECT_EQ(files_in_work(), Names{"Kestrelfold.in"});
}

// The binary128 program checks its own figure, 32 bytes a node (69 GB at
// 2^31 nodes): a mesh the double program could still run may be refused.
TEST_F(WholeRunTest, QuadMeshTooLargeForTheMachine) {
    const auto available = available_memory();
    if (!available || *available >= run_memory_bytes<Quad>(2147483647)) GTEST_SKIP() << "memory unknown or large enough";
    Input input;
    input.N = "2147483647";
    write_input(input);
    const Outcome outcome = run_program(std::nullopt, {}, kQuad);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "kestrelfold-quad: insufficient virtual memory\n");
    EXPECT_EQ(files_in_work(), Names{"Kestrelfold.in"});
}

// A missing T script is created empty and its first read meets the end of
// the file: the listing keeps its tables, the data file is complete, and
// nothing after the plots happens.
TEST_F(WholeRunTest, MissingPlotScript) {
    Input input;
    input.graf = "1";
    write_input(input);
    const Outcome outcome = run_program();
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "kestrelfold: end-of-file during read, unit 11, file Kestrelfold_T.gnu: the file is empty, "
                           "the script needs 8 before the title; " + kWhereTheExamplesAre + "\n");
    EXPECT_EQ(commands(), std::vector<std::string>{"notepad [Kestrelfold.in]"});
    EXPECT_EQ(files_in_work(), (Names{"Kestrelfold.in", "Kestrelfold_T.dat", "Kestrelfold_T.gnu", "saida.txt"}));
    EXPECT_EQ(file("Kestrelfold_T.gnu"), "");
    EXPECT_EQ(records("Kestrelfold_T.dat").size(), 13u);
    const auto listing = records("saida.txt");
    ASSERT_EQ(listing.size(), 27u);
    EXPECT_EQ(listing[12], kSolutionsHeading);
    EXPECT_EQ(listing[26].substr(0, 8), "      10");
}

// An E script of 3 records: the T script is already updated and plotted.
TEST_F(WholeRunTest, ShortPlotScript) {
    Input input;
    input.graf = "1";
    write_input(input);
    write_scripts(8, 3);
    const Outcome outcome = run_program();
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "kestrelfold: end-of-file during read, unit 11, file Kestrelfold_E.gnu: the file has 3 "
                           "lines, the script needs 6 before the title; " + kWhereTheExamplesAre + "\n");
    EXPECT_EQ(commands(), (std::vector<std::string>{"notepad [Kestrelfold.in]", "wgnuplot [Kestrelfold_T.gnu]"}));
    EXPECT_EQ(records("Kestrelfold_T.gnu").size(), 10u);
    EXPECT_EQ(file("Kestrelfold_E.gnu"), script_of(3));
    EXPECT_FALSE(fs::exists(work_ / "saida.txt.Vantreuse"));
    EXPECT_EQ(records("saida.txt").size(), 27u);
}

// The system refuses the listing's bytes beyond 4096: the run ends with the
// write error of unit 10, and the listing is never shown.
TEST_F(WholeRunTest, RefusedWriteOnTheListing) {
    Input input;
    input.N = "200";
    input.coef = "1";
    write_input(input);
    const Outcome outcome = run_program(4096);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "kestrelfold: error during write, unit 10, file saida.txt: File too large\n");
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    const auto seen = commands();
    EXPECT_EQ(std::find(seen.begin(), seen.end(), "notepad [saida.txt]"), seen.end());
    EXPECT_LE(fs::file_size(work_ / "saida.txt"), 4096u);
    EXPECT_TRUE(file("saida.txt").starts_with("\r\n       t\xEDtulo = " + kTitle + "\r\n"));
}

// A record with each number (an E field, or the processing time in F14.3)
// and the blanks before it replaced by one '#': what must be the same in
// both programs' files, every literal, blank, label and record boundary.
std::string without_numbers(const std::string& record) {
    static const std::regex number(R"( *-?[0-9]+\.[0-9]+(E[-+][0-9][0-9]|[-+][0-9][0-9][0-9])?)");
    return std::regex_replace(record, number, "#");
}

struct ProgramFiles {
    Names names;
    std::vector<std::string> commands;
    std::map<std::string, std::vector<std::string>> records;
};

// kestrelfold-quad writes the files of kestrelfold with the same layouts:
// the same files, commands and records, each record as long as the
// double's, and the same bytes outside the numbers; its numbers are its
// own (h = 1/N in E40.32 shows the binary128 value's 33 digits).
TEST_F(WholeRunTest, QuadWritesTheDoublesFilesWithItsOwnNumbers) {
    struct Case {
        std::string fonte, N, freq, h_field;
    };
    const std::vector<Case> cases = {
        {"0", "10", "1", "    1.00000000000000000000000000000000E-01"},
        {"4", "7", "3", "    1.42857142857142857142857142857143E-01"},
        {"2", "1000", "97", "    1.00000000000000000000000000000000E-03"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("fonte " + c.fonte + ", N " + c.N);
        Input input;
        input.fonte = c.fonte;
        input.N = c.N;
        input.freq = c.freq;
        input.graf = input.coef = input.sol = "1";
        std::map<std::string, ProgramFiles> runs;
        for (const Program& program : kPrograms) {
            start_afresh();
            write_input(input);
            write_scripts(8, 6);
            const Outcome outcome = run_program(std::nullopt, {}, program);
            EXPECT_EQ(outcome.status, 0) << program.name << ": " << outcome.err;
            EXPECT_EQ(outcome.err, "");
            ProgramFiles& files = runs[program.name];
            files.names = files_in_work();
            files.commands = commands();
            for (const std::string& name : files.names) {
                if (name != "Kestrelfold.in") files.records[name] = records(name);
            }
        }
        const ProgramFiles& twofold = runs[kDouble.name];
        const ProgramFiles& quad = runs[kQuad.name];
        EXPECT_EQ(quad.names, twofold.names);
        EXPECT_EQ(quad.commands, twofold.commands);
        for (const auto& [name, records] : twofold.records) {
            const auto found = quad.records.find(name);
            if (found == quad.records.end()) continue;
            ASSERT_EQ(found->second.size(), records.size()) << name;
            for (std::size_t k = 0; k < records.size(); ++k) {
                EXPECT_EQ(found->second[k].size(), records[k].size()) << name << " record " << k + 1;
                EXPECT_EQ(without_numbers(found->second[k]), without_numbers(records[k])) << name << " record " << k + 1;
            }
        }
        const std::vector<std::string>& data = quad.records.at("saida.txt.Vantreuse");
        ASSERT_EQ(data.size(), 4u);
        EXPECT_EQ(data[0].substr(0, 42), c.h_field);
        EXPECT_NE(data[0], twofold.records.at("saida.txt.Vantreuse")[0]);
    }
}

}  // namespace
}  // namespace kestrelfold
