#include "study/run_instructions.h"

#include "driver/posix/shell.h"
#include "study/program_location.h"
#include "study/study_layout.h"
#include "study/task_memory.h"

namespace kestrelfold::study {
namespace {

constexpr std::string_view kIndent = "    ";

std::string mesh_list_text(const std::vector<std::int32_t>& meshes) {
    std::string text;
    for (std::int32_t N : meshes) {
        if (!text.empty()) text += ',';
        text += std::to_string(N);
    }
    return text;
}

std::string meshes_to_run(const Plan& plan) {
    return std::to_string(plan.jobs.size()) + (plan.jobs.size() == 1 ? " mesh" : " meshes") + " to run of " +
           std::to_string(plan.meshes.size()) + " (" + std::to_string(plan.complete) + " already complete)";
}

}  // namespace

std::string shell_word(std::string_view text) {
    const bool plain = !text.empty() && text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                               "0123456789/._,:=+-") == std::string_view::npos;
    return plain ? std::string(text) : shell_quote(text);
}

std::string study_command(const StudyOptions& options, const std::filesystem::path& dir, StudyMode mode) {
    std::string command = shell_word(study_program().string());
    if (mode == StudyMode::plan_only) command += " --plan-only";
    if (mode == StudyMode::report_only) command += " --report-only";
    command += " --fonte " + std::to_string(options.fonte) + " --meshes " + mesh_list_text(options.meshes);
    if (options.title) command += " --title " + shell_word(*options.title);
    if (options.precision == Precision::quad) {
        command += " --precision quad";
    } else if (!options.quad_reference) {
        command += " --no-quad";
    }
    return command + " --dir " + shell_word(dir.string());
}

std::string report_command(const StudyOptions& options, const std::filesystem::path& dir) {
    return study_command(options, dir, StudyMode::report_only);
}

std::string plan_instructions(const Plan& plan, const StudyOptions& options) {
    const std::string report = std::string(kIndent) + report_command(options, plan.dir) + "\n";
    if (plan.jobs.empty()) {
        return "kestrelfold-study: every mesh of the study in " + plan.dir.string() +
               " is complete: nothing to run (--force plans them all again). Write the report:\n" + report;
    }
    const std::string jobs = shell_word((plan.dir / kJobList).string());
    return "kestrelfold-study: " + meshes_to_run(plan) + ", one /bin/sh line each, finest first, in " + jobs +
           ".\nRun them with GNU parallel, " + std::to_string(options.jobs) + " at a time:\n" + std::string(kIndent) +
           "parallel --jobs " + std::to_string(options.jobs) + " < " + jobs +
           "\n(on several hosts that share the folder: add --sshloginfile FILE), or as a Slurm job array of " +
           std::to_string(plan.jobs.size()) + " tasks, " + std::to_string(task_memory_mib(plan.jobs.front().memory)) +
           " MiB each:\n" + std::string(kIndent) + "sbatch " + shell_word((plan.dir / kSlurmScript).string()) +
           "\nOnce every run has ended, write the report:\n" + report;
}

}  // namespace kestrelfold::study
