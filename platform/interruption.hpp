// What the program does when it is asked to end (Ctrl+C, a logout, `timeout`, `kill`).
#pragma once

#include <signal.h>

namespace platform {

// From now on SIGINT, SIGTERM and SIGHUP end the program only once the temporary files
// being written are removed (see abandon_replacements); the scratch files it replaces
// stay as they were. It then ends by the same signal, so its parent sees the usual status
// (128 + the signal's number). A signal that the program was started with ignored (as
// nohup leaves SIGHUP) stays ignored.
// Call it first in main, before any thread starts: the signals are taken by a thread of
// their own, and every thread started later keeps them blocked.
void end_cleanly_on_interruption();

// The signal mask the program started with, which the programs it starts are given.
sigset_t startup_signal_mask();

}  // namespace platform
