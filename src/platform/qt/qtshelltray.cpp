#include "qtshelltray.h"

#include "platform/picture.h"
#include "platform/programlook.h"
#include "platform/window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QSystemTrayIcon>

#include <cstring>

namespace {
uint32_t get32(const std::array<uint8_t, 88>& r, size_t at) {
    return static_cast<uint32_t>(r[at]) | static_cast<uint32_t>(r[at + 1]) << 8 |
           static_cast<uint32_t>(r[at + 2]) << 16 | static_cast<uint32_t>(r[at + 3]) << 24;
}

// The shell finds an icon by its window and number.
quint64 keyOf(HWND hwnd, uint32_t id) {
    return (static_cast<quint64>(hwnd) << 32) | id;
}

// The mouse message the shell reports for a click on the icon.
uint32_t messageFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return trayclick::LeftDown;
    case QSystemTrayIcon::Context:
        return trayclick::RightDown;
    case QSystemTrayIcon::MiddleClick:
        return 0x207;
    case QSystemTrayIcon::DoubleClick:
        return 0x203;
    default:
        return 0x200;
    }
}
} // namespace

QtShellTray::~QtShellTray() {
    qDeleteAll(m_icons);
}

bool QtShellTray::eventFilter(QObject* watched, QEvent* event) {
    // In an XEmbed tray the icon is a small window of Qt's own, which a close request from
    // another program (WM_DELETE_WINDOW) would hide, taking the icon away for the rest of the
    // run. Only the program removes its icon.
    if (event->type() == QEvent::Close && watched->inherits("QSystemTrayIconSys")) {
        event->ignore();
        return true;
    }
    return false;
}

QSystemTrayIcon* QtShellTray::icon(HWND hwnd, uint32_t id) const {
    return m_icons.value(keyOf(hwnd, id), nullptr);
}

bool QtShellTray::Shell_NotifyIcon(uint32_t message, const std::array<uint8_t, 88>& record) {
    const HWND hwnd = get32(record, 4);
    const quint64 key = keyOf(hwnd, get32(record, 8));
    if (message == nim::Delete) {
        QSystemTrayIcon* icon = m_icons.take(key);
        if (!icon) return false; // already gone: harmless
        icon->hide();
        icon->deleteLater();
        return true;
    }
    if (message != nim::Add || m_icons.contains(key)) return false;
    const uint32_t flags = get32(record, 12);
    constexpr uint32_t kMessage = 1, kIcon = 2, kTip = 4;

    QIcon picture;
    if (flags & kIcon) picture = programlook::IconOf(Picture::FromHandle(get32(record, 20)));
    // A tray icon without a picture cannot be shown at all: use the program's own.
    if (picture.isNull()) picture = QGuiApplication::windowIcon();
    if (!m_watching) {
        QCoreApplication::instance()->installEventFilter(this);
        m_watching = true;
    }
    auto* icon = new QSystemTrayIcon(picture);
    if (flags & kTip) {
        // Single-byte text up to the NUL (64 bytes at most).
        const char* tip = reinterpret_cast<const char*>(record.data() + 24);
        icon->setToolTip(QString::fromLatin1(tip, static_cast<qsizetype>(strnlen(tip, 64))));
    }
    if (flags & kMessage) {
        // Each click comes back to the window as a mouse move whose x is the mouse message's
        // number in pixels (converted to twips), y 0 and no buttons.
        connect(icon, &QSystemTrayIcon::activated, this,
                [this, hwnd](QSystemTrayIcon::ActivationReason reason) {
                    if (Window* w = Window::FromHandle(hwnd))
                        w->Form_MouseMove(
                            0, 0,
                            static_cast<float>(messageFor(reason)) * m_runtime.TwipsPerPixelX(), 0);
                });
    }
    icon->show();
    m_icons.insert(key, icon);
    return true;
}
