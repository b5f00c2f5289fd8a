// Kestrelfold: one run of the one-dimensional Poisson solver, configured only
// through its input file Kestrelfold.in; it reads no arguments and no
// environment.
#include "driver/program_main.h"

int main() { return kestrelfold::program_main<double>("kestrelfold"); }
