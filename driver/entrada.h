#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The editor on the input file, the eight reads, the checks, the field T
// with the solver's work memory, and the mesh, in the run's number type.
template <typename Real>
void entrada(RunOf<Real>& run);

}  // namespace kestrelfold
