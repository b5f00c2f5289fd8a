#pragma once
// The files of a study in its folder DIR: one folder per mesh, each holding
// the input, the listing, the data file and the log of its run, and the lock
// its run holds; the stand-in editor the runs start; the job list and the
// Slurm array of it, with what the array's tasks print; the report.
//
//   DIR/N0000000160/Kestrelfold.in, saida.txt, saida.txt.Vantreuse, kestrelfold.log, kestrelfold.lock
//   DIR/N0000000160/quad/Kestrelfold.in, saida.txt, saida.txt.Vantreuse, kestrelfold.log (kestrelfold-quad's run)
//   DIR/bin/notepad
//   DIR/jobs.txt, DIR/slurm.sh, DIR/slurm-<job>_<task>.out
//   DIR/estudo.csv, estudo.txt, estudo.tex, estudo.gnu, erro.png, ordem.png, erro.pdf, ordem.pdf,
//   arredondamento.png, arredondamento.pdf (with the runs of kestrelfold-quad)
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrelfold::study {

// "N0000000160": zero-padded to the ten digits of the largest N, so that
// `ls` lists the meshes coarse to fine.
std::string mesh_folder_name(std::int32_t N);

inline constexpr std::string_view kRunListing = "saida.txt";    // `caso` of every run
inline constexpr std::string_view kRunLog = "kestrelfold.log";  // what the run printed
// kestrelfold-quad's run of a mesh, in a folder of the mesh's folder; the
// mesh's lock covers both runs.
inline constexpr std::string_view kQuadFolder = "quad";
// Held (flock) by the run of the mesh from before it clears the folder until
// it ends, however it ends: a second run of the mesh is refused meanwhile.
inline constexpr std::string_view kRunLock = "kestrelfold.lock";
inline constexpr std::string_view kAdapterFolder = "bin";
inline constexpr std::string_view kJobList = "jobs.txt";
inline constexpr std::string_view kSlurmScript = "slurm.sh";
// Slurm's file name pattern: the array's job id and the task's index.
inline constexpr std::string_view kSlurmOutput = "slurm-%A_%a.out";
inline constexpr std::string_view kCsvReport = "estudo.csv";
inline constexpr std::string_view kTextReport = "estudo.txt";
inline constexpr std::string_view kPlotScript = "estudo.gnu";
inline constexpr std::string_view kTexReport = "estudo.tex";
// The two plots, each drawn in every kind of picture: erro.png, erro.pdf, ...
inline constexpr std::string_view kErrorPlot = "erro";
inline constexpr std::string_view kOrderPlot = "ordem";
// Drawn when the study has the runs of kestrelfold-quad to split the errors.
inline constexpr std::string_view kRoundoffPlot = "arredondamento";
inline constexpr std::array<std::string_view, 2> kPictureKinds = {"png", "pdf"};
// The picture every gnuplot draws; the others need a terminal it may lack.
inline constexpr std::string_view kRequiredKind = "png";

// "erro.png"
std::string picture_name(std::string_view plot, std::string_view kind);

// Every file of a report: they are replaced together, as one set.
std::vector<std::string> report_file_names();

}  // namespace kestrelfold::study
