#include "sessionend.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int g_wake[2] = {-1, -1};

// Only async-signal-safe work here: the event loop does the rest.
void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_wake[1], &byte, 1);
    errno = saved;
}
} // namespace

void watchEndOfSession(std::function<void()> onEnd) {
    if (g_wake[0] >= 0 || ::pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(g_wake[0], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onEnd = std::move(onEnd)] {
        char buffer[16];
        while (::read(g_wake[0], buffer, sizeof buffer) > 0) {
        }
        static bool ending = false;
        if (ending) return;
        ending = true;
        onEnd();
        ending = false;
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(sig, &action, nullptr);
}
