#pragma once
// The plot files, by the fixed names every run uses in the current folder:
// the data file the run writes, and the user's two gnuplot scripts, each
// kept up to its first records and ended with the run's title.
#include <array>
#include <string_view>

namespace kestrelfold {

inline constexpr std::string_view kPlotDataFile = "Kestrelfold_T.dat";

struct PlotScript {
    std::string_view file;
    int kept_records;  // the user's lines before the title command
};
inline constexpr PlotScript kTPlotScript{"Kestrelfold_T.gnu", 8};
inline constexpr PlotScript kEPlotScript{"Kestrelfold_E.gnu", 6};

// What each plot file is to the user, for a message that names it.
struct PlotFile {
    std::string_view file;
    std::string_view what;
};
inline constexpr std::array<PlotFile, 3> kPlotFiles{{
    {kPlotDataFile, "the plot data file"},
    {kTPlotScript.file, "a plot script"},
    {kEPlotScript.file, "a plot script"},
}};

}  // namespace kestrelfold
