#include "timer.h"

#include "timerplan.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include <algorithm>
#include <vector>

// Sees every event of the program's thread before it is handled: a timer sleeping through
// quiet ticks runs those that are due first, so that whatever the event does finds the state
// those ticks left. The application owns it.
class Timer::Watch : public QObject {
  public:
    static Watch& instance() {
        if (!s_watch) {
            s_watch = new Watch(QCoreApplication::instance());
            QCoreApplication::instance()->installEventFilter(s_watch);
        }
        return *s_watch;
    }
    // Forgets a timer, which may outlive the program's event loop.
    static void forget(Timer* timer) {
        if (s_watch) std::erase(s_watch->sleeping, timer);
    }

    std::vector<Timer*> sleeping;

    bool eventFilter(QObject* target, QEvent* event) override {
        if (sleeping.empty() || !mayChangeAnything(event->type())) return false;
        for (Timer* t : std::vector<Timer*>(sleeping))
            if (target != &t->m_timer) t->CatchUp();
        return false;
    }

  private:
    explicit Watch(QObject* application) : QObject(application) {}

    // Only a way to find the application's watch again: the application owns it.
    static inline QPointer<Watch> s_watch;

    // Events that only draw or tidy up what was already decided.
    static bool mayChangeAnything(QEvent::Type type) {
        switch (type) {
        case QEvent::Paint:
        case QEvent::UpdateRequest:
        case QEvent::UpdateLater:
        case QEvent::DeferredDelete:
        case QEvent::Polish:
        case QEvent::PolishRequest:
        case QEvent::LayoutRequest:
        case QEvent::ChildAdded:
        case QEvent::ChildPolished:
        case QEvent::ChildRemoved:
        case QEvent::DynamicPropertyChange:
            return false;
        default:
            return true;
        }
    }
};

Timer::Timer(QObject* owner, std::function<void()> onTick, int interval, bool enabled,
             const MonotonicClock* clock)
    : QObject(owner), m_clock(clock ? *clock : m_steady), m_onTick(std::move(onTick)),
      m_interval(interval), m_enabled(enabled) {
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Timer::fire);
    restart();
}

Timer::~Timer() {
    Watch::forget(this);
}

void Timer::SetInterval(int ms) {
    CatchUp();
    m_interval = ms;
    restart();
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    CatchUp();
    m_enabled = enabled;
    restart();
}

void Timer::SetQuietAhead(std::function<int()> quietAhead) {
    CatchUp();
    m_quietAhead = std::move(quietAhead);
}

void Timer::fire() {
    const int slept = m_quiet;
    m_quiet = 0;
    runTicks(slept + 1);
    plan();
}

void Timer::runTicks(int count) {
    if (m_ticking) return;
    m_ticking = true;
    for (int i = 0; i < count && m_enabled; ++i)
        m_onTick();
    m_ticking = false;
}

void Timer::plan() {
    Watch::forget(this);
    if (!m_enabled || m_interval <= 0 || !m_timer.isActive()) return;
    m_tickAt = m_clock.Milliseconds();
    const int quiet = m_quietAhead ? std::clamp(m_quietAhead(), 0, kMostQuiet) : 0;
    if (quiet > 0) {
        // Woken for the first tick after the quiet ones, on its own time.
        m_quiet = quiet;
        Watch::instance().sleeping.push_back(this);
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.start(static_cast<int>(timerplan::SleepSpan(quiet, m_interval)));
    } else if (m_timer.interval() != m_interval || m_timer.timerType() != Qt::CoarseTimer) {
        m_timer.setTimerType(Qt::CoarseTimer);
        m_timer.start(m_interval);
    }
}

void Timer::CatchUp() {
    if (m_quiet == 0 || m_ticking) return;
    Watch::forget(this);
    const int due = timerplan::TicksDue(m_quiet, m_clock.Milliseconds() - m_tickAt, m_interval);
    m_quiet = 0;
    runTicks(due);
    if (!m_enabled) return;
    // The next tick comes at its own time, and what follows it is planned afresh then.
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.start(
        static_cast<int>(timerplan::NextWake(due, m_clock.Milliseconds() - m_tickAt, m_interval)));
}

void Timer::restart() {
    m_quiet = 0;
    Watch::forget(this);
    m_timer.setTimerType(Qt::CoarseTimer);
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}
