#pragma once
// The study's plots as a gnuplot script (UTF-8), its data inline, so that a
// user can restyle it and draw again with `gnuplot estudo.gnu` in the
// study's folder: erro.png, |E| against h on log-log axes for the three
// quantities with a reference line of slope 2, marked meshes drawn apart
// (open symbols, no line); ordem.png, p_E and p_U against h (log x) with a
// line at the formal order; with the runs of kestrelfold-quad,
// arredondamento.png, the discretisation and round-off components of each
// quantity's error against h with the laws fitted to them.
#include <string>

#include "study/study_table.h"

namespace kestrelfold::study {

std::string study_gnuplot_script(const StudyTable& table);

// Whether the script draws arredondamento.png: some quantity has a split.
bool has_roundoff_plot(const StudyTable& table);

}  // namespace kestrelfold::study
