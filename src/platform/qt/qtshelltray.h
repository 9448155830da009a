#pragma once

#include "platform/services.h"

#include <QHash>
#include <QObject>

class QSystemTrayIcon;

class QtShellTray : public QObject, public ShellTray {
    Q_OBJECT
  public:
    explicit QtShellTray(Runtime& runtime) : m_runtime(runtime) {}
    ~QtShellTray() override;
    bool Shell_NotifyIcon(uint32_t message, const std::array<uint8_t, 88>& record) override;
    // The icon added for this window and number, if any.
    QSystemTrayIcon* icon(HWND hwnd, uint32_t id) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Runtime& m_runtime;
    QHash<quint64, QSystemTrayIcon*> m_icons;
    bool m_watching = false;
};
