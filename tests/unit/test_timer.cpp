#include "platform/monotonicclock.h"
#include "platform/timer.h"
#include "platform/timerplan.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(TimerPlan, QuietTicksDueAndTheNextWakeFollowTheClock) {
    struct Row {
        int waiting;
        int64_t elapsed;
        int due;
        int64_t nextWake;
    };
    // A 200 ms timer since its last tick on time.
    const std::vector<Row> rows = {
        {10, 0, 0, 200},     {10, 199, 0, 1},    {10, 200, 1, 200}, {10, 1100, 5, 100},
        {10, 2000, 10, 200}, {10, 2150, 10, 50}, {10, 9000, 10, 0}, {3, 600, 3, 200},
        {0, 5000, 0, 0},     {25, 5199, 25, 1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::to_string(r.waiting) + " waiting, " + std::to_string(r.elapsed) + " ms");
        const int due = timerplan::TicksDue(r.waiting, r.elapsed, 200);
        EXPECT_EQ(due, r.due);
        EXPECT_EQ(timerplan::NextWake(due, r.elapsed, 200), r.nextWake);
    }
    EXPECT_EQ(timerplan::SleepSpan(0, 200), 200);
    EXPECT_EQ(timerplan::SleepSpan(4, 200), 1000) << "woken for the tick after four quiet ones";
}

namespace {
// A clock the test moves by hand.
class HandClock : public MonotonicClock {
  public:
    int64_t Milliseconds() const override { return now; }
    int64_t now = 1000;
};

// An interval the real clock never reaches while a test runs: only the test wakes the timer.
constexpr int kInterval = 60000;

// A timer on the hand clock, with what it has done.
struct Sleeper {
    HandClock clock;
    std::vector<int64_t> ticks; // the hand clock's time at each tick
    int quietAhead = 0;
    Timer timer{nullptr, [this] { ticks.push_back(clock.now); }, kInterval, true, &clock};

    Sleeper() {
        timer.SetQuietAhead([this] { return quietAhead; });
    }
    QTimer& wake() { return *timer.findChild<QTimer*>(); }
    // The clock reaches `at` and the timer's wake comes then.
    void wakeAt(int64_t at) {
        clock.now = at;
        QMetaObject::invokeMethod(&wake(), "timeout");
    }
    // Something else happens in the program at `at`.
    void eventAt(int64_t at) {
        clock.now = at;
        QObject receiver;
        QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
        QCoreApplication::sendPostedEvents(&receiver);
    }
};
} // namespace

TEST(QuietTicks, RunTogetherAtEachWakeAndTheTimerSleepsUntilTheTickAfterThem) {
    Sleeper s;
    s.quietAhead = 4;
    s.wakeAt(1000 + kInterval);
    EXPECT_EQ(s.ticks.size(), 1u);
    EXPECT_EQ(s.timer.QuietTicksWaiting(), 4);
    EXPECT_EQ(s.wake().interval(), 5 * kInterval) << "one wake for five ticks";
    for (int round = 1; round <= 3; ++round)
        s.wakeAt(1000 + kInterval + 5 * kInterval * round);
    EXPECT_EQ(s.ticks.size(), 16u) << "each wake runs the four slept through and its own";
    s.quietAhead = 0;
    s.wakeAt(1000 + 17 * kInterval);
    EXPECT_EQ(s.ticks.size(), 21u);
    EXPECT_EQ(s.timer.QuietTicksWaiting(), 0);
    EXPECT_EQ(s.wake().interval(), kInterval) << "nothing quiet: woken for every tick";
}

TEST(QuietTicks, AnythingElseFindsTheTicksDueByItsTimeRunAndTheRestPlannedAfresh) {
    Sleeper s;
    s.quietAhead = 10;
    const int64_t first = 1000 + kInterval;
    s.wakeAt(first);
    ASSERT_EQ(s.timer.QuietTicksWaiting(), 10);

    s.eventAt(first + 5 * kInterval + kInterval / 2);
    EXPECT_EQ(s.ticks.size(), 6u) << "the first and the five due by then";
    EXPECT_EQ(s.ticks.back(), first + 5 * kInterval + kInterval / 2);
    EXPECT_EQ(s.timer.QuietTicksWaiting(), 0);
    EXPECT_EQ(s.wake().interval(), kInterval / 2) << "woken for the sixth on its time";

    s.eventAt(first + 5 * kInterval + kInterval * 3 / 4);
    EXPECT_EQ(s.ticks.size(), 6u) << "nothing waits to be run";
}

TEST(QuietTicks, StoppingOrChangingTheIntervalRunsOnlyTheTicksAlreadyDue) {
    for (const bool stop : {true, false}) {
        SCOPED_TRACE(stop ? "stopped" : "new interval");
        Sleeper s;
        s.quietAhead = 20;
        const int64_t first = 1000 + kInterval;
        s.wakeAt(first);
        s.clock.now = first + 3 * kInterval + kInterval / 2;
        if (stop)
            s.timer.SetEnabled(false);
        else
            s.timer.SetInterval(kInterval * 2);
        EXPECT_EQ(s.ticks.size(), 4u) << "the first and the three due since";
        EXPECT_EQ(s.timer.QuietTicksWaiting(), 0);
        EXPECT_EQ(s.wake().isActive(), !stop);
        if (!stop) {
            EXPECT_EQ(s.wake().interval(), 2 * kInterval);
        }
    }
}
