#pragma once
// The study as tables a person reads (UTF-8, labels in the listing's
// Portuguese): per quantity, the values, errors and orders of each mesh, the
// estimates, the repeated-extrapolation tableau, the optimal mesh and the
// verdict; then the meshes without a complete run.
#include <string>

#include "study/study_table.h"

namespace kestrelfold::study {

std::string study_text(const StudyTable& table);

}  // namespace kestrelfold::study
