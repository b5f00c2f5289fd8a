#pragma once
// Drawing the study's plots: gnuplot, found on PATH, runs the study's script
// in a folder that holds it (the report's staging folder). Without gnuplot
// the plots are skipped, and the caller says so in one line. A signal that
// interrupts the study meanwhile ends gnuplot and all it started.
#include <filesystem>
#include <string>

#include "study/signal_wait.h"

namespace kestrelfold::study {

enum class PlotResult { drawn, nothing_to_draw, no_gnuplot, failed, interrupted };

struct PlotOutcome {
    PlotResult result;
    std::string message;  // for skipped or failed plots
    std::string said;     // what gnuplot printed, for the caller to pass on
    int signal = 0;       // the signal that interrupted the drawing
};

// Runs `gnuplot estudo.gnu` in `dir`, in a process group of its own, and
// checks that it drew the pictures every gnuplot can. `signals` must be
// waiting (blocking) already: an interrupting signal that comes before
// gnuplot ends kills its group, waits for it and is returned, not acted on.
PlotOutcome draw_plots(const std::filesystem::path& dir, SignalWait& signals);

}  // namespace kestrelfold::study
