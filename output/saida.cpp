#include "output/saida.h"

#include "output/graficos.h"
#include "output/lista_coeficientes.h"
#include "output/lista_solucao.h"
#include "output/variaveis_interesse.h"

namespace kestrelfold {

// A section runs only when its switch is exactly 1; any other value leaves it
// out without a trace.
template <typename Real>
void saida(RunOf<Real>& run) {
    if (run.coef == 1) lista_coeficientes(run);
    if (run.sol == 1) lista_solucao(run);
    if (run.graf == 1) graficos(run);
    variaveis_interesse(run);
}

template void saida(Run&);
template void saida(QuadRun&);

}  // namespace kestrelfold
