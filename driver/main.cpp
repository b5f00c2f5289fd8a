// Kestrelfold: one run of the one-dimensional Poisson solver, configured only
// through its input file Kestrelfold.in; it reads no environment, and takes
// no arguments beyond --help and --version.
#include "driver/program_main.h"

int main(int argc, char** argv) { return kestrelfold::program_main<double>("kestrelfold", argc, argv); }
