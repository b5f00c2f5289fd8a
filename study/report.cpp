#include "study/report.h"

#include "study/csv_report.h"
#include "study/gnuplot_script.h"
#include "study/report_staging.h"
#include "study/run_files.h"
#include "study/run_input.h"
#include "study/signal_wait.h"
#include "study/study_layout.h"
#include "study/tex_report.h"
#include "study/text_file.h"
#include "study/text_report.h"

namespace kestrelfold::study {

StudyTable read_study(const std::filesystem::path& dir, const StudyOptions& options) {
    std::vector<MeshValues> complete;
    std::vector<MissingMesh> missing;
    std::vector<MissingMesh> missing_references;
    for (std::int32_t N : options.meshes) {
        const std::filesystem::path folder = dir / mesh_folder_name(N);
        const std::string input = study_input_text(options.fonte, N, options.title);
        const bool quad_study = options.precision == Precision::quad;
        RunReading reading = quad_study ? read_run(folder / kQuadFolder, options.fonte, N, input, Precision::quad)
                                        : read_run(folder, options.fonte, N, input);
        if (!reading.values) {
            missing.push_back({N, std::move(reading.problem), std::move(reading.problem_portuguese)});
            continue;
        }
        if (quad_study) reading.values->quad_values = reading.quad_values;
        if (!quad_study && options.quad_reference) {
            RunReading reference = read_run(folder / kQuadFolder, options.fonte, N, input, Precision::quad);
            if (reference.quad_values) {
                reading.values->reference = reference.quad_values;
            } else {
                missing_references.push_back({N, std::move(reference.problem), std::move(reference.problem_portuguese)});
            }
        }
        complete.push_back(*reading.values);
    }
    StudyTable table = compute_study(options.fonte, complete, std::move(missing));
    table.missing_references = std::move(missing_references);
    return table;
}

void write_report_files(const std::filesystem::path& dir, const StudyTable& table) {
    write_file(dir / kCsvReport, study_csv(table));
    write_file(dir / kTextReport, study_text(table));
    write_file(dir / kTexReport, study_tex(table));
    write_file(dir / kPlotScript, study_gnuplot_script(table));
}

namespace {

// The plots of the staged report, drawn beside its script. Plots not
// drawn whole leave no picture behind: a gnuplot that failed halfway may
// have drawn one.
PlotOutcome staged_plots(const ReportStaging& staging, std::size_t complete, SignalWait& signals) {
    // A curve needs two meshes, and gnuplot complains about a range of one.
    PlotOutcome plots = complete < 2 ? PlotOutcome{PlotResult::nothing_to_draw,
                                                   "fewer than two complete meshes: no plots", {}}
                                     : draw_plots(staging.path(), signals);
    if (plots.result != PlotResult::drawn) {
        for (std::string_view kind : kPictureKinds) {
            for (std::string_view plot : {kErrorPlot, kOrderPlot}) {
                std::error_code error;
                std::filesystem::remove(staging.path() / picture_name(plot, kind), error);
            }
        }
    }
    return plots;
}

}  // namespace

ReportOutcome write_report(const std::filesystem::path& dir, const StudyOptions& options) {
    SignalWait signals;
    const StudyTable table = read_study(dir, options);
    ReportOutcome outcome;
    outcome.missing = table.missing;
    outcome.missing_references = table.missing_references;
    outcome.split = has_roundoff_plot(table);
    outcome.complete = table.quantities.front().rows.size();
    if (outcome.complete == 0) return outcome;

    const ReportStaging staging(dir);
    write_report_files(staging.path(), table);
    if ((outcome.interrupted_by = signals.pending_interruption())) return outcome;
    outcome.plots = staged_plots(staging, outcome.complete, signals);
    if ((outcome.interrupted_by = outcome.plots.signal)) return outcome;
    if ((outcome.interrupted_by = signals.pending_interruption())) return outcome;
    staging.commit();
    outcome.written = true;
    outcome.interrupted_by = signals.pending_interruption();
    return outcome;
}

}  // namespace kestrelfold::study
