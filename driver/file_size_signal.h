#pragma once
// Under a file-size limit (ulimit -f, a batch system's limit) a write past
// the limit kills the process with SIGXFSZ unless that signal is ignored.
// Killed, the run would leave no message and lose every record still
// buffered for its other files (the listing first of all). Ignored, the
// write is refused with EFBIG and ends the run as every refused write does:
// one "error during write" naming the unit and the file, the completed
// records kept.

namespace kestrelfold {

// For the whole process, before the first file is written. The programs
// that the run starts get the signal's default action back (run_command).
void ignore_file_size_signal();

}  // namespace kestrelfold
