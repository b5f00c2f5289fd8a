#include "study/study.h"

#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>

#include "driver/available_memory.h"
#include "driver/interruption.h"
#include "driver/posix/signals.h"
#include "study/job_runner.h"
#include "study/number_text.h"
#include "study/plan.h"
#include "study/program_location.h"
#include "study/report.h"
#include "study/run_instructions.h"
#include "study/study_layout.h"
#include "study/study_table.h"
#include "study/text_file.h"

namespace kestrelfold::study {
namespace {

constexpr std::string_view kName = "kestrelfold-study: ";

// Runs that ended badly although their folder holds a complete run (a
// failure after the last record), for the messages.
std::vector<const JobOutcome*> failed_runs(const RunnerResult& ran, const ReportOutcome& report) {
    std::vector<const JobOutcome*> failed;
    for (const JobOutcome& outcome : ran.outcomes) {
        const bool missing = std::any_of(report.missing.begin(), report.missing.end(),
                                         [&](const MissingMesh& m) { return m.N == outcome.N; });
        if (!missing && (outcome.signal || outcome.exit_status != 0)) failed.push_back(&outcome);
    }
    return failed;
}

// Where the report is, for the summary line.
std::string report_files(const std::filesystem::path& dir, const ReportOutcome& report) {
    if (!report.written) return "no report written";
    std::string text = "report in " + (dir / kTextReport).string() + " (and " + std::string(kCsvReport) + ", " +
                       std::string(kTexReport) + ")";
    if (report.plots.result != PlotResult::drawn) return text;
    text += ", plots " + (dir / picture_name(kErrorPlot, kRequiredKind)).string() + (report.split ? ", " : " and ") +
            picture_name(kOrderPlot, kRequiredKind);
    if (report.split) text += " and " + picture_name(kRoundoffPlot, kRequiredKind);
    for (std::string_view kind : kPictureKinds) {
        std::error_code error;
        if (kind != kRequiredKind && std::filesystem::exists(dir / picture_name(kErrorPlot, kind), error)) {
            text += " (also ." + std::string(kind) + ")";
        }
    }
    return text;
}

std::string summary(const Plan& plan, const RunnerResult& ran, const ReportOutcome& report, double seconds) {
    return std::string(kName) + std::to_string(plan.meshes.size()) + " meshes: " + std::to_string(ran.outcomes.size()) +
           " run, " + std::to_string(plan.complete) + " already complete, " + std::to_string(report.missing.size()) +
           " without a result; " + fixed(seconds, 1).value_or("?") + " s; " + report_files(plan.dir, report);
}

// The report's problems, one line each: the meshes without a complete run,
// a report of nothing, and plots that could not be drawn. Whether any makes
// the study fail.
bool tell_problems(const std::filesystem::path& dir, const ReportOutcome& report, std::ostream& err) {
    for (const MissingMesh& mesh : report.missing) {
        err << kName << "N = " << mesh.N << ": no complete run: " << mesh.problem << std::endl;
    }
    if (report.complete == 0) {
        err << kName << "no mesh of the list has a complete run in " << dir.string()
            << ": no report written, every file there is as it was" << std::endl;
        return true;
    }
    if (!report.plots.said.empty()) err << report.plots.said << (report.plots.said.ends_with('\n') ? "" : "\n");
    if (report.plots.result != PlotResult::drawn) {
        err << kName << report.plots.message << "; the plots of an earlier report are removed" << std::endl;
    }
    for (const MissingMesh& mesh : report.missing_references) {
        err << kName << "N = " << mesh.N << ": no complete run of " << kQuadProgram << ": " << mesh.problem
            << "; the mesh's errors are reported without their split" << std::endl;
    }
    return !report.missing.empty() || !report.missing_references.empty() ||
           report.plots.result == PlotResult::failed;
}

// The programs the study runs, found beside kestrelfold-study or on PATH;
// nothing, and a line that says which is missing, when one is.
std::optional<StudyPrograms> programs_or_say(const StudyOptions& options, std::ostream& err) {
    StudyPrograms programs;
    auto find = [&](std::string_view name, std::optional<std::filesystem::path>& to) {
        to = find_program(name);
        if (!to) err << kName << name << " not found beside kestrelfold-study nor on PATH" << std::endl;
        return to.has_value();
    };
    if (runs_double(options) && !find(kDoubleProgram, programs.double_program)) return std::nullopt;
    if (runs_quad(options) && !find(kQuadProgram, programs.quad_program)) {
        if (runs_double(options)) err << kName << "(--no-quad runs kestrelfold alone)" << std::endl;
        return std::nullopt;
    }
    return programs;
}

// The meshes of the list with a complete run in the folder.
std::size_t complete_meshes(const std::filesystem::path& dir, const StudyOptions& options) {
    return read_study(dir, options).quantities.front().rows.size();
}

// One line for a study that a signal stopped, then the end by that signal.
[[noreturn]] void end_interrupted(int signal, const std::string& what, std::ostream& err) {
    err << kName << interruption_message(signal) << ": " << what << std::endl;
    end_by_signal(signal);
}

// A whole study stopped, in its runs or its report: how far it got, and the
// command that goes on from there.
[[noreturn]] void end_whole_study(int signal, const Plan& plan, const StudyOptions& options, bool report_written,
                                  std::ostream& err) {
    const std::string meshes = std::to_string(complete_meshes(plan.dir, options)) + " of " +
                               std::to_string(plan.meshes.size()) + " meshes complete in " + plan.dir.string();
    const std::string report =
        report_written ? "the report is written" : "no report written (an earlier one is as it was)";
    end_interrupted(signal,
                    meshes + ", " + report + "; to go on: " + study_command(options, plan.dir, StudyMode::whole),
                    err);
}

int whole_study(const StudyOptions& options, std::ostream& err) {
    const std::optional<StudyPrograms> programs = programs_or_say(options, err);
    if (!programs) return 1;
    const Plan plan = make_plan(options, *programs);
    Progress progress(err, ::isatty(STDERR_FILENO) == 1, plan.meshes.size(), plan.complete);
    const RunnerResult ran = run_jobs(plan.jobs, {options.jobs, available_memory()}, progress);
    progress.close();
    if (ran.interrupted_by) end_whole_study(ran.interrupted_by, plan, options, false, err);

    const ReportOutcome report = write_report(plan.dir, options);
    if (report.interrupted_by) end_whole_study(report.interrupted_by, plan, options, report.written, err);
    bool failed = tell_problems(plan.dir, report, err);
    for (const JobOutcome* outcome : failed_runs(ran, report)) {
        err << kName << "N = " << outcome->N << ": the run " << describe(*outcome) << std::endl;
        failed = true;
    }
    err << summary(plan, ran, report, progress.elapsed_seconds()) << std::endl;
    return failed ? 1 : 0;
}

// The plan alone, and on stdout how to run it elsewhere.
int plan_only(const StudyOptions& options, std::ostream& out, std::ostream& err) {
    const std::optional<StudyPrograms> programs = programs_or_say(options, err);
    if (!programs) return 1;
    const Plan plan = make_plan(options, *programs);
    out << plan_instructions(plan, options) << std::flush;
    return 0;
}

// The report alone, of a study planned and run before: its folder must be
// there, and a mesh of the list complete in it (a report of nothing would
// only hide a wrong --dir, --meshes or --fonte, and replace a good one).
int report_only(const StudyOptions& options, std::ostream& err) {
    std::error_code error;
    const std::filesystem::path dir = std::filesystem::canonical(options.dir, error);
    if (error || !std::filesystem::is_directory(dir, error)) {
        err << kName << "no study in " << options.dir << ": "
            << (error ? error.message() : std::string("not a folder")) << std::endl;
        return 1;
    }
    const ReportOutcome report = write_report(dir, options);
    if (report.interrupted_by) {
        end_interrupted(report.interrupted_by,
                        report.written ? "the report in " + dir.string() + " is written"
                                       : "no report written, the files of an earlier one in " + dir.string() +
                                             " are as they were; to write it: " + report_command(options, dir),
                        err);
    }
    const bool failed = tell_problems(dir, report, err);
    err << kName << options.meshes.size() << " meshes: " << report.complete << " complete, " << report.missing.size()
        << " without a result; " << report_files(dir, report) << std::endl;
    return failed ? 1 : 0;
}

}  // namespace

int run_study(const StudyOptions& options, std::ostream& out, std::ostream& err) {
    try {
        switch (options.mode) {
            case StudyMode::plan_only: return plan_only(options, out, err);
            case StudyMode::report_only: return report_only(options, err);
            case StudyMode::whole: break;
        }
        return whole_study(options, err);
    } catch (const FileError& error) {
        err << kName << error.what() << std::endl;
        return 1;
    }
}

}  // namespace kestrelfold::study
