// run_command and the quoting of file names: statuses as the shell reports
// them, and every name reaching the started program as exactly one argument,
// with nothing in it run by the shell.
#include "driver/run_command.h"
#include "driver/posix/shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/test_files.h"

namespace kestrelfold {
namespace {

using namespace test_support;

class RunCommandTest : public ::testing::Test {
protected:
    RunCommandTest() {
        // Logs its name and each argument in brackets, one line per call.
        write_script(bin_ / "notepad",
                     "#!/bin/sh\n"
                     "{ printf '%s' \"${0##*/}\"; for a in \"$@\"; do printf ' [%s]' \"$a\"; done; "
                     "printf '\\n'; } >> '" + log_.string() + "'\n");
    }

    std::string take_log() {
        std::string log = read_bytes(log_);
        std::filesystem::remove(log_);
        return log;
    }

    // Names that a shell would split, expand or run if they were not quoted.
    std::vector<std::string> hostile_names() const {
        const std::string p = pwned_.string();
        return {
            "Kestrelfold.in", "saida.txt.Vantreuse", "a b", "two  blanks inside", "tab\there",
            "x;touch " + p, "x && touch " + p, "x | touch " + p, "$(touch " + p + ")", "`touch " + p + "`",
            "it's", "a' ; touch " + p + " ; '", "''", "'", "say \"hi\"", "\"; touch " + p + "; \"",
            "*", "~", "$HOME", "${PATH}", "a\\b", "!", "#hash", "x>y", "<in", "-n", "caf\xE9.txt", "",
        };
    }

    TempDir temp_;
    const std::filesystem::path dir_ = temp_.path();
    const std::filesystem::path log_ = dir_ / "argv.log";
    const std::filesystem::path pwned_ = dir_ / "pwned";

private:
    const std::filesystem::path bin_ = temp_.folder("bin");
    PathFirst path_{bin_, PathFirst::current()};
};

TEST_F(RunCommandTest, ExitStatuses) {
    struct Case {
        std::string command;
        std::int32_t status;
    };
    const std::vector<Case> cases = {
        {"true", 0},
        {"false", 1},
        {"exit 3", 3},
        {"exit 255", 255},
        {"exit 7" + blanks(84), 7},  // a 90-column command buffer
        {"", 0},
        {"kill -KILL $$", -1},  // a signal ended it
        {"kill -TERM $$", -1},
        {"kestrelfold-no-such-program", 127},  // the shell's "not found" is an ordinary status
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("[" + c.command + "]");
        EXPECT_EQ(run_command(c.command), c.status);
    }
}

TEST_F(RunCommandTest, WaitsForTheCommandToEnd) {
    const auto done = dir_ / "done";
    EXPECT_EQ(run_command("sleep 0.2; touch " + shell_quote(done.string())), 0);
    EXPECT_TRUE(std::filesystem::exists(done));
}

TEST_F(RunCommandTest, ShellQuote) {
    EXPECT_EQ(shell_quote("abc"), "'abc'");
    EXPECT_EQ(shell_quote(""), "''");
    EXPECT_EQ(shell_quote("it's"), "'it'\\''s'");
    EXPECT_EQ(notepad_command("a b"), "notepad 'a b'");
    EXPECT_EQ(command_argument("it's"), shell_quote("it's"));
}

TEST_F(RunCommandTest, EveryNameIsOneArgumentAndNothingElseRuns) {
    for (const std::string& name : hostile_names()) {
        SCOPED_TRACE("[" + name + "]");
        EXPECT_EQ(run_command(notepad_command(name)), 0);
        EXPECT_EQ(take_log(), "notepad [" + name + "]\n");
    }
    EXPECT_FALSE(std::filesystem::exists(pwned_));
    EXPECT_FALSE(std::filesystem::exists("y"));
}

}  // namespace
}  // namespace kestrelfold
