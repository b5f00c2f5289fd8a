#pragma once
// The study's plots as a gnuplot script (UTF-8), its data inline, so that a
// user can restyle it and draw again with `gnuplot estudo.gnu` in the
// study's folder: erro.png, |E| against h on log-log axes for the three
// quantities with a reference line of slope 2, marked meshes drawn apart
// (open symbols, no line); ordem.png, p_E and p_U against h (log x) with a
// line at the formal order.
#include <string>

#include "study/study_table.h"

namespace kestrelfold::study {

std::string study_gnuplot_script(const StudyTable& table);

}  // namespace kestrelfold::study
