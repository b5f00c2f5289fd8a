#include "study/report.h"

#include "study/csv_report.h"
#include "study/gnuplot_script.h"
#include "study/run_files.h"
#include "study/study_layout.h"
#include "study/text_file.h"
#include "study/text_report.h"

namespace kestrelfold::study {

ReportOutcome write_report(const std::filesystem::path& dir, std::int32_t fonte, std::span<const std::int32_t> meshes) {
    std::vector<MeshValues> complete;
    std::vector<MissingMesh> missing;
    for (std::int32_t N : meshes) {
        RunReading reading = read_run(dir / mesh_folder_name(N), fonte, N);
        if (reading.values) {
            complete.push_back(*reading.values);
        } else {
            missing.push_back({N, std::move(reading.problem)});
        }
    }
    const StudyTable table = compute_study(fonte, complete, missing);
    write_file(dir / kCsvReport, study_csv(table));
    write_file(dir / kTextReport, study_text(table));
    write_file(dir / kPlotScript, study_gnuplot_script(table));
    // A curve needs two meshes, and gnuplot complains about a range of one.
    PlotOutcome plots = complete.size() >= 2
                            ? draw_plots(dir)
                            : PlotOutcome{PlotResult::nothing_to_draw, "fewer than two complete meshes: no plots drawn"};
    return {std::move(missing), complete.size(), std::move(plots)};
}

}  // namespace kestrelfold::study
