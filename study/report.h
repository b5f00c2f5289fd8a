#pragma once
// The report of a study, from what the runs left in the mesh folders and
// nothing else: DIR/estudo.csv, estudo.txt, estudo.tex, estudo.gnu and the
// plots, replaced as one set. A mesh without a complete run is named and
// left out; with no mesh of the list complete there is nothing to report,
// and every file is left as it was.
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
    std::vector<MissingMesh> missing_references;  // meshes without a complete run of kestrelfold-quad
    std::size_t complete = 0;
    bool written = false;              // the new set of files replaced the old one
    bool split = false;                // the errors are split: the plots include arredondamento
    PlotOutcome plots{PlotResult::nothing_to_draw, {}, {}};
    int interrupted_by = 0;            // a signal came; not acted on (the caller ends)
};

// The study's fonte, meshes (coarse to fine) and title, as its plan had
// them. SIGINT, SIGTERM and SIGHUP are held meanwhile: one that comes
// before the new files replace the old ones gives the report up (the old
// files stay as they were); one that comes while they do lets them finish.
// Either way it is returned. FileError when a report file cannot be
// written (nothing is replaced then).
ReportOutcome write_report(const std::filesystem::path& dir, const StudyOptions& options);

// Its steps. The study of the runs the mesh folders hold:
StudyTable read_study(const std::filesystem::path& dir, const StudyOptions& options);
// its renderings, written into a folder (FileError when one cannot be):
void write_report_files(const std::filesystem::path& dir, const StudyTable& table);

}  // namespace kestrelfold::study
