#include "output/lista_dados.h"

#include "output/formatted_write.h"
#include "output/printed_title.h"

namespace kestrelfold {

// One write: the title record, then the input data, each value followed by
// its label so that the " = " of every data line stands in columns 28-30.
template <typename Real>
void lista_dados(RunOf<Real>& run) {
    static const Layout header = Layout::parse(
        R"~(/, 7X, "título = ", A*, /, /, 1X, "*** DADOS ***", /, /, 23X, "caso = ", A50, /, /, )~"
        R"~(I8, 1X, ".................. = fonte", /, )~"
        R"~(I8, 1X, ".................. = número de elementos da malha (N)", /, )~"
        R"~(I8, 1X, ".................. = freqüência de impressão dos campos", /, )~"
        R"~(1P, E27.14, " = comprimento de cada elemento da malha (h)")~");

    const std::string_view title = printed_title(run.titulo);
    write_formatted(run.units.get(10), header,
                    {SizedText{title, title_width(title)}, std::string_view(run.caso), run.fonte,
                     run.N, run.freq, run.h});
}

template void lista_dados(Run&);
template void lista_dados(QuadRun&);

}  // namespace kestrelfold
