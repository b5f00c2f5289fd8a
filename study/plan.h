#pragma once
// The plan of a study: the mesh folders with their input files, the stand-in
// editor the runs start, and the job list: one complete /bin/sh command line
// per mesh still to run, finest first. Whoever runs the lines (the study's
// own runner, by hand, GNU parallel, a cluster's job array) runs the same
// thing; the report then reads only what the runs left in the folders.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "study/options.h"

namespace kestrelfold::study {

struct Job {
    std::int32_t N;
    std::string command;
    // What the line's runs hold at most, by the figure each program checks:
    // they run one after the other, so the larger of the two.
    std::uint64_t memory = 0;
};

// The programs a study runs on each mesh, by absolute path: kestrelfold in
// the mesh's folder, kestrelfold-quad in its folder quad/ (either may be left
// out by the options).
struct StudyPrograms {
    std::optional<std::filesystem::path> double_program;
    std::optional<std::filesystem::path> quad_program;
};

// One run of a job line: the program and its folder, relative to the mesh's.
struct MeshRun {
    std::filesystem::path folder;  // "." or kQuadFolder
    std::filesystem::path program;
};

struct Plan {
    std::filesystem::path dir;          // absolute
    std::vector<std::int32_t> meshes;   // every mesh of the study, coarse to fine
    std::vector<Job> jobs;              // the meshes to run, finest first
    std::size_t complete = 0;           // meshes left as they are: already complete
};

// Makes DIR and the folders, writes DIR/bin/notepad, the input file of every
// mesh to run (its old listing, data file and log removed, so that nothing
// of an earlier run can pass for this one's), DIR/jobs.txt and DIR/slurm.sh
// (removed when nothing is left to run). A mesh whose run is already
// complete for the fonte and N is left alone unless `force`. FileError when
// a folder or file cannot be made, or when a run of a mesh to prepare is
// going on (it holds the mesh's lock).
Plan make_plan(const StudyOptions& options, const StudyPrograms& programs);

// The status of a job line refused because another run of its mesh holds
// the lock (EX_TEMPFAIL: try again later).
inline constexpr int kBusyStatus = 75;

// The command line that runs each of `runs` (one or two), one after the
// other, in its folder of `folder` (a mesh folder of DIR),
// with DIR/bin first on PATH, input from nothing, and everything it prints
// into that folder's log. It first takes the mesh folder's lock (flock(1),
// without waiting: a second run of the mesh is refused with a message and
// status kBusyStatus, touching nothing) and removes the listings and data
// files earlier runs left, so that a run killed midway leaves an incomplete
// folder and never one that mixes two runs' files. The lock is held, by the
// descriptor the programs inherit, until the last run ends, however it ends.
std::string job_command(const std::filesystem::path& folder, const std::vector<MeshRun>& runs);

}  // namespace kestrelfold::study
