#pragma once
#include "driver/run.h"

namespace kestrelfold {

// One whole run, in its fixed order: floating-point mode, input and set-up,
// listing header, solution, results, and the listing shown in the editor.
// Every failure is a FatalError (or std::bad_alloc) for the caller to report;
// units still open are left for the caller to close.
template <typename Real>
void programa(RunOf<Real>& run);

}  // namespace kestrelfold
