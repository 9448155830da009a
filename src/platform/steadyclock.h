#pragma once

#include "monotonicclock.h"

// The machine's steady clock, which no change of the date or time moves.
class SteadyClock : public MonotonicClock {
  public:
    int64_t Milliseconds() const override;
};
