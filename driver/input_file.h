#pragma once
// The input file of a run, read from the current directory. The program
// reads it; the mesh-study tool writes one into each mesh folder.
#include <string_view>

namespace kestrelfold {

inline constexpr std::string_view kInputFile = "Kestrelfold.in";

}  // namespace kestrelfold
