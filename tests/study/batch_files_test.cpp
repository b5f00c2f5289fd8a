// What lets the runs of a study go to other machines: the checksum a Slurm
// script checks its job list by (the answers of cksum itself), the values of
// its #SBATCH lines, and the memory a task is granted against what a real
// run and the editor it starts hold.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "study/plan.h"
#include "study/posix_cksum.h"
#include "study/slurm_script.h"
#include "study/study_layout.h"
#include "study/task_memory.h"
#include "tests/test_files.h"

namespace kestrelfold::study {
namespace {

using namespace kestrelfold::test_support;

TEST(PosixCksum, AnswersOfCksum) {
    // printf ... | cksum; the longer ones write their length in two and
    // three bytes.
    const struct {
        std::string bytes;
        const char* line;
    } cases[] = {
        {"", "4294967295 0"},
        {"a", "1220704766 1"},
        {"123456789", "930766865 9"},
        {std::string(300, 'x'), "3786917833 300"},
        {std::string(70000, 'x'), "4215398528 70000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        EXPECT_EQ(posix_cksum_line(c.bytes), c.line);
    }
}

TEST(SbatchValues, QuotedForSbatchAndPatternOfTheFolder) {
    EXPECT_EQ(sbatch_quote("/s/a b/it's #1"), "\"/s/a b/it's #1\"");
    EXPECT_EQ(sbatch_quote("say \"x\" \\ y"), "\"say \\\"x\\\" \\\\ y\"");
    const struct {
        const char* dir;
        std::optional<std::string> pattern;
    } cases[] = {
        {"/s/a b", "/s/a b/slurm-%A_%a.out"},
        {"/s/50%A", "/s/50%%A/slurm-%A_%a.out"},
        {"/s/a\\b", std::nullopt},  // a backslash turns Slurm's %A and %a off
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dir);
        EXPECT_EQ(task_output_pattern(c.dir), c.pattern);
    }
}

struct Peak {
    int status;
    std::uint64_t resident_bytes;  // of the process and of each child it waited for, the largest
};

// Runs the command through /bin/sh in `folder` and waits for it.
Peak run_measured(const std::string& command, const std::filesystem::path& folder) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(126);
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) return {-1, 0};
    return {status, static_cast<std::uint64_t>(usage.ru_maxrss) * 1024};
}

// Slurm adds up the resident memory of a task's processes: the run at its
// largest and the two shells of the editor it starts (one for the command,
// one for the stand-in) must fit what the task is granted.
TEST(TaskMemory, HoldsARealRunAndTheShellsOfItsEditor) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the AddressSanitizer runtime and its shadow memory are no part of a run";
#endif
    constexpr std::int32_t N = 10'000'000;
    TempDir dir;
    StudyOptions options;
    options.meshes = {N};
    options.dir = dir.path().string();
    // The line runs kestrelfold, then kestrelfold-quad, which holds more.
    const Plan plan = make_plan(options, {KESTRELFOLD_EXE, KESTRELFOLD_QUAD_EXE});
    ASSERT_EQ(plan.jobs.size(), 1u);

    const Peak run = run_measured(plan.jobs.front().command, dir.path());
    ASSERT_EQ(run.status, 0) << read_bytes(dir.path() / mesh_folder_name(N) / kRunLog);
    ASSERT_TRUE(std::filesystem::exists(dir.path() / mesh_folder_name(N) / "saida.txt.Vantreuse"));
    ASSERT_TRUE(std::filesystem::exists(dir.path() / mesh_folder_name(N) / kQuadFolder / "saida.txt.Vantreuse"));
    EXPECT_GT(run.resident_bytes, std::uint64_t{16} * N) << "the quad run holds T, 16 bytes a node";

    const Peak editor = run_measured("PATH=bin:\"$PATH\" notepad Kestrelfold.in", dir.path());
    ASSERT_EQ(editor.status, 0);
    EXPECT_LE(run.resident_bytes + 2 * editor.resident_bytes, task_memory_mib(plan.jobs.front().memory) * kMebibyte)
        << "run " << run.resident_bytes << " bytes, editor shell " << editor.resident_bytes << " bytes";
}

}  // namespace
}  // namespace kestrelfold::study
