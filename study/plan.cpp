#include "study/plan.h"

#include <algorithm>
#include <system_error>

#include "driver/input_file.h"
#include "driver/posix/shell.h"
#include "output/extrapolation_file.h"
#include "study/mesh_lock.h"
#include "study/run_files.h"
#include "study/run_input.h"
#include "study/run_instructions.h"
#include "study/slurm_script.h"
#include "study/study_layout.h"
#include "study/text_file.h"

namespace kestrelfold::study {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kName = "kestrelfold-study: ";

// The runs of a study are not watched: the editor they start opens nothing.
constexpr std::string_view kSilentNotepad =
    "#!/bin/sh\n"
    "# notepad FILE for the runs of a mesh study: opens nothing and returns at\n"
    "# once, so that no run waits for an editor.\n"
    "exit 0\n";

// Whether the folder was made now (and so holds nothing yet).
bool make_folder(const fs::path& folder) {
    std::error_code error;
    const bool made = fs::create_directories(folder, error);
    if (error || (!made && !fs::is_directory(folder, error))) {
        throw FileError("cannot make the folder " + folder.string() + ": " +
                        (error ? error.message() : std::string("a file of that name is in the way")));
    }
    return made;
}

void remove_file(const fs::path& file) {
    std::error_code error;
    fs::remove(file, error);
    if (error) throw FileError("cannot remove the old " + file.string() + ": " + error.message());
}

// The files a run writes, its log aside.
std::vector<std::string> run_output_names() {
    return {std::string(kRunListing), extrapolation_file_name(kRunListing)};
}

std::string run_outputs() {
    std::string names;
    for (const std::string& name : run_output_names()) {
        if (!names.empty()) names += ' ';
        names += shell_quote(name);
    }
    return names;
}

// A folder an earlier plan made, ready for its run again: every file an
// earlier run left taken away, the input file written. Under the mesh's
// lock: never while a run of the mesh goes on.
void prepare_old_mesh(const fs::path& folder, std::int32_t N, const std::string& input) {
    const MeshLock lock(folder, N);
    for (const std::string& name : run_output_names()) remove_file(folder / name);
    remove_file(folder / kRunLog);
    write_file_in_place(folder / kInputFile, input);
}

std::string job_list_text(const std::vector<Job>& jobs) {
    std::string text;
    for (const Job& job : jobs) text += job.command + "\n";
    return text;
}

// The job list, and the Slurm array of it; with nothing to run, an empty
// list and no array (an array of no tasks is no array).
void write_job_files(const Plan& plan, const StudyOptions& options) {
    const std::string list = job_list_text(plan.jobs);
    write_file(plan.dir / kJobList, list);
    if (plan.jobs.empty()) {
        remove_file(plan.dir / kSlurmScript);
    } else {
        write_file(plan.dir / kSlurmScript, slurm_script(plan.dir, plan.jobs, list, report_command(options, plan.dir)),
                   true);
    }
}

}  // namespace

std::string job_command(const fs::path& folder, const fs::path& program) {
    const std::string busy = std::string(kName) + folder.string() + ": another run of this mesh holds " +
                             std::string(kRunLock) + ": this one is not run";
    return "cd " + shell_quote(folder.string()) + " && exec 9>>" + std::string(kRunLock) + " && { flock -n -E " +
           std::to_string(kBusyStatus) + " 9 || { s=$?; [ $s -ne " + std::to_string(kBusyStatus) +
           " ] || printf '%s\\n' " + shell_quote(busy) + " >&2; exit $s; }; } && rm -f " + run_outputs() +
           " && PATH=../" + std::string(kAdapterFolder) + ":\"$PATH\" exec " + shell_quote(program.string()) +
           " </dev/null >" + std::string(kRunLog) + " 2>&1";
}

Plan make_plan(const StudyOptions& options, const fs::path& program) {
    make_folder(options.dir);
    Plan plan;
    std::error_code error;
    plan.dir = fs::canonical(options.dir, error);
    if (error) throw FileError("cannot find the folder " + options.dir + ": " + error.message());
    plan.meshes = options.meshes;

    const fs::path adapters = plan.dir / kAdapterFolder;
    make_folder(adapters);
    write_file(adapters / "notepad", kSilentNotepad, true);

    for (auto N = plan.meshes.rbegin(); N != plan.meshes.rend(); ++N) {
        const fs::path folder = plan.dir / mesh_folder_name(*N);
        const std::string input = study_input_text(options.fonte, *N, options.title);
        // A folder made just now holds nothing to check, clear or guard: no
        // job line has run in it. Its lock file is made by the first.
        if (make_folder(folder)) {
            write_file_in_place(folder / kInputFile, input);
        } else if (!options.force && read_run(folder, options.fonte, *N, input).values) {
            ++plan.complete;
            continue;
        } else {
            prepare_old_mesh(folder, *N, input);
        }
        plan.jobs.push_back({*N, job_command(folder, program)});
    }
    write_job_files(plan, options);
    return plan;
}

}  // namespace kestrelfold::study
