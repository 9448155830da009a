#pragma once

#include <cstdint>

// The counters every tick of the pet's life moves before anything is decided. A sleeping pet
// gains 2 energy a tick and its time is up once the energy is past its wake level; an awake pet
// spends one of each. A counter taken past 16 bits is an Overflow error, as in any sum of them,
// and that counter keeps what it held.
namespace lifecounters {

void Tick(int16_t& actionTicks, int16_t& energy, bool sleeping, int16_t wakeLevel);

} // namespace lifecounters
