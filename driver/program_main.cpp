#include "driver/program_main.h"

#include <exception>
#include <new>

#include "driver/interruption.h"
#include "driver/programa.h"
#include "driver/run.h"
#include "output/console.h"
#include "output/fatal_error.h"

namespace kestrelfold {

namespace {

// The run and the final close of every unit (where a refused write may still
// show up). Returns the exit status; every failure is reported once, and the
// units are then closed quietly so that the records completed stay in their
// files and the first message stays the one shown. An interruption is told
// by the caller, after the units are closed.
template <typename Real>
int run_to_end(RunOf<Real>& run) {
    try {
        programa(run);
        run.units.close_all();
        return 0;
    } catch (const Interrupted&) {
    } catch (const FatalError& error) {
        tell_user(error.what());
    } catch (const std::bad_alloc&) {
        tell_user(kInsufficientMemory);
    } catch (const std::exception& error) {
        tell_user(error.what());
    } catch (...) {
        tell_user("unexpected failure");
    }
    run.units.close_all_quietly();
    return 1;
}

}  // namespace

template <typename Real>
int program_main(std::string_view name) {
    set_program_name(name);
    catch_interruptions();
    RunOf<Real> run;
    const int status = run_to_end(run);
    end_by_noted_signal();
    return status;
}

template int program_main<double>(std::string_view);
template int program_main<Quad>(std::string_view);

}  // namespace kestrelfold
