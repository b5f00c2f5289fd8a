#include "output/solution_row.h"

#include "numerics/mesh.h"
#include "numerics/solucao_analitica.h"
#include "output/formatted_write.h"

namespace kestrelfold {

void write_solution_row(Unit& unit, const Run& run, std::int32_t i) {
    static const Layout row = Layout::parse("I8, 4(1P, E23.14)");
    const double Te = Te_no(run.fonte, run.N, i);
    const double T = run.T[i];
    // The error exists only for the row that prints it.
    const double erro = Te - T;
    write_formatted(unit, row, {i, x_no(run.N, run.h, i), Te, T, erro});
}

}  // namespace kestrelfold
