#pragma once
// The external commands of a run's steps (the editor and the plotting
// program): every open unit writes out its completed records first, so that
// what the started program, or the user while its window is open, finds on
// disk is this run's, whole records only, should the run go no further.
#include <string_view>

#include "driver/run.h"

namespace kestrelfold {

// run_command on the text; its status goes to run.status_comando.
void run_external_command(RunCommon& run, std::string_view text);

}  // namespace kestrelfold
