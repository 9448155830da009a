#pragma once

#include "steadyclock.h"

#include <QObject>
#include <QTimer>

#include <functional>

// A window's timer: Interval in milliseconds and Enabled. Changing the interval of a running
// timer restarts its count. Ticks that fall due while the thread is busy are not made up.
//
// Its owner may say, after each tick, how many of the ticks that follow will surely change
// nothing that can be seen or heard as long as nothing else happens first (SetQuietAhead).
// The program then sleeps through them instead of waking for each: they run together, in
// order, just before the tick after them, or as soon as anything else happens in the program
// (input, another timer, a message), before it is handled. Either way every tick runs, each
// before anything that comes after it, and the ones that change what is seen run on time.
//
// It measures how long it slept with `clock`, the machine's steady clock unless one is given.
class Timer : public QObject {
    Q_OBJECT
  public:
    Timer(QObject* owner, std::function<void()> onTick, int interval = 0, bool enabled = false,
          const MonotonicClock* clock = nullptr);
    ~Timer() override;

    int Interval() const { return m_interval; }
    void SetInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    // How many of the coming ticks are quiet, asked after each tick; 0 when unknown.
    void SetQuietAhead(std::function<int()> quietAhead);
    // Runs the quiet ticks slept through that are due by now; the next one is planned afresh.
    void CatchUp();
    // The ticks slept through and not yet run.
    int QuietTicksWaiting() const { return m_quiet; }

    // At most this many ticks are slept through at a time.
    static constexpr int kMostQuiet = 25;

  private:
    class Watch;
    void fire();
    void runTicks(int count);
    void plan();
    void restart();

    SteadyClock m_steady;
    const MonotonicClock& m_clock;
    // What wakes the timer; a child of it, so a test that moves the clock by hand can find it.
    QTimer m_timer{this};
    std::function<void()> m_onTick;
    std::function<int()> m_quietAhead;
    int m_interval;
    bool m_enabled;
    int m_quiet = 0;
    int64_t m_tickAt = 0; // when the last tick that ran at its own time ran
    bool m_ticking = false;
};
