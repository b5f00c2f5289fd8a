#include "driver/interruption.h"

namespace kestrelfold {

Interrupted::Interrupted(int signal) : FatalError(interruption_message(signal)), signal_(signal) {}

void throw_interrupted() { throw Interrupted(interrupting_signal()); }

}  // namespace kestrelfold
