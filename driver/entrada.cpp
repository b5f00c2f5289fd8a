#include "driver/entrada.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "driver/available_memory.h"
#include "driver/examples_folder.h"
#include "driver/utf8_text.h"
#include "output/plot_files.h"
#include "output/printed_title.h"
#include "driver/input_file.h"
#include "driver/input_reader.h"
#include "driver/external_command.h"
#include "numerics/field_memory.h"
#include "numerics/mesh.h"
#include "numerics/nodes.h"
#include "numerics/run_memory.h"
#include "numerics/solver_memory_plan.h"
#include "output/console.h"
#include "output/fatal_error.h"

namespace kestrelfold {
namespace {

// What the reads leave besides the values: lines for the user, told once
// the values are known to be good, and where a null listing name came from.
struct ReadNotes {
    std::vector<std::string> warnings;    // texts cut to their variable's length
    std::vector<std::string> utf8_texts;  // "titulo on line 8": texts saved as UTF-8
    char caso_null_mark = 0;              // ',' or '/' when caso was a null value
    std::int64_t caso_line = 0;
};

// A null value leaves the variable as it was.
void assign_unless_null(std::int32_t& variable, std::optional<std::int32_t> value) {
    if (value) variable = *value;
}

// How the rest of the run uses a text: "the listing is named" and its trimmed name.
struct TextUse {
    std::string_view kept_as;
    std::string_view (*shown)(std::string_view);
};
constexpr TextUse kListingName{"the listing is named", trimmed_caso};
constexpr TextUse kTitle{"the title is", printed_title};

// A text longer than its variable keeps its first characters. The warning
// names what is kept as the run uses it, since a listing name cut short
// loses its extension without a trace.
void assign_unless_null(std::string& variable, std::optional<TextValue> value, const InputValue& name,
                        const TextUse& use, ReadNotes& notes) {
    if (!value) return;
    variable = std::move(value->text);
    const std::string where = std::string(name.name) + " on line " + std::to_string(value->line);
    if (reads_as_utf8(variable)) notes.utf8_texts.push_back(where);
    if (value->length <= variable.size()) return;
    notes.warnings.push_back(where + " has " + std::to_string(value->length) + " characters, more than " +
                             std::to_string(variable.size()) + ": " + std::string(use.kept_as) + " " +
                             quoted_input(use.shown(variable)));
}

// The listing name, the first value. A file without any line (a missing
// input file is created empty) is most likely a folder that the example
// was never copied into: the message says where the examples are.
TextRead read_caso(Unit& input) {
    try {
        return read_text_or_null(input, kCasoLength, kCasoValue);
    } catch (const FatalError& error) {
        std::error_code unknown;
        if (input.records_read() != 0 || std::filesystem::file_size(kInputFile, unknown) != 0 || unknown) throw;
        throw FatalError(std::string(error.what()) + "; " + where_the_examples_are());
    }
}

// The eight values, and what the reads noted about them.
ReadNotes read_values(RunCommon& run) {
    ReadNotes notes;
    Unit& input = run.units.open(kInputUnit, kInputFile);
    TextRead caso = read_caso(input);
    notes.caso_null_mark = caso.null_mark;
    notes.caso_line = caso.line;
    assign_unless_null(run.caso, std::move(caso.value), kCasoValue, kListingName, notes);
    assign_unless_null(run.fonte, read_integer(input, kFonteValue));
    assign_unless_null(run.N, read_integer(input, kNValue));
    assign_unless_null(run.graf, read_integer(input, kGrafValue));
    assign_unless_null(run.coef, read_integer(input, kCoefValue));
    assign_unless_null(run.sol, read_integer(input, kSolValue));
    assign_unless_null(run.freq, read_integer(input, kFreqValue));
    assign_unless_null(run.titulo, read_text(input, kTituloLength, kTituloValue), kTituloValue, kTitle, notes);
    run.units.close(kInputUnit);
    return notes;
}

[[noreturn]] void refuse(std::string_view name, std::int32_t value, std::string_view why) {
    throw FatalError(std::string(name) + " = " + std::to_string(value) + ": " + std::string(why));
}

// A blank listing name leaves no file name to open the listing under. An
// unquoted absolute path gives one too: its first slash is a null value.
void check_listing_named(const RunCommon& run, const ReadNotes& notes) {
    if (!trimmed_caso(run.caso).empty()) return;
    std::string message = "caso is blank: the listing needs a file name";
    if (notes.caso_null_mark == '/') {
        message += "; line " + std::to_string(notes.caso_line) +
                   " begins with a slash, which ends an unquoted value: put a name with a slash in quotes";
    }
    throw FatalError(message);
}

// A listing named like a plot file would be written over it: the user's
// script lost, or the listing cut short by the plot data. Refused whatever
// graf says, before anything is written (a listing named like the input
// file is allowed: the input is closed by then).
void check_listing_clashes(const RunCommon& run) {
    const std::filesystem::path listing = std::filesystem::path(trimmed_caso(run.caso)).lexically_normal();
    for (const PlotFile& plot_file : kPlotFiles) {
        if (listing != std::filesystem::path(plot_file.file)) continue;
        throw FatalError("caso " + quoted_input(trimmed_caso(run.caso)) + " is the name of " +
                         std::string(plot_file.what) + ": the listing would replace it; give the listing another name");
    }
}

// Values outside the data model would make later steps read or write outside
// the fields, divide by zero or pick no source term: they end the run here,
// before anything is allocated or written.
void check_values(const RunCommon& run, const ReadNotes& notes) {
    if (run.N < 2) refuse("N", run.N, "the mesh needs at least 2 elements");
    if (run.freq < 1) refuse("freq", run.freq, "the print frequency must be at least 1");
    if (run.fonte < 0 || run.fonte > 4) refuse("fonte", run.fonte, "the source term must be one of 0 to 4");
    check_listing_named(run, notes);
    check_listing_clashes(run);
}

// One line for the texts saved as UTF-8: the run goes on and copies their
// bytes as they are, so the user learns why the listing shows each accented
// letter as two characters, and the command that mends the input file.
std::string utf8_warning(const std::vector<std::string>& texts) {
    std::string which = texts.front();
    for (std::size_t i = 1; i < texts.size(); ++i) which += " and " + texts[i];
    const std::string file(kInputFile);
    return file + " holds UTF-8 text (" + which + "), but the files of a run are ISO 8859-1, where its " +
           "accented letters show as two characters each; convert the input with: iconv -f UTF-8 -t ISO-8859-1 " +
           file + " > " + file + ".latin1 && mv " + file + ".latin1 " + file;
}

// T, and the solver's work memory backed in advance: the solver obtains it
// inside the timed run, and a mesh it does not fit in ends the run here,
// before any file is written.
template <typename Real>
void allocate_memory(RunOf<Real>& run) {
    require_memory(run_memory_bytes<Real>(run.N));
    const std::size_t nodes = node_count(run.N);
    run.T = FieldOf<Real>(nodes);
    if (!reserve_field_memory(solver_work_doubles<Real>(nodes), 1)) {
        throw FatalError(std::string(kInsufficientMemory));
    }
}

// The mesh is h: every node's x is formed from it where it is needed (mesh.h).
template <typename Real>
void build_mesh(RunOf<Real>& run) { run.h = element_length<Real>(run.N); }

}  // namespace

template <typename Real>
void entrada(RunOf<Real>& run) {
    run_external_command(run, "notepad Kestrelfold.in");
    const ReadNotes notes = read_values(run);
    check_values(run, notes);
    // Told once the values are known to be good, as the run then goes on with them.
    for (const std::string& warning : notes.warnings) tell_user(warning);
    if (!notes.utf8_texts.empty()) tell_user(utf8_warning(notes.utf8_texts));
    allocate_memory(run);
    build_mesh(run);
}

template void entrada(Run&);
template void entrada(QuadRun&);

}  // namespace kestrelfold
