#pragma once
// The part of the text report that the runs of kestrelfold-quad make
// possible: each quantity's error split into discretisation and round-off,
// mesh by mesh, the law each component follows, where the laws cross, and
// what that says of the optimal mesh and of the round-off marks drawn from
// the double results alone.
#include <string>

#include "study/study_table.h"

namespace kestrelfold::study {

// Empty when the quantity has no split (fewer than two meshes with a quad run).
std::string split_text(const QuantityStudy& study);

}  // namespace kestrelfold::study
