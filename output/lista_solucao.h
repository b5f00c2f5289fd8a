#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The table of exact and numerical solutions of the listed nodes, on the listing.
template <typename Real>
void lista_solucao(RunOf<Real>& run);

}  // namespace kestrelfold
