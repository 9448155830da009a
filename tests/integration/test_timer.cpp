#include "platform/timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

// On the real clock and the real event loop, a timer that sleeps through quiet ticks still runs
// every one of them, waking once for several. (The arithmetic is tested in simulated time.)
namespace {
constexpr int kInterval = 20;

// Runs the event loop for a while. Its end is a timer of its own, which, like any other
// event, first runs the quiet ticks due by then.
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Ticks {
    QElapsedTimer clock;
    std::vector<qint64> at; // ms since the clock started
    Ticks() { clock.start(); }
    void add() { at.push_back(clock.elapsed()); }
    // Wakeups: ticks that came more than a few ms after the one before.
    int wakeups() const {
        int n = 0;
        for (size_t i = 0; i < at.size(); ++i)
            if (i == 0 || at[i] - at[i - 1] > kInterval / 2) ++n;
        return n;
    }
};

} // namespace

TEST(QuietTicks, AllRunTogetherOnceForEachWakeup) {
    Ticks ticks;
    Timer timer(
        nullptr, [&] { ticks.add(); }, kInterval, true);
    timer.SetQuietAhead([] { return 4; });
    runFor(1000);
    const int n = static_cast<int>(ticks.at.size());
    // A loaded machine may wake the program late; the ticks due by the end have all run.
    EXPECT_GE(n, 1000 / kInterval * 7 / 10);
    EXPECT_LE(n, 1000 / kInterval);
    EXPECT_LE(ticks.wakeups(), n / 5 + 2) << "woken once for five ticks";
}
