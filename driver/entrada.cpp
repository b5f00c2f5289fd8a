#include "driver/entrada.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/available_memory.h"
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
                        const TextUse& use, std::vector<std::string>& warnings) {
    if (!value) return;
    variable = std::move(value->text);
    if (value->length <= variable.size()) return;
    warnings.push_back(std::string(name.name) + " on line " + std::to_string(value->line) + " has " +
                       std::to_string(value->length) + " characters, more than " + std::to_string(variable.size()) +
                       ": " + std::string(use.kept_as) + " " + quoted_input(use.shown(variable)));
}

// The eight values; returns the warnings about texts that were cut.
std::vector<std::string> read_values(RunCommon& run) {
    std::vector<std::string> warnings;
    Unit& input = run.units.open(kInputUnit, kInputFile);
    assign_unless_null(run.caso, read_text(input, kCasoLength, kCasoValue), kCasoValue, kListingName, warnings);
    assign_unless_null(run.fonte, read_integer(input, kFonteValue));
    assign_unless_null(run.N, read_integer(input, kNValue));
    assign_unless_null(run.graf, read_integer(input, kGrafValue));
    assign_unless_null(run.coef, read_integer(input, kCoefValue));
    assign_unless_null(run.sol, read_integer(input, kSolValue));
    assign_unless_null(run.freq, read_integer(input, kFreqValue));
    assign_unless_null(run.titulo, read_text(input, kTituloLength, kTituloValue), kTituloValue, kTitle, warnings);
    run.units.close(kInputUnit);
    return warnings;
}

[[noreturn]] void refuse(std::string_view name, std::int32_t value, std::string_view why) {
    throw FatalError(std::string(name) + " = " + std::to_string(value) + ": " + std::string(why));
}

// Values outside the data model would make later steps read or write outside
// the fields, divide by zero or pick no source term: they end the run here,
// before anything is allocated or written.
void check_values(const RunCommon& run) {
    if (run.N < 2) refuse("N", run.N, "the mesh needs at least 2 elements");
    if (run.freq < 1) refuse("freq", run.freq, "the print frequency must be at least 1");
    if (run.fonte < 0 || run.fonte > 4) refuse("fonte", run.fonte, "the source term must be one of 0 to 4");
    // A blank listing name leaves no file name to open the listing under.
    if (trimmed_caso(run.caso).empty()) throw FatalError("caso is blank: the listing needs a file name");
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
    const std::vector<std::string> warnings = read_values(run);
    check_values(run);
    // Told once the values are known to be good, as the run then goes on with them.
    for (const std::string& warning : warnings) tell_user(warning);
    allocate_memory(run);
    build_mesh(run);
}

template void entrada(Run&);
template void entrada(QuadRun&);

}  // namespace kestrelfold
