#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The timed solution run: the exact quantities, the equations and their
// solution T, the slope at x = 1 and the mean of T.
template <typename Real>
void solucao(RunOf<Real>& run);

}  // namespace kestrelfold
