#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The table of coefficients and source terms of the listed nodes, on the listing.
template <typename Real>
void lista_coeficientes(RunOf<Real>& run);

}  // namespace kestrelfold
