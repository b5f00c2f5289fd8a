#include "study/slurm_script.h"

#include "driver/posix/shell.h"
#include "study/posix_cksum.h"
#include "study/study_layout.h"
#include "study/task_memory.h"

namespace kestrelfold::study {
namespace fs = std::filesystem;
namespace {

std::string mesh_sequence(std::span<const Job> jobs) {
    std::string text;
    for (const Job& job : jobs) {
        if (!text.empty()) text += ", ";
        text += std::to_string(job.N);
    }
    return text;
}

std::string heading(const fs::path& dir, std::span<const Job> jobs, std::string_view report) {
    const fs::path script = dir / kSlurmScript;
    return "#!/bin/sh\n"
           "# The runs of the mesh study in " + dir.string() + "\n"
           "# as a Slurm job array, written by kestrelfold-study with jobs.txt beside\n"
           "# it: task i runs line i of jobs.txt, the meshes N = " + mesh_sequence(jobs) + "\n"
           "# (finest first), as the study itself or GNU parallel would run it. Submit it:\n"
           "#     sbatch " + shell_quote(script.string()) + "\n"
           "# and once every task has ended, write the report (it judges each mesh by\n"
           "# what its folder holds, whatever the tasks' status says):\n"
           "#     " + std::string(report) + "\n"
           "#\n";
}

std::string memory_comment(const Job& finest) {
    return "# --mem is per task, and an array takes one figure for all its tasks: the\n"
           "# need of the finest mesh of the list, N = " + std::to_string(finest.N) + ": " +
           std::to_string(finest.memory) + " bytes as the programs\n"
           "# themselves check (kestrelfold-quad's, the larger, when the line runs both),\n"
           "# plus " + std::to_string(kProcessReserveBytes / kMebibyte) +
           " MiB for what the process holds beyond its fields (the\n"
           "# program, its libraries and stack, the shells of the editor stand-in it\n"
           "# starts), rounded up to MiB. A node with less memory refuses the array at\n"
           "# submit; coarser meshes hold less than they are granted.\n";
}

std::string directives(const fs::path& dir, std::span<const Job> jobs) {
    std::string text = "#SBATCH --job-name=kestrelfold-study\n"
                       "#SBATCH --array=1-" + std::to_string(jobs.size()) + "\n"
                       "#SBATCH --mem=" + std::to_string(task_memory_mib(jobs.front().memory)) + "M\n";
    if (const std::optional<std::string> output = task_output_pattern(dir)) {
        text += "#SBATCH --output=" + sbatch_quote(*output) + "\n";
    } else {
        text += "# (The folder's name holds a backslash, which would turn Slurm's %A and %a\n"
                "# off: what the tasks print goes to the folder sbatch was called in.)\n";
    }
    return text;
}

// The task's line of the list, run by /bin/sh in place of this script; a
// list other than the one this script was written for (planned again
// since) is refused, so that a task of an older array never runs the line
// of another mesh with another mesh's memory.
std::string body(const fs::path& dir, std::string_view job_list) {
    const std::string jobs = shell_quote((dir / kJobList).string());
    return "\n"
           "jobs=" + jobs + "\n"
           "planned='" + posix_cksum_line(job_list) + "'\n"
           "if [ \"$(cksum <\"$jobs\")\" != \"$planned\" ]; then\n"
           "    echo \"slurm.sh: $jobs is not the job list this script was written for (the study\" \\\n"
           "        \"was planned again): submit the slurm.sh written with it\" >&2\n"
           "    exit 2\n"
           "fi\n"
           "case ${SLURM_ARRAY_TASK_ID:-} in\n"
           "'' | *[!0-9]*)\n"
           "    echo \"slurm.sh: SLURM_ARRAY_TASK_ID='${SLURM_ARRAY_TASK_ID:-}' is no line number of $jobs\" >&2\n"
           "    exit 2\n"
           "    ;;\n"
           "esac\n"
           "line=$(sed -n \"${SLURM_ARRAY_TASK_ID}p\" \"$jobs\")\n"
           "if [ -z \"$line\" ]; then\n"
           "    echo \"slurm.sh: $jobs has no line $SLURM_ARRAY_TASK_ID\" >&2\n"
           "    exit 2\n"
           "fi\n"
           "exec /bin/sh -c \"$line\"\n";
}

}  // namespace

std::string sbatch_quote(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::optional<std::string> task_output_pattern(const fs::path& dir) {
    const std::string name = dir.string();
    if (name.find('\\') != std::string::npos) return std::nullopt;
    std::string pattern;
    for (char c : name) pattern += c == '%' ? std::string("%%") : std::string(1, c);
    return pattern + "/" + std::string(kSlurmOutput);
}

std::string slurm_script(const fs::path& dir, std::span<const Job> jobs, std::string_view job_list,
                         std::string_view report) {
    return heading(dir, jobs, report) + memory_comment(jobs.front()) + directives(dir, jobs) + body(dir, job_list);
}

}  // namespace kestrelfold::study
