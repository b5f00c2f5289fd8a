#pragma once
// The study's plots as a gnuplot script (UTF-8), its data inline, so that a
// user can restyle it and draw again with `gnuplot estudo.gnu` in the
// study's folder: erro, |E| against h on log-log axes for the three
// quantities with a reference line of order 2, marked meshes drawn apart
// (open symbols, no line); ordem, p_E and p_U against h (log x) with a line
// at the formal order, the orders beyond its range drawn at its edge and
// counted; with the runs of kestrelfold-quad, arredondamento, the
// discretisation and round-off components of each quantity's error against
// h with the laws fitted to them. Each plot is drawn in every kind of
// picture one line of the script lists: erro.png and erro.pdf (pngcairo,
// pdfcairo), ...
#include <string>

#include "study/study_table.h"

namespace kestrelfold::study {

std::string study_gnuplot_script(const StudyTable& table);

// Whether the script draws arredondamento.png: some quantity has a split.
bool has_roundoff_plot(const StudyTable& table);

}  // namespace kestrelfold::study
