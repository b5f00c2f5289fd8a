#include "output/lista_solucao.h"

#include "output/formatted_write.h"
#include "output/listed_nodes.h"
#include "output/solution_row.h"

namespace kestrelfold {

template <typename Real>
void lista_solucao(RunOf<Real>& run) {
    static const Layout heading = Layout::parse(
        R"~(/, 1X, "*** SOLUÇÕES DE T ***", /, /, )~"
        R"~(T7, "nó", T12, "x", T35, "analítico", T58, "numérico", T81, "erro", /)~");

    Unit& listing = run.units.get(10);
    write_formatted(listing, heading);
    for_each_listed_node(run.N, run.freq,
                         [&](std::int32_t i) { write_solution_row(listing, run, i); });
}

template void lista_solucao(Run&);
template void lista_solucao(QuadRun&);

}  // namespace kestrelfold
