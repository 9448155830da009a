#include "timerplan.h"

#include <algorithm>

namespace timerplan {

int64_t SleepSpan(int quiet, int interval) {
    return int64_t{interval} * (quiet + 1);
}

int TicksDue(int waiting, int64_t elapsed, int interval) {
    return static_cast<int>(std::clamp<int64_t>(elapsed / interval, 0, waiting));
}

int64_t NextWake(int ran, int64_t elapsed, int interval) {
    return std::max<int64_t>(0, int64_t{ran + 1} * interval - elapsed);
}

} // namespace timerplan
