#pragma once
// One row of the table of solutions: node, x, exact, numerical and the error
// (exact minus numerical). The listing's table and the plot data file share
// it byte for byte, so one function writes it for both. x and the exact
// solution are formed at the node as the row is written.
#include <cstdint>

#include "driver/run.h"
#include "output/units.h"

namespace kestrelfold {

template <typename Real>
void write_solution_row(Unit& unit, const RunOf<Real>& run, std::int32_t i);

}  // namespace kestrelfold
