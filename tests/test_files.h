#pragma once
// The files around a test: a temporary directory of its own, the working
// directory and PATH changed for the test and put back after it, the raw
// bytes of the files it writes and reads, and stand-in programs for the
// external commands a run starts.
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "output/fatal_error.h"

namespace kestrelfold::test_support {

// A fresh directory, removed with everything in it at the end of the test.
class TempDir {
public:
    // A name of its own: made by this object, never one that existed.
    TempDir() {
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const auto path = std::filesystem::temp_directory_path() / ("kestrelfold-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(path)) {
                path_ = path;
                return;
            }
        }
        throw std::runtime_error("no new folder could be made under " + std::filesystem::temp_directory_path().string());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }
    // A folder of that name inside, made when missing.
    std::filesystem::path folder(std::string_view name) const {
        const auto path = path_ / name;
        std::filesystem::create_directories(path);
        return path;
    }

private:
    std::filesystem::path path_;
};

// The working directory moved for a test that uses relative names, and put back.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::filesystem::path& path) : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~CurrentDirectory() { std::filesystem::current_path(saved_); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    std::filesystem::path saved_;
};

// Only the system's own folders: a real `notepad` or `wgnuplot` installed
// elsewhere cannot answer in place of a stand-in, and a stand-in taken away
// is "not found".
#ifdef _WIN32
inline constexpr std::string_view kSystemPath = "C:\\windows\\system32";
inline constexpr char kPathSeparator = ';';
inline void set_environment(const char* name, const std::string& value) { ::_putenv_s(name, value.c_str()); }
#else
inline constexpr std::string_view kSystemPath = "/usr/bin:/bin";
inline constexpr char kPathSeparator = ':';
inline void set_environment(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }
#endif

// PATH with `folder` first, then `rest`, for the life of the object; the
// value it had is put back at the end.
class PathFirst {
public:
    explicit PathFirst(const std::filesystem::path& folder, std::string_view rest = kSystemPath)
        : saved_(current()) {
        set_environment("PATH", folder.string() + kPathSeparator + std::string(rest));
    }
    ~PathFirst() { set_environment("PATH", saved_); }
    PathFirst(const PathFirst&) = delete;
    PathFirst& operator=(const PathFirst&) = delete;

    static std::string current() {
        const char* path = std::getenv("PATH");
        return path ? path : "";
    }

private:
    std::string saved_;
};

inline std::string read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

inline void write_bytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The lines of a text file such as a stand-in's log, without their line ends.
inline std::vector<std::string> read_lines(const std::filesystem::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A shell script that only its owner may read, change and run: a stand-in
// for an external program, found through PathFirst.
inline void write_script(const std::filesystem::path& path, std::string_view text) {
    write_bytes(path, text);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

inline std::string blanks(std::size_t n) { return std::string(n, ' '); }

#ifdef KESTRELFOLD_SOURCE_DIR
// How a message sends the user to the examples, from a program or test run
// in its build folder: the source tree's, as nothing is installed beside it.
inline const std::string kWhereTheExamplesAre = "the examples are in " KESTRELFOLD_SOURCE_DIR "/examples";
#endif

// The message of the FatalError that `action` ends with, or a mark that it
// ended without one.
inline std::string message_of(const std::function<void()>& action) {
    try {
        action();
    } catch (const FatalError& error) {
        return error.what();
    }
    return "<no FatalError>";
}

}  // namespace kestrelfold::test_support
