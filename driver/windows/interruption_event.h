#pragma once
// The event that an interruption sets, so that a wait on a started program
// ends at once on Ctrl-C or Ctrl-Break.
#include <windows.h>

namespace kestrelfold {

// Manual-reset: set from the first interruption noted until the note is
// forgotten (catch_interruptions, release_interruptions).
HANDLE interruption_event();

}  // namespace kestrelfold
