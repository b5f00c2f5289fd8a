#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The result sections of the listing, the plots and the extrapolation data file.
void saida(Run& run);

}  // namespace kestrelfold
