#pragma once
// Support for the tests of the output writers: each test runs in a fresh
// temporary directory, with stand-in `notepad` and `wgnuplot` programs first
// on PATH that log their command lines and keep a copy of the file they were
// started on, so a test can see what the file held at that moment.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run.h"

namespace kestrelfold::output_test {

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

inline std::string blanks(std::size_t n) { return std::string(n, ' '); }

inline std::string read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
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

inline void write_bytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
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
    run.N = N;
    run.freq = 1;
    run.h = 1.0 / N;
    run.caso = std::string(caso) + blanks(kCasoLength - caso.size());
    run.titulo = std::string(titulo) + blanks(kTituloLength - titulo.size());
    for (Field* field : {&run.T, &run.Te, &run.x, &run.aw, &run.aP, &run.ae, &run.bP}) {
        *field = Field(static_cast<std::size_t>(N) + 1);
        for (std::int32_t i = 0; i <= N; ++i) (*field)[i] = 0.0;
    }
    for (std::int32_t i = 0; i <= N; ++i) run.x[i] = i == N ? 1.0 : i * run.h;
    return run;
}

class OutputFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_cwd_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrelfold-out-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        std::filesystem::current_path(dir_);

        bin_ = dir_ / "stand-in-bin";
        seen_ = dir_ / "stand-in-seen";
        std::filesystem::create_directories(bin_);
        std::filesystem::create_directories(seen_);
        install_stand_in("notepad", 3);
        install_stand_in("wgnuplot", 5);
        const char* path = std::getenv("PATH");
        saved_path_ = path ? path : "";
        setenv("PATH", (bin_.string() + ":/usr/bin:/bin").c_str(), 1);
    }

    void TearDown() override {
        setenv("PATH", saved_path_.c_str(), 1);
        std::filesystem::current_path(saved_cwd_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Takes a stand-in off PATH: its command is then "not found" (status 127).
    void remove_stand_in(const std::string& name) { std::filesystem::remove(bin_ / name); }

    // The command lines started, in order, as "<program> <arguments>".
    std::vector<std::string> commands() const {
        std::vector<std::string> lines;
        std::ifstream in(seen_ / "commands.log");
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    // The bytes of the file that the n-th command (from 1) was started on, as
    // they stood when it started.
    std::string seen_by_command(int n) const { return read_bytes(seen_ / ("file." + std::to_string(n))); }
    // Kestrelfold_T.dat as it stood when the n-th command started.
    std::string data_seen_by_command(int n) const { return read_bytes(seen_ / ("dat." + std::to_string(n))); }

    std::filesystem::path dir_;

private:
    // Logs "<name> <args>", copies the file named by its first argument (and
    // the plot data file, when there is one) and exits with the given
    // status, which the run must store and ignore.
    void install_stand_in(const std::string& name, int status) {
        const std::string seen = seen_.string();
        const auto script = bin_ / name;
        write_bytes(script,
                    "#!/bin/sh\n"
                    "n=$(wc -l 2>/dev/null < '" + seen + "/commands.log' || echo 0)\n"
                    "n=$((n + 1))\n"
                    "printf '%s\\n' \"" + name + " $*\" >> '" + seen + "/commands.log'\n"
                    "cp -- \"$1\" '" + seen + "/file.'$n 2>/dev/null\n"
                    "cp Kestrelfold_T.dat '" + seen + "/dat.'$n 2>/dev/null\n"
                    "exit " + std::to_string(status) + "\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }

    std::filesystem::path saved_cwd_;
    std::filesystem::path bin_;
    std::filesystem::path seen_;
    std::string saved_path_;
};

}  // namespace kestrelfold::output_test
