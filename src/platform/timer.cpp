#include "timer.h"

#include "qt/x11.h"

Timer::Timer(QObject* owner, std::function<void()> onTick, int interval, bool enabled)
    : QObject(owner), m_onTick(std::move(onTick)), m_interval(interval), m_enabled(enabled) {
    m_timer.setTimerType(Qt::CoarseTimer);
    // All that one tick changes on the display goes out in one write.
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const x11::Step step;
        m_onTick();
    });
    restart();
}

void Timer::SetInterval(int ms) {
    m_interval = ms;
    restart();
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    restart();
}

void Timer::restart() {
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}
