#include "output/graficos.h"

#include "driver/external_command.h"
#include "output/formatted_write.h"
#include "output/list_directed.h"
#include "output/listed_nodes.h"
#include "output/printed_title.h"
#include "output/solution_row.h"

namespace kestrelfold {

namespace {

// Kestrelfold_T.dat: two comment records for gnuplot, then the rows of the
// listed nodes exactly as the listing's table of solutions has them.
template <typename Real>
void write_plot_data(RunOf<Real>& run) {
    static const Layout heading = Layout::parse(
        R"~("# *** SOLUÇÕES DE T ***", /, )~"
        R"~("#", T7, "nó", T12, "x", T35, "analítico", T58, "numérico", T81, "erro")~");

    Unit& data = run.units.open(kPlotUnit, "Kestrelfold_T.dat");
    write_formatted(data, heading);
    for_each_listed_node(run.N, run.freq,
                         [&](std::int32_t i) { write_solution_row(data, run, i); });
    run.units.close(kPlotUnit);
}

// The user's script keeps its first records; the title command and "replot"
// replace whatever followed them. A script shorter than that ends the run at
// the read that meets its end.
void update_plot_script(RunCommon& run, std::string_view script, int kept_records,
                        std::string_view title) {
    static const Layout title_command = Layout::parse(R"~(" set title '", A*, "'")~");

    Unit& unit = run.units.open(kPlotUnit, script);
    for (int record = 0; record < kept_records; ++record) unit.skip_record();
    const std::string quoted = gnuplot_quoted(title);
    write_formatted(unit, title_command,
                    {SizedText{quoted, static_cast<std::int32_t>(quoted.size())}});
    write_list_directed(unit, {"replot"});
    run.units.close(kPlotUnit);
}

void plot(RunCommon& run, std::string_view script, int kept_records, std::string_view title) {
    update_plot_script(run, script, kept_records, title);
    run_external_command(run, "wgnuplot " + std::string(script));
}

}  // namespace

std::string gnuplot_quoted(std::string_view title) {
    std::string quoted;
    quoted.reserve(title.size());
    for (char c : title) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted;
}

template <typename Real>
void graficos(RunOf<Real>& run) {
    write_plot_data(run);
    const std::string_view title = printed_title(run.titulo);
    plot(run, "Kestrelfold_T.gnu", 8, title);
    plot(run, "Kestrelfold_E.gnu", 6, title);
}

template void graficos(Run&);
template void graficos(QuadRun&);

}  // namespace kestrelfold
