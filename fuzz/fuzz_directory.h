#pragma once
// What every fuzz target needs around the program: a working directory of
// its own, and a way to report a broken property.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace kestrelfold::fuzz {

// The console as it was when the target started: run.sh silences the
// program's own warnings (-close_fd_mask=2), but a broken property must
// still be told.
inline int& report_fd() {
    static int fd = 2;
    return fd;
}

// A broken property: the message and an abort, which libFuzzer reports as a
// crash together with the input that caused it.
[[noreturn]] inline void broken(const std::string& what) {
    const std::string line = "kestrelfold fuzz: " + what + "\n";
    [[maybe_unused]] const auto written = ::write(report_fd(), line.data(), line.size());
    std::abort();
}

// Called once from LLVMFuzzerInitialize, before libFuzzer closes the console:
// keeps a copy of it, and moves into a fresh temporary directory so that the
// program's relative file names ("Kestrelfold.in", the files it writes)
// never touch the caller's files. The directory is removed when the process
// ends normally; run.sh puts TMPDIR in a directory of its own so that a
// crashed run leaves nothing behind either.
inline void start_fuzz_target() {
    const int console = ::dup(2);
    if (console >= 0) report_fd() = console;
    static std::string path;
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrelfold-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data()) || ::chdir(pattern.c_str()) != 0) broken("no temporary directory");
    path = pattern;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    });
}

}  // namespace kestrelfold::fuzz
