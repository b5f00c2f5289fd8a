#pragma once
#include <string>
#include <string_view>

#include "driver/run.h"

namespace kestrelfold {

inline constexpr int kPlotUnit = 11;

// The plot data file, then each plot script with the run's title, shown by
// the plotting program in turn.
template <typename Real>
void graficos(RunOf<Real>& run);

// The title as it goes between the apostrophes of the scripts' title
// command: each apostrophe doubled, gnuplot's escape inside a single-quoted
// string, so that a title like "Joe's run" cannot end the string early. The
// command is always one record, whatever the title's length.
std::string gnuplot_quoted(std::string_view title);

}  // namespace kestrelfold
