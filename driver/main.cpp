// Kestrelfold: one run of the one-dimensional Poisson solver, configured only
// through its input file Kestrelfold.in; it reads no environment, and takes
// no arguments beyond --help and --version.
#include <exception>
#include <new>
#include <string_view>

#include "driver/command_line.h"
#include "driver/interruption.h"
#include "driver/programa.h"
#include "driver/run.h"
#include "output/console.h"
#include "output/fatal_error.h"

namespace {

// The run and the final close of every unit (where a refused write may still
// show up). Returns the exit status; every failure is reported once, and the
// units are then closed quietly so that the records completed stay in their
// files and the first message stays the one shown. An interruption is told
// by the caller, after the units are closed.
int run_to_end(kestrelfold::Run& run) {
    try {
        kestrelfold::programa(run);
        run.units.close_all();
        return 0;
    } catch (const kestrelfold::Interrupted&) {
    } catch (const kestrelfold::FatalError& error) {
        kestrelfold::tell_user(error.what());
    } catch (const std::bad_alloc&) {
        kestrelfold::tell_user(kestrelfold::kInsufficientMemory);
    } catch (const std::exception& error) {
        kestrelfold::tell_user(error.what());
    } catch (...) {
        kestrelfold::tell_user("unexpected failure");
    }
    run.units.close_all_quietly();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = kestrelfold::handle_command_line("kestrelfold", argc, argv)) return *status;
    kestrelfold::catch_interruptions();
    kestrelfold::Run run;
    const int status = run_to_end(run);
    kestrelfold::end_by_noted_signal();
    return status;
}
