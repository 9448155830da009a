#include "qtimpl.h"

#include "platform/picture.h"
#include "platform/window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

#include <cstring>

#ifdef PIMBOLET_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace {
uint32_t get32(const std::array<uint8_t, 88>& r, size_t at) {
    return static_cast<uint32_t>(r[at]) | static_cast<uint32_t>(r[at + 1]) << 8 |
           static_cast<uint32_t>(r[at + 2]) << 16 | static_cast<uint32_t>(r[at + 3]) << 24;
}

// The mouse message the shell reports for a click on the icon.
uint32_t messageFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return 0x201; // left button down
    case QSystemTrayIcon::Context:
        return 0x204; // right button down
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

bool QtShellTray::Shell_NotifyIcon(uint32_t message, const std::array<uint8_t, 88>& record) {
    const HWND hwnd = get32(record, 4);
    const uint32_t id = get32(record, 8);
    const quint64 key = (static_cast<quint64>(hwnd) << 32) | id;
    if (message == 2) { // delete
        QSystemTrayIcon* icon = m_icons.take(key);
        if (!icon) return false;
        icon->hide();
        icon->deleteLater();
        return true;
    }
    if (message != 0 || m_icons.contains(key)) return false;
    const char* tip = reinterpret_cast<const char*>(record.data() + 24);
    const QString tipText = QString::fromLatin1(tip, static_cast<qsizetype>(strnlen(tip, 64)));
    const Picture picture = Picture::FromHandle(get32(record, 20));
    auto* icon = new QSystemTrayIcon(QIcon(QPixmap::fromImage(picture.Image())));
    icon->setToolTip(tipText);
    // Each click comes back to the window as the callback message, a mouse move whose x is the
    // mouse message's number in pixels.
    connect(icon, &QSystemTrayIcon::activated, this,
            [this, hwnd](QSystemTrayIcon::ActivationReason reason) {
                if (Window* w = Window::FromHandle(hwnd))
                    w->Form_MouseMove(0, 0, messageFor(reason) * m_runtime.TwipsPerPixelX(), 0);
            });
    icon->show();
    m_icons.insert(key, icon);
    return true;
}

long QtWindowStacking::SetWindowPos(HWND hwnd, HWND insertAfter, int, int, int, int, uint32_t) {
    Window* w = Window::FromHandle(hwnd);
    if (!w) return 0;
    const bool top = insertAfter == swp::Topmost;
    if (w->testAttribute(Qt::WA_X11NetWmWindowTypeDesktop)) return 0;
    if (w->windowFlags() & Qt::X11BypassWindowManagerHint) {
        // No window manager keeps this window above the others: it does so itself, raising
        // itself now and again while it is topmost.
        auto* keeper = w->findChild<QTimer*>(QStringLiteral("topmost-keeper"));
        if (top) {
            if (!keeper) {
                keeper = new QTimer(w);
                keeper->setObjectName(QStringLiteral("topmost-keeper"));
                keeper->setTimerType(Qt::CoarseTimer);
                QObject::connect(keeper, &QTimer::timeout, w, [w] {
                    if (w->isVisible()) w->raise();
                });
            }
            keeper->start(500);
            if (w->isVisible()) w->raise();
        } else if (keeper) {
            keeper->stop();
        }
        w->setProperty("pimbolet-topmost", top);
        return 1;
    }
    if (QWindow* handle = w->windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, top);
    else
        w->setWindowFlag(Qt::WindowStaysOnTopHint, top);
    return 1;
}
