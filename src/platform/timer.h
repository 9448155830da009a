#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// A window's timer: Interval in milliseconds and Enabled. Changing the interval of a running
// timer restarts its count. Ticks that fall due while the thread is busy are not made up.
class Timer : public QObject {
    Q_OBJECT
  public:
    Timer(QObject* owner, std::function<void()> onTick, int interval = 0, bool enabled = false);

    int Interval() const { return m_interval; }
    void SetInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

  private:
    void restart();

    QTimer m_timer;
    std::function<void()> m_onTick;
    int m_interval;
    bool m_enabled;
};
