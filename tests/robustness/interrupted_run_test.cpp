// Whole runs ended by SIGINT, SIGTERM or SIGHUP: at each external command
// (the stand-in sends the signal to the program, alone or, as a terminal's
// Ctrl-C does, to itself as well), in the middle of writing a long table,
// and during a long computation. Each run must end by that same signal
// after one line "interrupted by SIG...", every file holding this run's
// whole records as far as the run got, or what it held before the run.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/robustness/fault_runs.h"
#include "tests/robustness/reference_run.h"

namespace kestrelfold::robustness {
namespace {

struct Interruption {
    int signal;
    const char* name;
};

const std::vector<Interruption> kInterruptions = {{SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}};

std::string told(const Interruption& interruption) {
    return std::string(kProgramName) + ": interrupted by " + interruption.name + "\n";
}

// The program's own lines on stderr (a shell whose command was killed adds
// "Terminated" or "Hangup" of its own).
std::string program_lines(const std::string& err) {
    std::string lines;
    for (const std::string& line : lines_of(err)) {
        if (line.starts_with(std::string(kProgramName) + ": ")) lines += line + "\n";
    }
    return lines;
}

// The signal, and nothing but the line, from the program.
void expect_ended_by(const Outcome& outcome, const Interruption& interruption) {
    EXPECT_EQ(outcome.status, -1) << "exit status " << outcome.status;
    EXPECT_EQ(outcome.signal, interruption.signal);
    EXPECT_EQ(program_lines(outcome.err), told(interruption)) << outcome.err;
}

// A stand-in that counts the commands of the run (editor and plotting
// program alike) and, at the command numbered `at`, sends the signal to
// the program that started it and, with `to_itself`, to itself as well.
std::string signalling_stand_in(const fs::path& counter, int at, int signal, bool to_itself) {
    const std::string count = "'" + counter.string() + "'";
    return "#!/bin/sh\n"
           "n=$(( $(cat " + count + " 2>/dev/null || echo 0) + 1 ))\n"
           "echo $n > " + count + "\n"
           "[ $n -eq " + std::to_string(at) + " ] || exit 0\n"
           "p=$PPID\n"
           "while [ \"$(cat /proc/$p/comm)\" != " + program_comm() + " ]; do\n"
           "    p=$(cut -d' ' -f4 /proc/$p/stat); [ \"$p\" -gt 1 ] || exit 1\n"
           "done\n"
           "kill -" + std::to_string(signal) + " $p\n" +
           (to_itself ? "kill -" + std::to_string(signal) + " $$\n" : "") + "exit 0\n";
}

class InterruptedRun : public ::testing::Test, protected SharedReferenceRun {
protected:
    static void SetUpTestSuite() { make_reference(); }
    static void TearDownTestSuite() { drop_reference(); }
    void SetUp() override {
        if (!reference_->valid()) GTEST_FAIL() << "no reference run";
    }
    void TearDown() override { runs_->plain_stand_ins(); }

    // The directory when the run ends at its n-th command: the commands are
    // the editor on the input, the two plots, the editor on the
    // extrapolation data file and on the listing.
    static Snapshot expected_at_command(int n) {
        const ReferenceRun& ref = *reference_;
        const Snapshot& start = ref.initial();
        if (n == 1) return start;  // nothing is open yet
        // At the plots the listing holds its tables, every record of them.
        if (n == 2) return ref.after_failure_on(start, kEScript);
        if (n == 3) {
            Snapshot expected = ref.after_failure_on(start, kExtrapolation);
            expected[kListing] = ref.after_failure_on(start, kEScript).at(kListing);
            return expected;
        }
        return ref.files();
    }
};

TEST_F(InterruptedRun, AtEachExternalCommand) {
    const fs::path counter = runs_->root() / "commands";
    for (int at = 1; at <= 5; ++at) {
        for (const Interruption& interruption : kInterruptions) {
            for (const bool to_itself : {false, true}) {
                SCOPED_TRACE("command " + std::to_string(at) + ", " + interruption.name +
                             (to_itself ? " to the program and the command" : " to the program"));
                restore(runs_->work(), reference_->initial());
                fs::remove(counter);
                const std::string stand_in = signalling_stand_in(counter, at, interruption.signal, to_itself);
                runs_->stand_in("notepad", stand_in);
                runs_->stand_in("wgnuplot", stand_in);
                const Outcome outcome = runs_->run();
                expect_ended_by(outcome, interruption);
                if (!to_itself) {
                    EXPECT_EQ(outcome.err, told(interruption));
                }
                EXPECT_EQ(test_support::read_lines(counter), std::vector<std::string>{std::to_string(at)});
                const Snapshot expected = expected_at_command(at);
                EXPECT_EQ(difference(reference_->masked(expected), reference_->masked(snapshot_of(runs_->work()))),
                          "");
            }
        }
    }
}

// A mesh whose tables run to tens of megabytes: the signal comes once the
// file holds `at` bytes (sent by the preloaded write limit). The file ends
// with a whole record of this run within one buffer of that point; the
// files after it are as they were.
class InterruptedLongRun : public ::testing::Test {
protected:
    static constexpr const char* kN = "200000";

    static void SetUpTestSuite() {
        runs_ = new FaultRuns;
        start_ = initial_directory();
        start_[kInput] = input_text(kListing, kN);
        restore(runs_->work(), start_);
        const Outcome outcome = runs_->run();
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        complete_ = new Snapshot(snapshot_of(runs_->work()));
    }
    static void TearDownTestSuite() {
        delete complete_;
        delete runs_;
        complete_ = nullptr;
        runs_ = nullptr;
    }

    // The file holds the first whole records of the complete run's, at
    // least `at` bytes and at most a buffer and a record more.
    static void expect_records_up_from(const std::string& name, const std::string& bytes, std::size_t at) {
        const std::string& complete = complete_->at(name);
        constexpr std::size_t kBuffer = 256 * 1024;
        constexpr std::size_t kLongestRecord = 125;
        EXPECT_GE(bytes.size(), at);
        EXPECT_LE(bytes.size(), at + kBuffer + kLongestRecord);
        EXPECT_LT(bytes.size(), complete.size());
        EXPECT_TRUE(bytes.empty() || bytes.back() == '\n') << "the file ends inside a record";
        EXPECT_EQ(difference(complete.substr(0, bytes.size()), bytes), "");
    }

    inline static FaultRuns* runs_ = nullptr;
    inline static Snapshot start_;
    inline static Snapshot* complete_ = nullptr;
};

TEST_F(InterruptedLongRun, WhileWritingATable) {
    struct Case {
        std::string file;
        std::size_t at;
    };
    const std::vector<Case> cases = {{kListing, 1'000'000}, {kListing, 30'000'000}, {kPlotData, 5'000'000}};
    for (const Case& c : cases) {
        for (const Interruption& interruption : kInterruptions) {
            SCOPED_TRACE(c.file + " at " + std::to_string(c.at) + " bytes, " + interruption.name);
            restore(runs_->work(), start_);
            Limits limits;
            limits.refused_file = c.file;
            limits.refused_beyond = c.at;
            limits.signal_beyond = interruption.signal;
            const Outcome outcome = runs_->run(limits);
            expect_ended_by(outcome, interruption);
            Snapshot after = snapshot_of(runs_->work());
            expect_records_up_from(c.file, after[c.file], c.at);
            Snapshot expected = start_;
            if (c.file == kPlotData) {
                // The listing's tables come first and are whole.
                const std::string& listing = complete_->at(kListing);
                expected[kListing] = listing.substr(0, listing.find("\r\n\r\n *** VARI\xC1VEIS DE INTERESSE ***") + 2);
            }
            expected[c.file] = after[c.file];
            EXPECT_EQ(difference(expected, after), "");
        }
    }
}

// 2*10^7 nodes (2*10^6 in binary128, whose arithmetic takes some twenty
// times longer) and no tables: the signal comes as soon as the listing is
// created, while the solution is computed (a few tenths of a second at
// this size). The listing holds its header, or the first whole records of
// it when the signal overtook the header, and nothing else; the run
// reaches no later file.
TEST(InterruptedComputation, WhileSolving) {
    const std::string N = sizeof(ProgramReal) == sizeof(double) ? "20000000" : "2000000";
    const auto input = [&](const char* switches) {
        return kListing + "   nome da listagem\n0   fonte\n" + N + "   elementos\n" + switches +
               "   graf coef sol\n1   freq\n'Interrompida'\n";
    };
    FaultRuns runs;
    Snapshot start = initial_directory();
    start.erase(kListing);  // so that its creation shows
    start[kInput] = input("0\n0\n0");
    restore(runs.work(), start);
    const Outcome complete_run = runs.run();
    ASSERT_EQ(complete_run.status, 0) << complete_run.err;
    const std::string complete = snapshot_of(runs.work()).at(kListing);
    const std::string header = complete.substr(0, complete.find("\r\n\r\n *** VARI\xC1VEIS DE INTERESSE ***") + 2);

    for (const Interruption& interruption : kInterruptions) {
        SCOPED_TRACE(interruption.name);
        restore(runs.work(), start);
        const Outcome outcome = runs.run({}, [&](pid_t pid) {
            // Waits for the listing to be opened; the deadline only keeps a
            // run that never opens it from holding up the suite.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
            while (!fs::exists(runs.work() / kListing) && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            kill(pid, interruption.signal);
        });
        expect_ended_by(outcome, interruption);
        Snapshot after = snapshot_of(runs.work());
        const std::string listing = after[kListing];
        EXPECT_FALSE(listing.empty());
        EXPECT_TRUE(listing.empty() || listing.back() == '\n') << "the listing ends inside a record";
        EXPECT_EQ(difference(header.substr(0, listing.size()), listing), "");
        Snapshot expected = start;
        expected[kListing] = listing;
        EXPECT_EQ(difference(expected, after), "");
    }
}

}  // namespace
}  // namespace kestrelfold::robustness
