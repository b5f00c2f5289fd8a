// run_command through cmd.exe and the quoting of file names for it:
// statuses as cmd.exe reports them, and every name reaching the started
// program as exactly one argument, with nothing in it run or expanded by
// cmd.exe. The stand-in notepad.exe (stand_in.cpp) logs its arguments.
#include "driver/run_command.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/test_files.h"

namespace kestrelfold {
namespace {

using namespace test_support;

class WindowsRunCommandTest : public ::testing::Test {
protected:
    std::string take_log() {
        std::string log = read_bytes(dir_ / "commands.log");
        std::filesystem::remove(dir_ / "commands.log");
        return log;
    }

    TempDir temp_;
    const std::filesystem::path dir_ = temp_.path();

private:
    CurrentDirectory inside_{dir_};
    PathFirst path_{KESTRELFOLD_STAND_IN_DIR, PathFirst::current()};
};

TEST_F(WindowsRunCommandTest, ExitStatuses) {
    struct Case {
        std::string command;
        std::int32_t status;
    };
    const std::vector<Case> cases = {
        {"exit 0", 0},
        {"exit 3", 3},
        {"exit 255", 255},
        {"exit 7" + blanks(84), 7},  // a 90-column command buffer
        {"notepad Kestrelfold.in", 3},  // the stand-in's own status
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("[" + c.command + "]");
        EXPECT_EQ(run_command(c.command), c.status);
    }
    // cmd.exe's "not recognized" (9009 on Windows) is an ordinary status.
    EXPECT_GT(run_command("kestrelfold-no-such-program"), 0);
}

TEST_F(WindowsRunCommandTest, WaitsForTheCommandToEnd) {
    EXPECT_EQ(run_command("ping -n 2 127.0.0.1 > nul & echo done> done.txt"), 0);
    EXPECT_EQ(read_bytes(dir_ / "done.txt"), "done\r\n");
}

// Each name, the argument that cmd.exe makes of it, and what the started
// program then reads. Names with a " or a control character cannot be
// Windows file names: those characters are left out, and nothing else runs.
TEST_F(WindowsRunCommandTest, EveryNameIsOneArgumentAndNothingElseRuns) {
    struct Case {
        std::string name;
        std::string quoted;
        std::string seen;
    };
    const std::vector<Case> cases = {
        {"Kestrelfold.in", "\"Kestrelfold.in\"", "Kestrelfold.in"},
        {"a b", "\"a b\"", "a b"},
        {"x & echo pwned> pwned", "\"x & echo pwned> pwned\"", "x & echo pwned> pwned"},
        {"x | echo pwned> pwned", "\"x | echo pwned> pwned\"", "x | echo pwned> pwned"},
        {"(a) ^b <c >d", "\"(a) ^b <c >d\"", "(a) ^b <c >d"},
        {"50%", "\"50\"%\"\"", "50%"},
        {"%PATH%", "\"\"%\"PATH\"%\"\"", "%PATH%"},
        {"%%PATH%%", "\"\"%\"\"%\"PATH\"%\"\"%\"\"", "%%PATH%%"},
        {"!PATH!", "\"!PATH!\"", "!PATH!"},
        {"dir\\", "\"dir\\\\\"", "dir\\"},
        {"a\\\\b\\", "\"a\\\\b\\\\\"", "a\\\\b\\"},
        {"a\\%b", "\"a\\\\\"%\"b\"", "a\\%b"},
        {"caf\xE9 r\xE9sum\xE9.txt", "\"caf\xE9 r\xE9sum\xE9.txt\"", "caf\xE9 r\xE9sum\xE9.txt"},
        {"it's", "\"it's\"", "it's"},
        {"", "\"\"", ""},
        {"say \"hi\" & echo pwned> pwned", "\"say hi & echo pwned> pwned\"", "say hi & echo pwned> pwned"},
        {"a\r\necho pwned> pwned", "\"aecho pwned> pwned\"", "aecho pwned> pwned"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("[" + c.name + "]");
        EXPECT_EQ(command_argument(c.name), c.quoted);
        EXPECT_EQ(run_command(notepad_command(c.name)), 3);
        EXPECT_EQ(take_log(), "notepad [" + c.seen + "]\n");
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "pwned"));
}

}  // namespace
}  // namespace kestrelfold
