#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The table of coefficients and source terms of the listed nodes, on the listing.
void lista_coeficientes(Run& run);

}  // namespace kestrelfold
