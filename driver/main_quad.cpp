// kestrelfold-quad: the same run as kestrelfold, every value it computes in
// IEEE binary128, so that its round-off is some 10^18 times smaller and its
// results show the discrete solution itself.
#include "driver/program_main.h"
#include "numerics/binary128.h"

int main() { return kestrelfold::program_main<kestrelfold::Quad>("kestrelfold-quad"); }
