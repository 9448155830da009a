#include "lifecounters.h"

#include "platform/convert.h"

namespace lifecounters {

void Tick(int16_t& actionTicks, int16_t& energy, bool sleeping, int16_t wakeLevel) {
    if (sleeping) {
        energy = convert::Add16(energy, 2);
        if (energy > wakeLevel) actionTicks = 0;
    } else {
        actionTicks = convert::Add16(actionTicks, -1);
        energy = convert::Add16(energy, -1);
    }
}

} // namespace lifecounters
