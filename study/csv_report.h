#pragma once
// The study as CSV (UTF-8, LF line ends, a header first): one row per
// quantity and mesh, quantities in turn, meshes coarse to fine. Columns:
//   qoi,N,h,value,exact,error,p_E,p_U,R,extrapolated,U,effectivity,GCI,roundoff,
//   convergence,GCI_Fs,GCI_p,sign_change,tcpu,GCI_percent
// Numbers with 17 significant digits, so that every double reads back as
// itself; an empty cell where a value is not defined; roundoff 1 on a mesh
// marked for round-off, else 0; convergence monotone, oscillatory,
// divergent or "no change"; GCI_Fs and GCI_p the factor and order the GCI
// used; sign_change 1 where the error changed sign from the mesh before
// (p_E then compares magnitudes of errors on either side of zero); tcpu the
// run's processing time in seconds, from its listing; GCI_percent the GCI
// relative to |value|, in percent, empty where |value| < 1e-12.
#include <string>

#include "study/study_table.h"

namespace kestrelfold::study {

std::string study_csv(const StudyTable& table);

// The name of a convergence type in the CSV.
std::string_view csv_name(Convergence type);

}  // namespace kestrelfold::study
