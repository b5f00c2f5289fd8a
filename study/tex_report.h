#pragma once
// The study as LaTeX tables, ready to \input into a document that loads
// booktabs: one table per quantity of interest, one row per mesh, with N,
// h, the value, its error, p_E, p_U and the GCI. ASCII only (accents as
// LaTeX commands), so that any input encoding of the document takes it.
#include <string>

#include "study/study_table.h"

namespace kestrelfold::study {

std::string study_tex(const StudyTable& table);

}  // namespace kestrelfold::study
