#pragma once
// The data file for the extrapolation program: h and the three numerical
// quantities of interest, named after the listing with ".Vantreuse" added,
// shown in the editor once written.
#include <string>
#include <string_view>

#include "driver/run.h"

namespace kestrelfold {

inline constexpr int kExtrapolationUnit = 77;

// "saida.txt.Vantreuse" for the listing name "  saida.txt"; ".Vantreuse" for a blank one.
std::string extrapolation_file_name(std::string_view caso);

// Writes the four records on unit 77 and starts the editor on the file. The
// unit stays open until the run ends; its records are on disk before the
// editor starts.
template <typename Real>
void write_extrapolation_file(RunOf<Real>& run, Real T_meio);

}  // namespace kestrelfold
