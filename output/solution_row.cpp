#include "output/solution_row.h"

#include "output/formatted_write.h"

namespace kestrelfold {

void write_solution_row(Unit& unit, const Run& run, std::int32_t i) {
    static const Layout row = Layout::parse("I8, 4(1P, E23.14)");
    // The error exists only for the row that prints it.
    const double erro = run.Te[i] - run.T[i];
    write_formatted(unit, row, {i, run.x[i], run.Te[i], run.T[i], erro});
}

}  // namespace kestrelfold
