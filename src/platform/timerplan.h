#pragma once

#include <cstdint>

// The arithmetic of a timer that sleeps through quiet ticks, apart from any clock. Times are
// milliseconds since the timer's last tick that ran at its own time.
namespace timerplan {

// How long a timer sleeps when the `quiet` ticks after the one that just ran are slept through:
// it wakes for the first tick after them, on its own time.
int64_t SleepSpan(int quiet, int interval);

// How many of the `waiting` ticks slept through are due at `elapsed`.
int TicksDue(int waiting, int64_t elapsed, int interval);

// How long from `elapsed` until the tick after the first `ran` ticks falls due; 0 when it is
// late already.
int64_t NextWake(int ran, int64_t elapsed, int interval);

} // namespace timerplan
