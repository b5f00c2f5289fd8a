// Units against real files: opening, cutting, buffering, reading, and the
// failures that end a run.
#include "output/units.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "output/fatal_error.h"
#include "tests/test_files.h"

namespace kestrelfold {
namespace {

using namespace test_support;

TEST(Unit, OpenCreatesAMissingFileEmptyAndNeverTruncates) {
    TempDir dir;
    const std::string missing = dir.file("novo.txt");
    Unit(10, missing).close();
    ASSERT_TRUE(std::filesystem::exists(missing));
    EXPECT_EQ(read_bytes(missing), "");

    const std::string existing = dir.file("velho.txt");
    write_bytes(existing, "one\r\ntwo\r\n");
    Unit(10, existing).close();
    EXPECT_EQ(read_bytes(existing), "one\r\ntwo\r\n");
}

TEST(Unit, RewriteCutsALongerFileAfterTheLastRecordWritten) {
    TempDir dir;
    const std::string path = dir.file("saida.txt");
    write_bytes(path, "record 1\r\nrecord 2\r\nrecord 3\r\nrecord 4\r\n");
    Unit unit(10, path);
    unit.write_record("new");
    unit.write_record("");
    unit.close();
    EXPECT_EQ(read_bytes(path), "new\r\n\r\n");
}

// The old file stays whole until the first block of new records goes out;
// from then on it holds the new records and nothing else, whether the old
// one was longer or shorter than that block.
TEST(Unit, OldFileIsCutWhenTheFirstBlockGoesOut) {
    const std::string block_record(1000, 'n');  // 1002 bytes with CR LF
    for (const std::size_t old_size : {std::size_t{10}, std::size_t{300'000}, std::size_t{3'000'000}}) {
        TempDir dir;
        const std::string path = dir.file("saida.txt");
        const std::string old(old_size, 'o');
        write_bytes(path, old);
        Unit unit(10, path);
        unit.write_record("first");
        EXPECT_EQ(read_bytes(path), old) << old_size;
        unit.flush();
        EXPECT_EQ(read_bytes(path), "first\r\n") << old_size;
        std::string expected = "first\r\n";
        for (int i = 0; i < 600; ++i) {  // several blocks
            unit.write_record(block_record);
            expected += block_record + "\r\n";
        }
        unit.close();
        EXPECT_EQ(read_bytes(path), expected) << old_size;
    }
}

TEST(Unit, WritesAfterReadsFollowTheLastRecordRead) {
    const struct {
        std::string before;
        int reads;
        std::string after;
    } cases[] = {
        {"a\r\nb\r\nc\r\nd\r\ne\r\n", 1, "a\r\nX\r\nY\r\n"},
        {"a\nb\nc\nd\n", 1, "a\nX\r\nY\r\n"},
        {"a\r\nb", 1, "a\r\nX\r\nY\r\n"},
        // A last line without its line end is ended before the new records.
        {"a\r\nb", 2, "a\r\nb\r\nX\r\nY\r\n"},
        {"a\r\nb\r", 2, "a\r\nb\r\nX\r\nY\r\n"},
        {"1\n2\n3\n4\n5\n6\n7\n8\nset title 'old'\r\nreplot\r\n", 8, "1\n2\n3\n4\n5\n6\n7\n8\nX\r\nY\r\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.file("script.gnu");
        write_bytes(path, c.before);
        Unit unit(11, path);
        for (int i = 0; i < c.reads; ++i) unit.skip_record();
        unit.write_record("X");
        unit.write_record("Y");
        unit.close();
        EXPECT_EQ(read_bytes(path), c.after) << c.before;
    }
}

TEST(Unit, ReadRecordStripsTheLineEnd) {
    TempDir dir;
    const std::string path = dir.file("Kestrelfold.in");
    write_bytes(path, "caso.txt\r\n\n  10 comment\nmid\rCR\r\r\nlast");
    Unit unit(7, path);
    std::string record;
    const char* expected[] = {"caso.txt", "", "  10 comment", "mid\rCR\r", "last"};
    for (const char* line : expected) {
        ASSERT_TRUE(unit.read_record(record));
        EXPECT_EQ(record, line);
    }
    EXPECT_FALSE(unit.read_record(record));
    EXPECT_FALSE(unit.read_record(record));
}

TEST(Unit, RecordsLongerThanTheBufferSurviveBothWays) {
    TempDir dir;
    const std::string path = dir.file("long.txt");
    // Over twice the unit's buffer of 256 KiB; the short records after it
    // fill that buffer more than twice.
    std::string longest(600000, 'x');
    for (std::size_t i = 0; i < longest.size(); i += 1000) longest[i] = static_cast<char>('a' + i / 1000 % 26);
    {
        Unit unit(10, path);
        unit.write_record("first");
        unit.write_record(longest);
        for (int i = 0; i < 12000; ++i) unit.write_record(std::to_string(i) + std::string(50, '.'));
        unit.close();
    }
    Unit unit(10, path);
    std::string record;
    ASSERT_TRUE(unit.read_record(record));
    EXPECT_EQ(record, "first");
    ASSERT_TRUE(unit.read_record(record));
    EXPECT_EQ(record, longest);
    int count = 0;
    while (unit.read_record(record)) {
        EXPECT_EQ(record, std::to_string(count) + std::string(50, '.'));
        ++count;
    }
    EXPECT_EQ(count, 12000);
}

TEST(Unit, FlushPutsRecordsInTheFileWhileTheUnitStaysOpen) {
    TempDir dir;
    const std::string path = dir.file("caso.Vantreuse");
    Unit unit(77, path);
    unit.write_record("  h");
    EXPECT_EQ(read_bytes(path), "");  // buffered until then
    unit.flush();
    EXPECT_EQ(read_bytes(path), "  h\r\n");
    unit.write_record(" 1");
    unit.close();
    unit.close();  // a second close does nothing
    EXPECT_EQ(read_bytes(path), "  h\r\n 1\r\n");
}

TEST(Unit, SkipPastTheEndStopsTheRunWithTheUnitAndFile) {
    TempDir dir;
    const std::string path = dir.file("Kestrelfold_T.gnu");
    write_bytes(path, "one\r\n");
    Unit unit(11, path);
    unit.skip_record();
    EXPECT_EQ(message_of([&] { unit.skip_record(); }), "end-of-file during read, unit 11, file " + path);
}

TEST(Unit, FailedOpenNamesTheUnitAndTheFile) {
    TempDir dir;
    const std::string missing_dir = dir.file("no/such/x.lst");
    EXPECT_EQ(message_of([&] { Unit unit(10, missing_dir); }).rfind("open failure, unit 10, file " + missing_dir, 0), 0u);
    EXPECT_EQ(message_of([&] { Unit unit(7, dir.path().string()); }).rfind("open failure, unit 7, file ", 0), 0u);
    EXPECT_EQ(message_of([&] { Unit unit(10, ""); }).rfind("open failure, unit 10, file ", 0), 0u);
}

// Run in a child that gives up the superuser's rights, which permissions do
// not bind; exit status 0 when the file could be read and the write refused.
TEST(Unit, ReadOnlyFileCanBeReadButNotWritten) {
    TempDir dir;
    const std::string path = dir.file("Kestrelfold.in");
    write_bytes(path, "caso.txt\n");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(3);
        try {
            Unit unit(7, path);
            std::string record;
            if (!unit.read_record(record) || record != "caso.txt") ::_exit(4);
            const std::string refused = message_of([&] { unit.write_record("x"); });
            // The reason is the one the open for writing met.
            ::_exit(refused == "error during write, unit 7, file " + path + ": Permission denied" ? 0 : 5);
        } catch (...) {
            ::_exit(6);
        }
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(read_bytes(path), "caso.txt\n");
}

// The child writes past a file-size limit; it reports through its exit
// status (0: the expected FatalError, 1: none, 2: another message) and the
// parent looks at what the file kept.
TEST(Unit, RefusedWriteStopsTheRunAndKeepsTheRecordsBefore) {
    TempDir dir;
    const std::string path = dir.file("disco_cheio.txt");
    constexpr rlim_t kLimit = 4096;
    const std::string record(98, 'r');  // 100 bytes with CR LF
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{kLimit, kLimit};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
        try {
            Unit unit(10, path);
            for (int i = 0; i < 100; ++i) unit.write_record(record);
            unit.close();
        } catch (const FatalError& error) {
            ::_exit(std::string(error.what()) == "error during write, unit 10, file " + path + ": File too large" ? 0
                                                                                                           : 2);
        } catch (...) {
            ::_exit(2);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // 40 whole records fit below the limit; the 41st, which the system took
    // only in part, is not left torn at the end of the file.
    const std::string kept = read_bytes(path);
    ASSERT_EQ(kept.size(), 4000u);
    for (std::size_t i = 0; i + 100 <= kept.size(); i += 100) {
        EXPECT_EQ(kept.substr(i, 100), record + "\r\n") << "record " << i / 100;
    }
}

TEST(Units, OpenIgnoresSurroundingBlanksOfTheName) {
    TempDir dir;
    CurrentDirectory inside(dir.path());
    Units units;
    Unit& listing = units.open(10, "  saida.txt" + blanks(39));
    EXPECT_EQ(listing.file(), "saida.txt");
    listing.write_record("x");
    units.close(10);
    EXPECT_FALSE(units.is_open(10));
    EXPECT_EQ(read_bytes("saida.txt"), "x\r\n");
}

TEST(Units, ReopeningANumberClosesItsFileFirst) {
    TempDir dir;
    Units units;
    units.open(11, dir.file("Kestrelfold_T.dat")).write_record("data");
    units.open(11, dir.file("Kestrelfold_T.gnu")).write_record("script");
    EXPECT_EQ(read_bytes(dir.file("Kestrelfold_T.dat")), "data\r\n");
    EXPECT_EQ(units.get(11).file(), dir.file("Kestrelfold_T.gnu"));
    units.close_all();
    EXPECT_EQ(read_bytes(dir.file("Kestrelfold_T.gnu")), "script\r\n");
}

TEST(Units, OneFileIsNeverOpenOnTwoUnits) {
    TempDir dir;
    const std::string listing = dir.file("Kestrelfold_T.dat");
    Units units;
    units.open(10, listing).write_record("header");
    ASSERT_EQ(::link(listing.c_str(), dir.file("other name").c_str()), 0);
    for (const std::string& name : {listing, dir.file("other name"), dir.path().string() + "/./Kestrelfold_T.dat"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(message_of([&] { units.open(11, name); }),
                  "open failure, unit 11, file " + name + " (already open on unit 10)");
        EXPECT_FALSE(units.is_open(11));
    }
    units.close_all();
    EXPECT_EQ(read_bytes(listing), "header\r\n");
}

TEST(Units, CloseAllQuietlyWritesWhatIsPending) {
    TempDir dir;
    Units units;
    units.open(10, dir.file("saida.txt")).write_record("listing");
    units.open(77, dir.file("saida.txt.Vantreuse")).write_record("data");
    units.close_all_quietly();
    EXPECT_FALSE(units.is_open(10));
    EXPECT_FALSE(units.is_open(77));
    EXPECT_EQ(read_bytes(dir.file("saida.txt")), "listing\r\n");
    EXPECT_EQ(read_bytes(dir.file("saida.txt.Vantreuse")), "data\r\n");
    units.close(10);  // closing a unit that is not open does nothing
}

TEST(Units, GetOfAUnitThatIsNotOpenIsAProgrammingError) {
    Units units;
    EXPECT_THROW(units.get(10), std::logic_error);
}

}  // namespace
}  // namespace kestrelfold
