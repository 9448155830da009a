#pragma once

#include <functional>

// Runs `onEnd` from the event loop when the session ends or the program is asked to stop
// (SIGTERM, SIGHUP at log-out, SIGINT from a terminal), so that it can close as it would from
// its own menu. A second signal while `onEnd` runs is passed over.
void watchEndOfSession(std::function<void()> onEnd);
