#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The editor on the input file, the eight reads, the checks, the fields and the mesh.
void entrada(Run& run);

}  // namespace kestrelfold
