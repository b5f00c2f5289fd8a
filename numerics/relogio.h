#pragma once
// The elapsed-time clock of the solution run.

namespace kestrelfold {

// Seconds of real (wall-clock) time: 0 at the first call in the process,
// which starts the clock; at every later call, the seconds since that first
// call. It reads a monotonic clock, so a change of the system time during
// the run cannot make the measured time wrong or negative.
double relogio();

}  // namespace kestrelfold
