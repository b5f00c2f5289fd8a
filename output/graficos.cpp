#include "output/graficos.h"

#include "driver/examples_folder.h"
#include "driver/external_command.h"
#include "output/fatal_error.h"
#include "output/formatted_write.h"
#include "output/list_directed.h"
#include "output/listed_nodes.h"
#include "output/plot_files.h"
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

    Unit& data = run.units.open(kPlotUnit, kPlotDataFile);
    write_formatted(data, heading);
    for_each_listed_node(run.N, run.freq,
                         [&](std::int32_t i) { write_solution_row(data, run, i); });
    run.units.close(kPlotUnit);
}

// The read that meets the end of a script before its kept records. The
// script is the user's own, missing (then created empty) or too short: the
// message says how many lines it needs and where the examples are.
[[noreturn]] void script_too_short(const Unit& unit, const PlotScript& script) {
    const std::int64_t lines = unit.records_read();
    const std::string holds = lines == 0   ? std::string("the file is empty")
                              : lines == 1 ? std::string("the file has 1 line")
                                           : "the file has " + std::to_string(lines) + " lines";
    throw FatalError(unit_message("end-of-file during read", unit.number(), unit.file()) + ": " + holds +
                     ", the script needs " + std::to_string(script.kept_records) +
                     " before the title; " + where_the_examples_are());
}

// The user's script keeps its first records; the title command and "replot"
// replace whatever followed them. A script shorter than that ends the run at
// the read that meets its end.
void update_plot_script(RunCommon& run, const PlotScript& script, std::string_view title) {
    static const Layout title_command = Layout::parse(R"~(" set title '", A*, "'")~");

    Unit& unit = run.units.open(kPlotUnit, script.file);
    std::string kept;
    for (int record = 0; record < script.kept_records; ++record) {
        if (!unit.read_record(kept)) script_too_short(unit, script);
    }
    const std::string quoted = gnuplot_quoted(title);
    write_formatted(unit, title_command,
                    {SizedText{quoted, static_cast<std::int32_t>(quoted.size())}});
    write_list_directed(unit, {"replot"});
    run.units.close(kPlotUnit);
}

void plot(RunCommon& run, const PlotScript& script, std::string_view title) {
    update_plot_script(run, script, title);
    run_external_command(run, "wgnuplot " + std::string(script.file));
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
    plot(run, kTPlotScript, title);
    plot(run, kEPlotScript, title);
}

template void graficos(Run&);
template void graficos(QuadRun&);

}  // namespace kestrelfold
