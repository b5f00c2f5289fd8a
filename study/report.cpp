#include "study/report.h"

#include "study/csv_report.h"
#include "study/gnuplot_script.h"
#include "study/run_files.h"
#include "study/run_input.h"
#include "study/study_layout.h"
#include "study/text_file.h"
#include "study/text_report.h"

namespace kestrelfold::study {

StudyTable read_study(const std::filesystem::path& dir, const StudyOptions& options) {
    std::vector<MeshValues> complete;
    std::vector<MissingMesh> missing;
    std::vector<MissingReference> missing_references;
    for (std::int32_t N : options.meshes) {
        const std::filesystem::path folder = dir / mesh_folder_name(N);
        const std::string input = study_input_text(options.fonte, N, options.title);
        const bool quad_study = options.precision == Precision::quad;
        RunReading reading = quad_study ? read_run(folder / kQuadFolder, options.fonte, N, input, Precision::quad)
                                        : read_run(folder, options.fonte, N, input);
        if (!reading.values) {
            missing.push_back({N, std::move(reading.problem)});
            continue;
        }
        if (quad_study) reading.values->quad_values = reading.quad_values;
        if (!quad_study && options.quad_reference) {
            RunReading reference = read_run(folder / kQuadFolder, options.fonte, N, input, Precision::quad);
            if (reference.quad_values) {
                reading.values->reference = reference.quad_values;
            } else {
                missing_references.push_back({N, std::move(reference.problem)});
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
    write_file(dir / kPlotScript, study_gnuplot_script(table));
}

ReportOutcome write_report(const std::filesystem::path& dir, const StudyOptions& options) {
    const StudyTable table = read_study(dir, options);
    write_report_files(dir, table);
    const std::size_t complete = table.quantities.front().rows.size();
    // A curve needs two meshes, and gnuplot complains about a range of one.
    PlotOutcome plots = complete >= 2
                            ? draw_plots(dir)
                            : PlotOutcome{PlotResult::nothing_to_draw, "fewer than two complete meshes: no plots drawn"};
    return {table.missing, table.missing_references, complete, std::move(plots)};
}

}  // namespace kestrelfold::study
