#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The result sections of the listing, the plots and the extrapolation data file.
template <typename Real>
void saida(RunOf<Real>& run);

}  // namespace kestrelfold
