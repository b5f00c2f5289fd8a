// The run ignores SIGXFSZ so that a file-size limit refuses writes instead
// of killing it; the programs it starts get the default action back.
#include "driver/file_size_signal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

#include "driver/run_command.h"
#include "tests/test_files.h"

namespace kestrelfold {
namespace {

// In a child: under a one-byte file-size limit a two-byte write is cut to
// one byte and the next one refused with EFBIG, instead of a SIGXFSZ.
TEST(FileSizeSignal, WritesPastTheLimitAreRefusedNotKilled) {
    test_support::TempDir dir;
    const std::string path = dir.file("limitado.txt");
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_DFL);
        ignore_file_size_signal();
        const rlimit limit{1, 1};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(3);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) ::_exit(4);
        if (::write(fd, "ab", 2) != 1) ::_exit(5);
        ::_exit(::write(fd, "c", 1) == -1 && errno == EFBIG ? 0 : 6);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(test_support::read_bytes(path), "a");
}

// Bit 25 of the started shell's SigIgn mask is SIGXFSZ: clear although the
// run ignores the signal.
TEST(FileSizeSignal, StartedProgramsGetTheDefaultActionBack) {
    struct sigaction saved {};
    ASSERT_EQ(::sigaction(SIGXFSZ, nullptr, &saved), 0);
    ignore_file_size_signal();
    const std::string ignored_mask = "$(( 0x$(sed -n \"s/^SigIgn:[[:space:]]*//p\" /proc/$$/status) & 0x1000000 ))";
    const std::int32_t in_child = run_command("test " + ignored_mask + " -eq 0");
    const std::int32_t check_of_the_check = run_command("trap '' XFSZ; sh -c 'test " + ignored_mask + " -ne 0'");
    ::sigaction(SIGXFSZ, &saved, nullptr);
    EXPECT_EQ(in_child, 0);
    EXPECT_EQ(check_of_the_check, 0);
}

}  // namespace
}  // namespace kestrelfold
