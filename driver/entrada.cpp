#include "driver/entrada.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "driver/available_memory.h"
#include "output/printed_title.h"
#include "driver/input_file.h"
#include "driver/input_reader.h"
#include "driver/run_command.h"
#include "numerics/field_memory.h"
#include "numerics/mesh.h"
#include "numerics/nodes.h"
#include "numerics/run_memory.h"
#include "numerics/solver_memory_plan.h"
#include "output/fatal_error.h"

namespace kestrelfold {
namespace {

constexpr int kInputUnit = 7;

// A null value leaves the variable as it was.
template <typename T>
void assign_unless_null(T& variable, std::optional<T> value) {
    if (value) variable = std::move(*value);
}

void read_values(Run& run) {
    Unit& input = run.units.open(kInputUnit, kInputFile);
    assign_unless_null(run.caso, read_text(input, kCasoLength));
    assign_unless_null(run.fonte, read_integer(input));
    assign_unless_null(run.N, read_integer(input));
    assign_unless_null(run.graf, read_integer(input));
    assign_unless_null(run.coef, read_integer(input));
    assign_unless_null(run.sol, read_integer(input));
    assign_unless_null(run.freq, read_integer(input));
    assign_unless_null(run.titulo, read_text(input, kTituloLength));
    run.units.close(kInputUnit);
}

[[noreturn]] void refuse(std::string_view name, std::int32_t value, std::string_view why) {
    throw FatalError(std::string(name) + " = " + std::to_string(value) + ": " + std::string(why));
}

// Values outside the data model would make later steps read or write outside
// the fields, divide by zero or pick no source term: they end the run here,
// before anything is allocated or written.
void check_values(const Run& run) {
    if (run.N < 2) refuse("N", run.N, "the mesh needs at least 2 elements");
    if (run.freq < 1) refuse("freq", run.freq, "the print frequency must be at least 1");
    if (run.fonte < 0 || run.fonte > 4) refuse("fonte", run.fonte, "the source term must be one of 0 to 4");
    // A blank listing name leaves no file name to open the listing under.
    if (trimmed_caso(run.caso).empty()) throw FatalError("caso is blank: the listing needs a file name");
}

// T, and the solver's work memory backed in advance: the solver obtains it
// inside the timed run, and a mesh it does not fit in ends the run here,
// before any file is written.
void allocate_memory(Run& run) {
    require_memory(run_memory_bytes(run.N));
    const std::size_t nodes = node_count(run.N);
    run.T = Field(nodes);
    if (!reserve_field_memory(solver_work_values(nodes), 1)) throw FatalError(std::string(kInsufficientMemory));
}

// The mesh is h: every node's x is formed from it where it is needed (mesh.h).
void build_mesh(Run& run) { run.h = element_length(run.N); }

}  // namespace

void entrada(Run& run) {
    run.status_comando = run_command("notepad Kestrelfold.in");
    read_values(run);
    check_values(run);
    allocate_memory(run);
    build_mesh(run);
}

}  // namespace kestrelfold
