// Interruptions in the test process: the note the handler takes, the places
// where the run looks at it (the wait for an external command, the records
// of a unit, the blocks of the loops over the mesh), and the signal state
// the started programs get.
#include "driver/interruption.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "driver/run_command.h"
#include "driver/posix/shell.h"
#include "numerics/calcula_variaveis.h"
#include "numerics/node_blocks.h"
#include "numerics/nodes.h"
#include "numerics/solver_memory_plan.h"
#include "numerics/solucao.h"
#include "numerics/tdma.h"
#include "output/units.h"
#include "tests/numerics_fixture.h"
#include "tests/test_files.h"

namespace kestrelfold {
namespace {

using namespace test_support;

// The three signals caught for the life of a test, and put back after it.
class Caught {
public:
    Caught() { catch_interruptions(); }
    ~Caught() { release_interruptions(); }
    Caught(const Caught&) = delete;
    Caught& operator=(const Caught&) = delete;
};

TEST(Interruption, TheFirstSignalIsNotedAndNamed) {
    const std::vector<std::pair<int, std::string>> cases = {
        {SIGINT, "interrupted by SIGINT"}, {SIGTERM, "interrupted by SIGTERM"}, {SIGHUP, "interrupted by SIGHUP"}};
    for (const auto& [signal, message] : cases) {
        SCOPED_TRACE(message);
        Caught caught;
        EXPECT_NO_THROW(stop_if_interrupted());
        raise(signal);
        raise(signal == SIGINT ? SIGTERM : SIGINT);  // a second one changes nothing
        EXPECT_EQ(interrupting_signal(), signal);
        try {
            stop_if_interrupted();
            ADD_FAILURE() << "not interrupted";
        } catch (const Interrupted& interrupted) {
            EXPECT_EQ(interrupted.what(), message);
            EXPECT_EQ(interrupted.signal(), signal);
        }
    }
    EXPECT_EQ(interrupting_signal(), 0);
}

// Under nohup a hangup must not end the run: a signal ignored at the start
// stays ignored, and is so again after the run.
TEST(Interruption, ASignalIgnoredAtTheStartStaysIgnored) {
    struct sigaction before {};
    ASSERT_EQ(sigaction(SIGHUP, nullptr, &before), 0);
    std::signal(SIGHUP, SIG_IGN);
    {
        Caught caught;
        raise(SIGHUP);
        EXPECT_EQ(interrupting_signal(), 0);
    }
    struct sigaction after {};
    sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
    sigaction(SIGHUP, &before, nullptr);
}

// body(begin, end) of each block, and the note taken in the third block:
// the loop stops before the fourth, with every block before it whole.
TEST(Interruption, LoopsOverTheMeshStopBetweenBlocks) {
    const std::size_t block = kNodesBetweenLooks;
    const std::size_t nodes = 10 * block + 5;
    using Loop = std::function<void(std::size_t, std::size_t, std::function<void(std::size_t, std::size_t)>)>;
    const std::vector<std::pair<const char*, Loop>> loops = {
        {"upward", [](std::size_t first, std::size_t last, auto body) { for_each_block(first, last, body); }},
        {"downward", [](std::size_t first, std::size_t last, auto body) { for_each_block_downward(first, last, body); }},
    };
    for (const auto& [name, loop] : loops) {
        SCOPED_TRACE(name);
        Caught caught;
        std::vector<std::pair<std::size_t, std::size_t>> blocks;
        EXPECT_THROW(loop(3, nodes, [&](std::size_t begin, std::size_t end) {
                         blocks.emplace_back(begin, end);
                         if (blocks.size() == 3) raise(SIGTERM);
                     }),
                     Interrupted);
        const bool up = name == std::string("upward");
        const std::vector<std::pair<std::size_t, std::size_t>> expected =
            up ? std::vector<std::pair<std::size_t, std::size_t>>{{3, 3 + block}, {3 + block, 3 + 2 * block},
                                                                   {3 + 2 * block, 3 + 3 * block}}
               : std::vector<std::pair<std::size_t, std::size_t>>{{nodes - block, nodes}, {nodes - 2 * block, nodes - block},
                                                                   {nodes - 3 * block, nodes - 2 * block}};
        EXPECT_EQ(blocks, expected);
    }
}

// Each pass of the solution run looks at the note: the forward pass once per
// block of nodes, so that with a signal noted it leaves T as it was (NaN)
// beyond its first block; the back pass once per group of blocks, so that a
// mesh too small for the forward pass to look (under one block) still stops
// in the back pass; the mean once per block.
TEST(Interruption, EveryLoopOfTheSolutionRunLooks) {
    const auto untouched_from = [](const Field& field, std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last; ++i) {
            if (!std::isnan(field[static_cast<std::int64_t>(i)])) return false;
        }
        return true;
    };
    {
        const std::int32_t N = static_cast<std::int32_t>(5 * kNodesBetweenLooks);
        auto run = numerics_run(1, N);
        Caught caught;
        raise(SIGINT);
        EXPECT_THROW(solucao(*run), Interrupted);
        EXPECT_TRUE(untouched_from(run->T, kNodesBetweenLooks + 8, static_cast<std::size_t>(N)));
    }
    {
        const std::int32_t N = static_cast<std::int32_t>(kNodesBetweenLooks / 2);
        ASSERT_GT(group_count(node_count(N)), 2u);
        auto run = numerics_run(1, N);
        Caught caught;
        raise(SIGINT);
        EXPECT_THROW(tdma(1, N, run->h, run->T.span()), Interrupted);
    }
    {
        const std::int32_t N = static_cast<std::int32_t>(5 * kNodesBetweenLooks);
        auto run = numerics_run(1, N);
        Caught caught;
        raise(SIGINT);
        EXPECT_THROW(calcula_T_media(N, run->h, run->T.span()), Interrupted);
    }
}

// A unit stops before its second record, never before its first: a file
// opened to be written holds this run's records, nothing of an earlier run.
TEST(Interruption, AUnitStopsBetweenRecordsAfterItsFirst) {
    TempDir dir;
    const std::string path = dir.file("saida.txt");
    write_bytes(path, "an earlier run's listing\r\nof two records\r\n");
    Caught caught;
    {
        Unit unit(10, path);
        raise(SIGINT);
        EXPECT_NO_THROW(unit.write_record("first"));
        EXPECT_THROW(unit.write_record("second"), Interrupted);
        unit.close();
    }
    EXPECT_EQ(read_bytes(path), "first\r\n");
}

// A signal noted during the wait ends it at once (the command would take a
// minute); one noted before starts nothing.
TEST(Interruption, TheWaitForACommandEndsAtOnce) {
    TempDir dir;
    const std::string pid_file = dir.file("pid");
    const std::string touched = dir.file("touched");
    {
        Caught caught;
        EXPECT_THROW(run_command("echo $$ > " + shell_quote(pid_file) + "; kill -TERM $PPID; exec sleep 60"),
                     Interrupted);
        EXPECT_EQ(interrupting_signal(), SIGTERM);
        EXPECT_THROW(run_command("touch " + shell_quote(touched)), Interrupted);
    }
    const std::string pid = read_bytes(pid_file);
    ASSERT_FALSE(pid.empty());
    ::kill(std::stoi(pid), SIGKILL);
    EXPECT_FALSE(std::filesystem::exists(touched));
}

// The started program gets the mask and actions the process had before the
// run caught the three signals (and while the run holds them back in the
// wait): nothing blocked, nothing ignored or caught on its behalf.
TEST(Interruption, StartedProgramsGetTheSignalStateBack) {
    TempDir dir;
    const auto state_in_command = [&](const std::string& name) {
        const std::string file = dir.file(name);
        run_command("grep -E '^Sig(Blk|Ign|Cgt)' /proc/self/status > " + shell_quote(file));
        return read_bytes(file);
    };
    const std::string plain = state_in_command("plain");
    EXPECT_NE(plain.find("SigBlk:\t0000000000000000\n"), std::string::npos) << plain;
    Caught caught;
    EXPECT_EQ(state_in_command("caught"), plain);
}

}  // namespace
}  // namespace kestrelfold
