#include "output/lista_coeficientes.h"

#include "numerics/coeficientes.h"
#include "numerics/mesh.h"
#include "output/formatted_write.h"
#include "output/listed_nodes.h"

namespace kestrelfold {

// Each head stands over the first digit of the column below it. Each row's
// equation is formed again here, by the formulas the solver used.
template <typename Real>
void lista_coeficientes(RunOf<Real>& run) {
    static const Layout heading = Layout::parse(
        R"~(/, 1X, "*** COEFICIENTES E TERMOS FONTES DE T ***", /, /, )~"
        R"~(T7, "nó", T12, "x", T35, "oeste", T58, "central", T81, "leste", T104, "fonte", /)~");
    static const Layout row = Layout::parse("I8, 5(1P, E23.14)");

    Unit& listing = run.units.get(10);
    write_formatted(listing, heading);
    for_each_listed_node(run.N, run.freq, [&](std::int32_t i) {
        const LinhaDe<Real> linha = linha_no(run.fonte, run.N, run.h, i);
        write_formatted(listing, row, {i, x_no(run.N, run.h, i), linha.aw, linha.aP, linha.ae, linha.bP});
    });
}

template void lista_coeficientes(Run&);
template void lista_coeficientes(QuadRun&);

}  // namespace kestrelfold
