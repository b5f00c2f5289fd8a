#include "output/lista_coeficientes.h"

#include "output/formatted_write.h"
#include "output/listed_nodes.h"

namespace kestrelfold {

// Each head stands over the first digit of the column below it.
void lista_coeficientes(Run& run) {
    static const Layout heading = Layout::parse(
        R"~(/, 1X, "*** COEFICIENTES E TERMOS FONTES DE T ***", /, /, )~"
        R"~(T7, "nó", T12, "x", T35, "oeste", T58, "central", T81, "leste", T104, "fonte", /)~");
    static const Layout row = Layout::parse("I8, 5(1P, E23.14)");

    Unit& listing = run.units.get(10);
    write_formatted(listing, heading);
    for_each_listed_node(run.N, run.freq, [&](std::int32_t i) {
        write_formatted(listing, row, {i, run.x[i], run.aw[i], run.aP[i], run.ae[i], run.bP[i]});
    });
}

}  // namespace kestrelfold
