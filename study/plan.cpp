#include "study/plan.h"

#include <algorithm>
#include <system_error>

#include "driver/input_file.h"
#include "driver/posix/shell.h"
#include "numerics/run_memory.h"
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

// The files of the runs of a job line, relative to the mesh's folder, as
// shell words.
std::string run_outputs(const std::vector<MeshRun>& runs) {
    std::string names;
    for (const MeshRun& run : runs) {
        for (const std::string& name : run_output_names()) {
            if (!names.empty()) names += ' ';
            names += shell_quote((run.folder / name).lexically_normal().string());
        }
    }
    return names;
}

// A run's folder made for it now (and so holding nothing), or prepared for
// its run again: every file an earlier run left taken away, the input file
// written.
void prepare_run_folder(const fs::path& folder, const std::string& input) {
    if (make_folder(folder)) {
        write_file_in_place(folder / kInputFile, input);
        return;
    }
    for (const std::string& name : run_output_names()) remove_file(folder / name);
    remove_file(folder / kRunLog);
    write_file_in_place(folder / kInputFile, input);
}

// The mesh's folder and its runs' folders, ready for the runs. An old mesh
// folder is prepared under the mesh's lock: never while a run of the mesh
// goes on. A folder made just now holds nothing to check, clear or guard: no
// job line has run in it. Its lock file is made by the first.
void prepare_mesh(const fs::path& folder, std::int32_t N, const std::vector<MeshRun>& runs, const std::string& input) {
    const bool made = make_folder(folder);
    std::optional<MeshLock> lock;
    if (!made) lock.emplace(folder, N);
    for (const MeshRun& run : runs) prepare_run_folder((folder / run.folder).lexically_normal(), input);
}

// The relative way up from a run's folder to the mesh's, for the PATH entry
// of the study's stand-in editor: "." gives "..", "quad" gives "../..".
std::string adapters_from(const fs::path& run_folder) {
    std::string up = "..";
    for (const fs::path& part : run_folder.lexically_normal()) {
        if (part != ".") up += "/..";
    }
    return up + "/" + std::string(kAdapterFolder);
}

// One run as the line runs it: in its folder, with the study's editor first
// on PATH and its output in its log; `replaces_shell` when nothing follows it.
std::string run_text(const MeshRun& run, bool replaces_shell) {
    const fs::path folder = run.folder.lexically_normal();
    const std::string text = "PATH=" + adapters_from(folder) + ":\"$PATH\" " + (replaces_shell ? "exec " : "") +
                             shell_quote(run.program.string()) + " </dev/null >" + std::string(kRunLog) + " 2>&1";
    return folder == "." ? text : "cd " + shell_quote(folder.string()) + " && " + text;
}

// The runs of a line, one or two. The second runs whatever the first did:
// kestrelfold refused for memory leaves kestrelfold-quad's run to try (it
// fails alike), and a quad run that fails leaves the double one's results
// whole. The line fails when either run fails.
std::string runs_text(const std::vector<MeshRun>& runs) {
    if (runs.size() == 1) return run_text(runs.front(), true);
    const std::string first = run_text(runs.front(), false);
    const bool moves = runs.front().folder.lexically_normal() != ".";
    return "{ " + (moves ? "(" + first + ")" : first) + "; s=$?; " + run_text(runs.back(), false) + " && exit $s; }";
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

std::string job_command(const fs::path& folder, const std::vector<MeshRun>& runs) {
    const std::string busy = std::string(kName) + folder.string() + ": another run of this mesh holds " +
                             std::string(kRunLock) + ": this one is not run";
    const std::string command = "cd " + shell_quote(folder.string()) + " && exec 9>>" + std::string(kRunLock) +
                          " && { flock -n -E " + std::to_string(kBusyStatus) + " 9 || { s=$?; [ $s -ne " +
                          std::to_string(kBusyStatus) + " ] || printf '%s\\n' " + shell_quote(busy) +
                          " >&2; exit $s; }; } && rm -f " + run_outputs(runs);
    return command + " && " + runs_text(runs);
}

namespace {

// The runs of the mesh N still to be made: each program of the study whose
// folder holds no complete run of the mesh (every one with `force`).
std::vector<MeshRun> runs_to_make(const StudyOptions& options, const StudyPrograms& programs, const fs::path& folder,
                                  std::int32_t N, const std::string& input) {
    std::vector<MeshRun> runs;
    auto add = [&](const std::optional<fs::path>& program, const fs::path& run_folder) {
        if (!program) return;
        std::error_code error;
        const fs::path where = (folder / run_folder).lexically_normal();
        if (!options.force && fs::is_directory(where, error) && read_run(where, options.fonte, N, input).values) return;
        runs.push_back({run_folder, *program});
    };
    add(programs.double_program, ".");
    add(programs.quad_program, kQuadFolder);
    return runs;
}

std::uint64_t runs_memory(const std::vector<MeshRun>& runs, const StudyPrograms& programs, std::int32_t N) {
    std::uint64_t most = 0;
    for (const MeshRun& run : runs) {
        const std::uint64_t need =
            run.program == programs.quad_program ? run_memory_bytes<Quad>(N) : run_memory_bytes<double>(N);
        most = std::max(most, need);
    }
    return most;
}

}  // namespace

Plan make_plan(const StudyOptions& options, const StudyPrograms& programs) {
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
        const std::vector<MeshRun> runs = runs_to_make(options, programs, folder, *N, input);
        if (runs.empty()) {
            ++plan.complete;
            continue;
        }
        prepare_mesh(folder, *N, runs, input);
        plan.jobs.push_back({*N, job_command(folder, runs), runs_memory(runs, programs, *N)});
    }
    write_job_files(plan, options);
    return plan;
}

}  // namespace kestrelfold::study
