#include "driver/run_command.h"

namespace kestrelfold {

std::string notepad_command(std::string_view file) { return "notepad " + command_argument(file); }

}  // namespace kestrelfold
