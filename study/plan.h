#pragma once
// The plan of a study: the mesh folders with their input files, the stand-in
// editor the runs start, and the job list: one complete /bin/sh command line
// per mesh still to run, finest first. Whoever runs the lines (the study's
// own runner, by hand, GNU parallel, a cluster's job array) runs the same
// thing; the report then reads only what the runs left in the folders.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "study/options.h"

namespace kestrelfold::study {

struct Job {
    std::int32_t N;
    std::string command;
};

struct Plan {
    std::filesystem::path dir;          // absolute
    std::vector<std::int32_t> meshes;   // every mesh of the study, coarse to fine
    std::vector<Job> jobs;              // the meshes to run, finest first
    std::size_t complete = 0;           // meshes left as they are: already complete
};

// Makes DIR and the folders, writes DIR/bin/notepad, the input file of every
// mesh to run (its old listing, data file and log removed, so that nothing
// of an earlier run can pass for this one's) and DIR/jobs.txt. A mesh whose
// run is already complete for the fonte and N is left alone unless `force`.
// FileError when a folder or file cannot be made.
Plan make_plan(const StudyOptions& options, const std::filesystem::path& program);

// The command line that runs `program` in `folder` with `adapters` first on
// PATH, input from nothing, and everything it prints into the folder's log.
std::string job_command(const std::filesystem::path& folder, const std::filesystem::path& adapters,
                        const std::filesystem::path& program);

}  // namespace kestrelfold::study
