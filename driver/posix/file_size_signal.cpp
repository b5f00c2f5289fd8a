#include "driver/file_size_signal.h"

#include <csignal>

namespace kestrelfold {

void ignore_file_size_signal() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace kestrelfold
