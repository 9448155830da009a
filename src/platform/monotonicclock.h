#pragma once

#include <cstdint>

// A clock that only runs forward, read in milliseconds from a start of its own. Timers measure
// how long they slept with it; tests hand them one they move by hand.
class MonotonicClock {
  public:
    virtual ~MonotonicClock() = default;
    virtual int64_t Milliseconds() const = 0;
};
