#pragma once
// Drawing the study's plots: gnuplot, found on PATH, runs the study's script
// in the study's folder. Without gnuplot the plots are skipped, and the
// caller says so in one line.
#include <filesystem>
#include <string>

namespace kestrelfold::study {

enum class PlotResult { drawn, nothing_to_draw, no_gnuplot, failed };

struct PlotOutcome {
    PlotResult result;
    std::string message;  // for skipped or failed plots
};

// Runs `gnuplot estudo.gnu` in `dir` (the old pictures removed first, so
// that none can pass for the new ones) and checks that both were drawn.
PlotOutcome draw_plots(const std::filesystem::path& dir);

}  // namespace kestrelfold::study
