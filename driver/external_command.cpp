#include "driver/external_command.h"

#include "driver/run_command.h"

namespace kestrelfold {

void run_external_command(RunCommon& run, std::string_view text) {
    run.units.flush_all();
    run.status_comando = run_command(text);
}

}  // namespace kestrelfold
