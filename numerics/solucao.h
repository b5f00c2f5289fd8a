#pragma once
#include "driver/run.h"

namespace kestrelfold {

// The timed solution run: exact solution, equations, solver, quantities of interest.
void solucao(Run& run);

}  // namespace kestrelfold
