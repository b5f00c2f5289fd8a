#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The title record and the block of input data that open the listing.
void lista_dados(Run& run);

}  // namespace kestrelfold
