#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The title record and the block of input data that open the listing.
template <typename Real>
void lista_dados(RunOf<Real>& run);

}  // namespace kestrelfold
