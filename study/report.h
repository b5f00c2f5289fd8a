#pragma once
// The report of a study, from what the runs left in the mesh folders and
// nothing else: DIR/estudo.csv, DIR/estudo.txt, DIR/estudo.gnu and the two
// plots. A mesh without a complete run is named and left out.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "study/options.h"
#include "study/plots.h"
#include "study/study_table.h"

namespace kestrelfold::study {

struct ReportOutcome {
    std::vector<MissingMesh> missing;  // meshes without a complete run
    std::vector<MissingReference> missing_references;  // meshes without a complete run of kestrelfold-quad
    std::size_t complete = 0;
    PlotOutcome plots;
};

// The study's fonte, meshes (coarse to fine) and title, as its plan had
// them. FileError when a report file cannot be written.
ReportOutcome write_report(const std::filesystem::path& dir, const StudyOptions& options);

// Its steps. The study of the runs the mesh folders hold:
StudyTable read_study(const std::filesystem::path& dir, const StudyOptions& options);
// its three renderings, written into DIR (FileError when one cannot be):
void write_report_files(const std::filesystem::path& dir, const StudyTable& table);

}  // namespace kestrelfold::study
