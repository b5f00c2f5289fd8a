#pragma once
// An interruption ends a run the way a fatal failure does: every open unit
// writes out the records completed so far and is closed, one line says that
// the run was interrupted and by what, and the process ends with the status
// that tells its caller so. On Linux the interruptions are SIGINT, SIGTERM
// and SIGHUP, and the process ends by that same signal (its default action
// restored and the signal raised again), so that a shell, or a shell loop
// running the program, sees it killed by the signal (status 128 + its
// number) and stops as it should. On Windows they are Ctrl-C and
// Ctrl-Break at the console, and the process ends with the status the
// system gives a program that Ctrl-C ended (STATUS_CONTROL_C_EXIT).
//
// The handler only notes the interruption: nothing else is safe inside it. The
// run looks at the note where it can stop with every record whole: before
// each record a unit writes, while it waits for an external command, and
// once per block of nodes in the loops over the mesh, so that it stops
// within a fraction of a millisecond in every phase.
#include <atomic>
#include <cstddef>
#include <string>

#include "output/fatal_error.h"

namespace kestrelfold {

// Thrown where the run notices the note; its message is the console line.
// `signal` is the signal's number on Linux, SIGINT or SIGBREAK on Windows.
class Interrupted : public FatalError {
public:
    explicit Interrupted(int signal);
    int signal() const { return signal_; }

private:
    int signal_;
};

// Nodes between two looks at the note in a loop over the mesh: a block of
// the slowest loop takes well under a millisecond, and a look (one load
// and a branch) per block costs nothing measurable.
inline constexpr std::size_t kNodesBetweenLooks = std::size_t{1} << 16;

namespace interruption_detail {
inline std::atomic<int> noted_signal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch a lock-free atomic");
}  // namespace interruption_detail

// Catches the interruptions, and forgets any earlier note. On Linux, those of
// the three signals that the process was not started with ignored (a run
// under nohup keeps ignoring SIGHUP); the programs the run starts get the
// default actions back.
void catch_interruptions();
// Puts back what the interruptions did before, and forgets the note.
void release_interruptions();

// The first signal noted since catch_interruptions; 0 when none came.
inline int interrupting_signal() noexcept {
    return interruption_detail::noted_signal.load(std::memory_order_relaxed);
}

[[noreturn]] void throw_interrupted();

// Interrupted when a signal has been noted.
inline void stop_if_interrupted() {
    if (interrupting_signal() != 0) [[unlikely]] throw_interrupted();
}

// "interrupted by SIGINT" ("interrupted by Ctrl-C" on Windows)
std::string interruption_message(int signal);

// At the very end of the process, once every unit is closed: when an
// interruption was noted at any point, one line says so and the process
// ends as interrupted. Interruptions that come after this call change
// nothing.
void end_by_noted_signal();

}  // namespace kestrelfold
