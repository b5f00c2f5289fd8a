#include "numerics/solucao.h"

#include <string>

#include "numerics/calcula_variaveis.h"
#include "numerics/fontes.h"
#include "numerics/relogio.h"
#include "numerics/solucao_analitica.h"
#include "numerics/tdma.h"
#include "output/fatal_error.h"

namespace kestrelfold {

namespace {

// The input step turns these values away before any field exists; this
// guard keeps the run defined should they ever get here: the slope needs
// the nodes N - 2..N, and only fonte 0..4 has a source term and an exact
// solution. Nothing has been computed or timed when it fails.
void require_solvable(const RunCommon& run) {
    if (run.N < 2) {
        throw FatalError("N = " + std::to_string(run.N) +
                         ": the solution needs at least 2 elements");
    }
    if (!fonte_valida(run.fonte)) {
        throw FatalError("fonte = " + std::to_string(run.fonte) +
                         ": the source term must be 0 to 4");
    }
}

}  // namespace

template <typename Real>
void solucao(RunOf<Real>& run) {
    require_solvable(run);
    // At the program's one call the clock starts here and inicio is 0, so
    // tcpu is relogio() itself; subtracting keeps tcpu the time of this
    // call when solucao runs more than once in a process.
    const double inicio = relogio();
    run.tcpu = inicio;

    // The exact quantities are constants; the exact solution itself is
    // formed where it is shown, outside the timed run. The equations are
    // formed as the solver reaches each node.
    const ValoresExatos<Real> exatos = valores_exatos<Real>(run.fonte);
    run.T_media_a = exatos.T_media_a;
    run.inclinacao_a = exatos.inclinacao_a;
    tdma(run.fonte, run.N, run.h, run.T.span());

    const VariaveisNumericasDe<Real> numericas = calcula_variaveis(run.N, run.h, run.T.span());
    run.inclinacao = numericas.inclinacao;
    run.T_media = numericas.T_media;

    run.tcpu = relogio() - inicio;
}

template void solucao(Run&);
template void solucao(QuadRun&);

}  // namespace kestrelfold
