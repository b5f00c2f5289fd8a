#include "output/extrapolation_file.h"

#include "driver/external_command.h"
#include "driver/run_command.h"
#include "output/formatted_write.h"
#include "output/printed_title.h"

namespace kestrelfold {

std::string extrapolation_file_name(std::string_view caso) {
    return std::string(trimmed_caso(caso)) + ".Vantreuse";
}

// Every value takes 40 columns with 33 significant digits, so the labels
// start in column 45 and their units in column 63 in all four records.
template <typename Real>
void write_extrapolation_file(RunOf<Real>& run, Real T_meio) {
    static const Layout layout = Layout::parse(
        R"~(2X, 1P, E40.32, 2X, "h                 (m)", /, )~"
        R"~(" 1", 1P, E40.32, 2X, "T(1/2)            (adim.)", /, )~"
        R"~(" 2", 1P, E40.32, 2X, "média de T        (adim.)", /, )~"
        R"~(" 3", 1P, E40.32, 2X, "inclinação em x=1 (adim.)")~");

    const std::string name = extrapolation_file_name(run.caso);
    Unit& file = run.units.open(kExtrapolationUnit, name);
    // The editor opens the file while the unit is still open: it finds the
    // four records there, as every unit writes out its records before a command.
    write_formatted(file, layout, {run.h, T_meio, run.T_media, run.inclinacao});

    run.comando = notepad_command(name);
    run_external_command(run, run.comando);
}

template void write_extrapolation_file(Run&, double);
template void write_extrapolation_file(QuadRun&, Quad);

}  // namespace kestrelfold
