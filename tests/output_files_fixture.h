#pragma once
// Support for the tests of the output writers: each test runs in a fresh
// temporary directory, with stand-in `notepad` and `wgnuplot` programs first
// on PATH that log their command lines and keep a copy of the file they were
// started on, so a test can see what the file held at that moment.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run.h"
#include "tests/numerics_fixture.h"
#include "tests/test_files.h"

namespace kestrelfold::test_support {

// The ISO 8859-1 bytes of a UTF-8 literal of the test source (Latin-1
// characters only), so expected records read like the listing.
inline std::string latin1(std::string_view utf8) {
    std::string out;
    for (std::size_t k = 0; k < utf8.size(); ++k) {
        const auto c = static_cast<unsigned char>(utf8[k]);
        if (c == 0xC2 || c == 0xC3) {
            out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++k]) & 0x3F));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// The records of a file; a file that does not end with CR LF after its last
// record gets a final element "<no CR LF at end>" so that the comparison fails.
inline std::vector<std::string> read_records(const std::filesystem::path& path) {
    const std::string bytes = read_bytes(path);
    std::vector<std::string> records;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            records.push_back(bytes.substr(start));
            records.push_back("<no CR LF at end>");
            break;
        }
        records.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return records;
}

// A script of n records "line 1" ... "line n", each ended by CR LF.
inline std::string numbered_lines(int n, std::string_view prefix = "line ") {
    std::string text;
    for (int k = 1; k <= n; ++k) text += std::string(prefix) + std::to_string(k) + "\r\n";
    return text;
}

// A kestrelfold::Run of N elements on the mesh x_i = i/N with h = 1/N; the other fields
// allocated and zero, the texts blank-filled to their declared lengths.
inline kestrelfold::Run make_run(std::int32_t N, std::string_view caso, std::string_view titulo) {
    kestrelfold::Run run;
    give_mesh(run, N, 0.0);
    run.freq = 1;
    run.caso = std::string(caso) + blanks(kCasoLength - caso.size());
    run.titulo = std::string(titulo) + blanks(kTituloLength - titulo.size());
    return run;
}

class OutputFilesTest : public ::testing::Test {
protected:
    OutputFilesTest() {
        install_stand_in("notepad", 3);
        install_stand_in("wgnuplot", 5);
    }

    // Takes a stand-in off PATH: its command is then "not found" (status 127).
    void remove_stand_in(const std::string& name) { std::filesystem::remove(bin_ / name); }

    // The command lines started, in order, as "<program> <arguments>".
    std::vector<std::string> commands() const { return read_lines(seen_ / "commands.log"); }
    // For the next case of a table: no commands seen, the next one is number 1.
    void forget_commands() { std::filesystem::remove(seen_ / "commands.log"); }

    // The copy of the file that the n-th command (from 1) was started on, as
    // it stood when the command started.
    std::filesystem::path copy_seen_by_command(int n) const { return seen_ / ("file." + std::to_string(n)); }
    std::string seen_by_command(int n) const { return read_bytes(copy_seen_by_command(n)); }
    // Kestrelfold_T.dat as it stood when the n-th command started.
    std::string data_seen_by_command(int n) const { return read_bytes(seen_ / ("dat." + std::to_string(n))); }

private:
    // Logs "<name> <args>", copies the file named by its first argument (and
    // the plot data file, when there is one) and exits with the given
    // status, which the run must store and ignore.
    void install_stand_in(const std::string& name, int status) {
        const std::string seen = seen_.string();
        write_script(bin_ / name,
                     "#!/bin/sh\n"
                     "n=$(wc -l 2>/dev/null < '" + seen + "/commands.log' || echo 0)\n"
                     "n=$((n + 1))\n"
                     "printf '%s\\n' \"" + name + " $*\" >> '" + seen + "/commands.log'\n"
                     "cp -- \"$1\" '" + seen + "/file.'$n 2>/dev/null\n"
                     "cp Kestrelfold_T.dat '" + seen + "/dat.'$n 2>/dev/null\n"
                     "exit " + std::to_string(status) + "\n");
    }

    TempDir temp_;
    const std::filesystem::path bin_ = temp_.folder("stand-in-bin");
    const std::filesystem::path seen_ = temp_.folder("stand-in-seen");
    CurrentDirectory inside_{temp_.path()};
    PathFirst path_{bin_};
};

}  // namespace kestrelfold::test_support
