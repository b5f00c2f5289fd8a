#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The quantities of interest with their errors and the processing time, on
// the listing; then the extrapolation data file, shown in the editor.
void variaveis_interesse(Run& run);

}  // namespace kestrelfold
