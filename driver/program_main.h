#pragma once
// The whole process of a program: kestrelfold (double) or kestrelfold-quad
// (binary128), the same run in the number type Real.
#include <string_view>

namespace kestrelfold {

// Catches the interrupting signals, runs the run and closes every unit;
// every failure is told once, on a console line that starts with `name`.
// Returns the exit status: 0 when the run completed, 1 when it was stopped.
// A run interrupted by a signal ends the process by that signal instead.
template <typename Real>
int program_main(std::string_view name);

}  // namespace kestrelfold
