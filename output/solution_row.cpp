#include "output/solution_row.h"

#include "numerics/mesh.h"
#include "numerics/solucao_analitica.h"
#include "output/formatted_write.h"

namespace kestrelfold {

template <typename Real>
void write_solution_row(Unit& unit, const RunOf<Real>& run, std::int32_t i) {
    static const Layout row = Layout::parse("I8, 4(1P, E23.14)");
    const Real Te = Te_no<Real>(run.fonte, run.N, i);
    const Real T = run.T[i];
    // The error exists only for the row that prints it.
    const Real erro = Te - T;
    write_formatted(unit, row, {i, x_no(run.N, run.h, i), Te, T, erro});
}

template void write_solution_row(Unit&, const Run&, std::int32_t);
template void write_solution_row(Unit&, const QuadRun&, std::int32_t);

}  // namespace kestrelfold
