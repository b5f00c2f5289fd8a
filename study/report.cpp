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
    for (std::int32_t N : options.meshes) {
        RunReading reading = read_run(dir / mesh_folder_name(N), options.fonte, N,
                                      study_input_text(options.fonte, N, options.title));
        if (reading.values) {
            complete.push_back(*reading.values);
        } else {
            missing.push_back({N, std::move(reading.problem)});
        }
    }
    return compute_study(options.fonte, complete, std::move(missing));
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
    return {table.missing, complete, std::move(plots)};
}

}  // namespace kestrelfold::study
