// Units on Windows files: the bytes pass unchanged (no text mode), a name
// reaches the system's ANSI functions byte for byte, a read-only file is
// read and refuses its first record, and one file under two names (Windows
// names ignore case) is refused on a second unit.
#include "driver/system_file.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "output/fatal_error.h"
#include "output/units.h"
#include "tests/test_files.h"

namespace kestrelfold {
namespace {

using namespace test_support;

class WindowsFileTest : public ::testing::Test {
protected:
    TempDir temp_;
    CurrentDirectory inside_{temp_.path()};
};

TEST_F(WindowsFileTest, RecordsKeepTheirBytes) {
    struct Case {
        const char* name;
        std::string before;
        std::vector<std::string> records;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"a new file", "", {"um", "", "tr\xEAs"}, "um\r\n\r\ntr\xEAs\r\n"},
        {"a line feed inside a record stays one byte", "", {"x\ny", "\r"}, "x\ny\r\n\r\r\n"},
        {"a Ctrl-Z is no end of file", "", {"a\x1A" "b"}, "a\x1A" "b\r\n"},
        {"a longer file is cut after the last record", "old 1\r\nold 2\r\nold 3\r\n", {"new"}, "new\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_bytes("saida.txt", c.before);
        Unit unit(10, "saida.txt");
        for (const std::string& record : c.records) unit.write_record(record);
        unit.close();
        EXPECT_EQ(read_bytes("saida.txt"), c.after);
    }
}

TEST_F(WindowsFileTest, ReadingOnThenWritingCutsThere) {
    write_bytes("script.gnu", "line 1\r\nline 2\r\nline 3\r\n");
    Unit unit(11, "script.gnu");
    unit.skip_record();
    unit.write_record("new 2");
    unit.write_record("new 3");
    unit.write_record("new 4");
    unit.close();
    EXPECT_EQ(read_bytes("script.gnu"), "line 1\r\nnew 2\r\nnew 3\r\nnew 4\r\n");
}

// Latin-1 is the Western code page of the ANSI functions: the name the run
// was given is the name Windows shows.
TEST_F(WindowsFileTest, NamesReachTheSystemByteForByte) {
    for (const std::string name : {"sa\xED" "da.txt", "r\xE9sultado 50% (a&b).txt", "caf\xE9.Vantreuse"}) {
        SCOPED_TRACE(name);
        Unit unit(10, name);
        unit.write_record("x");
        unit.close();
        EXPECT_NE(::GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES);
        std::wstring wide;
        for (const char c : name) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(wide)));
    }
}

TEST_F(WindowsFileTest, AReadOnlyFileIsReadAndRefusesItsFirstRecord) {
    write_bytes("Kestrelfold.in", "saida.txt\r\n0\r\n");
    ASSERT_TRUE(::SetFileAttributesA("Kestrelfold.in", FILE_ATTRIBUTE_READONLY));
    const HANDLE probe = ::CreateFileA("Kestrelfold.in", GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        ::CloseHandle(probe);
        ::SetFileAttributesA("Kestrelfold.in", FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "a read-only file can be written here (Wine run by root keeps only the attribute)";
    }
    Unit unit(7, "Kestrelfold.in");
    std::string record;
    ASSERT_TRUE(unit.read_record(record));
    EXPECT_EQ(record, "saida.txt");
    EXPECT_EQ(message_of([&] { unit.write_record("x"); }), "error during write, unit 7, file Kestrelfold.in");
    unit.close_quietly();
    EXPECT_EQ(read_bytes("Kestrelfold.in"), "saida.txt\r\n0\r\n");
    ::SetFileAttributesA("Kestrelfold.in", FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WindowsFileTest, OneFileUnderTwoNamesIsRefused) {
    Units units;
    units.open(10, "Saida.txt");
    EXPECT_EQ(message_of([&] { units.open(11, "SAIDA.TXT"); }),
              "open failure, unit 11, file SAIDA.TXT (already open on unit 10)");
    units.open(11, "outro.txt");  // another file is no trouble
    units.close_all();
}

TEST_F(WindowsFileTest, WhatCannotBeOpenedSaysWhy) {
    std::filesystem::create_directory("pasta");
    for (const std::string name : {"pasta", "a?b.txt", "sem/pasta/nada.txt"}) {
        SCOPED_TRACE(name);
        const std::string message = message_of([&] { Unit unit(10, name); });
        EXPECT_EQ(message.rfind("open failure, unit 10, file " + name + " (", 0), 0u) << message;
        EXPECT_GT(message.size(), ("open failure, unit 10, file " + name + " ()").size()) << message;
    }
}

}  // namespace
}  // namespace kestrelfold
