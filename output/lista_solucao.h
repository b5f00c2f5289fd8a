#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The table of exact and numerical solutions of the listed nodes, on the listing.
void lista_solucao(Run& run);

}  // namespace kestrelfold
