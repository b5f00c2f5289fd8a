#include "driver/programa.h"

#include <string>

#include "output/printed_title.h"
#include "driver/entrada.h"
#include "driver/file_size_signal.h"
#include "driver/floating_point_mode.h"
#include "driver/external_command.h"
#include "driver/run_command.h"
#include "numerics/solucao.h"
#include "output/lista_dados.h"
#include "output/saida.h"

namespace kestrelfold {
namespace {

constexpr int kListingUnit = 10;

}  // namespace

template <typename Real>
void programa(RunOf<Real>& run) {
    set_floating_point_mode();
    ignore_file_size_signal();
    entrada(run);
    // The input file is closed by now, so a listing named like it replaces it.
    run.units.open(kListingUnit, run.caso);
    lista_dados(run);
    solucao(run);
    saida(run);
    // Closed before the editor starts, so that the editor sees all of it.
    run.units.close(kListingUnit);
    run.comando = notepad_command(trimmed_caso(run.caso));
    run_external_command(run, run.comando);
}

template void programa(Run&);
template void programa(QuadRun&);

}  // namespace kestrelfold
