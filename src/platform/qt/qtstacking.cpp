#include "qtimpl.h"
#include "x11.h"

#include "platform/window.h"

#include <QApplication>
#include <QList>
#include <QTimer>
#include <QWindow>

namespace {
// Keeps a window that stands outside the window manager above the other windows while it is
// topmost: nobody else will. It rises at once when the desktop's active window or stacking
// changes (on X11), and every half second besides, which costs one small request.
class TopmostKeeper : public QObject {
  public:
    explicit TopmostKeeper(Window* window) : QObject(window), m_window(window) {
        m_timer.setTimerType(Qt::CoarseTimer);
        m_timer.setInterval(500);
        connect(&m_timer, &QTimer::timeout, this, &TopmostKeeper::rise);
        keepers().append(this);
        x11::watchStacking(&TopmostKeeper::riseAll);
    }
    ~TopmostKeeper() override { keepers().removeOne(this); }

    void setTopmost(bool on) {
        if (on) {
            m_timer.start();
            rise();
        } else {
            m_timer.stop();
        }
    }

    bool active() const { return m_timer.isActive(); }

    void rise() {
        if (!m_window->isVisible()) return;
        // The program's own menus and message boxes stay above it while they are open.
        if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) return;
        m_window->raise();
        // Nothing else may be sent for a while by a pet that stands still.
        x11::flush();
    }

    static TopmostKeeper* of(Window* window) {
        for (TopmostKeeper* k : keepers())
            if (k->m_window == window) return k;
        return nullptr;
    }

  private:
    static QList<TopmostKeeper*>& keepers() {
        static QList<TopmostKeeper*> all;
        return all;
    }
    static void riseAll() {
        // Let the window manager finish its own restacking first.
        QTimer::singleShot(0, [] {
            for (TopmostKeeper* k : keepers())
                if (k->m_timer.isActive()) k->rise();
        });
    }

    Window* m_window;
    QTimer m_timer;
};
} // namespace

long QtWindowStacking::SetWindowPos(HWND hwnd, HWND insertAfter, int, int, int, int, uint32_t) {
    // Only entering and leaving the topmost band: place and size stay as they are.
    Window* w = Window::FromHandle(hwnd);
    if (!w || (insertAfter != swp::Topmost && insertAfter != swp::NoTopmost)) return 0;
    const bool top = insertAfter == swp::Topmost;
    w->setProperty(x11::kTopmostProperty, top);

    if (w->windowFlags() & Qt::X11BypassWindowManagerHint) {
        TopmostKeeper* keeper = TopmostKeeper::of(w);
        if (!keeper && top) keeper = new TopmostKeeper(w);
        if (keeper) keeper->setTopmost(top);
        if (w->isVisible()) {
            x11::setDesktopWindowState(w, top);
            // Out of the band it stays where it is seen, in front of the ordinary windows,
            // where the next window raised covers it.
            if (!top) x11::stackAmongOrdinaryWindows(w);
        }
        return 1;
    }
    // A managed window: the window manager keeps it on top. Changing the flag through the
    // widget would hide the window, so it goes to the native window, and the widget is told
    // without being re-created.
    const Qt::WindowFlags flags = top ? (w->windowFlags() | Qt::WindowStaysOnTopHint)
                                      : (w->windowFlags() & ~Qt::WindowStaysOnTopHint);
    w->overrideWindowFlags(flags);
    if (QWindow* handle = w->windowHandle()) handle->setFlags(flags);
    return 1;
}

bool QtWindowStacking::isKeptOnTop(Window* window) {
    const TopmostKeeper* keeper = TopmostKeeper::of(window);
    return keeper && keeper->active();
}
