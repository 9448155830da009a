#include "platform/timer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

// A timer that sleeps through quiet ticks still runs every one of them, in order, before
// anything else that happens after their time.
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

// Waits for the timer's first tick with no other timer running: nothing but the program's own
// events may run the quiet ticks it plans.
void firstTick(const Ticks& ticks) {
    while (ticks.at.empty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Says how many ticks the first event found already run, and when it came.
class Receiver : public QObject {
  public:
    explicit Receiver(const Ticks& ticks) : m_ticks(ticks) {}
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        ticksSeen = static_cast<int>(m_ticks.at.size());
        seenAt = m_ticks.clock.elapsed();
        return true;
    }
    int ticksSeen = -1;
    qint64 seenAt = 0;

  private:
    const Ticks& m_ticks;
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

TEST(QuietTicks, AnythingElseFindsTheTicksDueByItsTimeRun) {
    Ticks ticks;
    Timer timer(
        nullptr, [&] { ticks.add(); }, kInterval, true);
    timer.SetQuietAhead([] { return 10; });
    firstTick(ticks);
    EXPECT_EQ(timer.QuietTicksWaiting(), 10) << "ten ticks to sleep through";

    Receiver receiver(ticks);
    QThread::msleep(5 * kInterval + kInterval / 2);
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    ASSERT_GE(receiver.ticksSeen, 1);
    const qint64 due = (receiver.seenAt - ticks.at.front()) / kInterval;
    EXPECT_NEAR(receiver.ticksSeen - 1, due, 1) << "the quiet ticks due by then ran first";
    EXPECT_EQ(timer.QuietTicksWaiting(), 0) << "and the rest are planned afresh";

    runFor(10 * kInterval);
    const qint64 expected = (ticks.clock.elapsed() - ticks.at.front()) / kInterval;
    EXPECT_NEAR(static_cast<qint64>(ticks.at.size()) - 1, expected, 2) << "none lost, none extra";
}

TEST(QuietTicks, StoppingRunsOnlyTheTicksAlreadyDue) {
    Ticks ticks;
    Timer timer(
        nullptr, [&] { ticks.add(); }, kInterval, true);
    timer.SetQuietAhead([] { return 20; });
    firstTick(ticks);
    QThread::msleep(3 * kInterval + kInterval / 2);
    timer.SetEnabled(false);
    const qint64 due = (ticks.clock.elapsed() - ticks.at.front()) / kInterval;
    const size_t ran = ticks.at.size();
    EXPECT_NEAR(static_cast<qint64>(ran) - 1, due, 1) << "the first and those due since";
    runFor(5 * kInterval);
    EXPECT_EQ(ticks.at.size(), ran) << "nothing after the stop";
}
