#include "driver/file_size_signal.h"

namespace kestrelfold {

// Windows has no such signal: a write past a quota or a full disk is refused.
void ignore_file_size_signal() {}

}  // namespace kestrelfold
