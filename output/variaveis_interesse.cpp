#include "output/variaveis_interesse.h"

#include <string>

#include "numerics/mesh.h"
#include "numerics/solucao_analitica.h"
#include "output/extrapolation_file.h"
#include "output/formatted_write.h"
#include "output/printed_title.h"

namespace kestrelfold {

namespace {

// The four records of one quantity: exact value, then h and the numerical
// value with the run's title, then the error, the three values one under
// the other in columns 24-46.
Layout quantity_layout(std::string_view label) {
    std::string text = R"~(/, 23X, 1P, E23.14, " =     )~";
    text += label;
    text += R"~( (analítico)", /, 2(1P, E23.14), " = h e )~";
    text += label;
    text += R"~( (numérico) *** ", A*, /, 23X, 1P, E23.14, " =     erro = analítico - numérico")~";
    return Layout::parse(text);
}

template <typename Real>
void write_quantity(Unit& listing, const Layout& layout, Real exact, Real h, Real numerical,
                    std::string_view title) {
    const Real erro = exact - numerical;
    write_formatted(listing, layout,
                    {exact, h, numerical, SizedText{title, title_width(title)}, erro});
}

}  // namespace

template <typename Real>
void variaveis_interesse(RunOf<Real>& run) {
    static const Layout heading = Layout::parse(R"~(/, 1X, "*** VARIÁVEIS DE INTERESSE ***")~");
    static const Layout t_meio = quantity_layout("T(1/2)");
    static const Layout t_media = quantity_layout("T_média");
    // Written without cedilla and tilde here, unlike the extrapolation data file.
    static const Layout slope = quantity_layout("inclinacao(1)");
    static const Layout time = Layout::parse("/, F" + std::to_string(kTempoWidth) + ".3, \"" +
                                             std::string(kTempoLabel) + "\"");

    const std::string_view title = printed_title(run.titulo);
    const std::int32_t middle = no_meio(run.N);
    const Real T_meio = run.T[middle];
    const Real T_meio_a = Te_no<Real>(run.fonte, run.N, middle);

    Unit& listing = run.units.get(10);
    write_formatted(listing, heading);
    write_quantity(listing, t_meio, T_meio_a, run.h, T_meio, title);
    write_quantity(listing, t_media, run.T_media_a, run.h, run.T_media, title);
    write_quantity(listing, slope, run.inclinacao_a, run.h, run.inclinacao, title);
    write_formatted(listing, time, {run.tcpu});

    write_extrapolation_file(run, T_meio);
}

template void variaveis_interesse(Run&);
template void variaveis_interesse(QuadRun&);

}  // namespace kestrelfold
