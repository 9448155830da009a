#include "qtwindowstacking.h"

#include "x11display.h"

#include "platform/window.h"

#include <QApplication>
#include <QList>
#include <QTimer>
#include <QWindow>

namespace {
// Keeps a topmost window that stands outside the window manager directly above the managed
// windows: nobody else will. It takes its place again whenever the window manager restacks its
// windows, and at no other time: it never competes with another program's unmanaged windows
// (menus, notifications, a screen locker), which lie above it for as long as they are there.
class TopmostKeeper : public QObject {
  public:
    TopmostKeeper(Window* window, X11Display* x11) : QObject(window), m_window(window), m_x11(x11) {
        keepers().append(this);
        if (x11) x11->watchStacking(&TopmostKeeper::placeAll);
    }
    ~TopmostKeeper() override { keepers().removeOne(this); }

    void setTopmost(bool on) {
        m_on = on;
        place();
    }
    bool active() const { return m_on; }

    void place() {
        if (m_x11 && m_window->isVisible())
            m_x11->Stack(*m_window,
                         m_on ? WindowDisplay::Band::Topmost : WindowDisplay::Band::Ordinary);
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
    static void placeAll() {
        // Once per burst of changes, after the window manager has finished restacking.
        static bool pending = false;
        if (pending) return;
        pending = true;
        QTimer::singleShot(0, [] {
            pending = false;
            for (TopmostKeeper* k : keepers())
                if (k->m_on) k->place();
        });
    }

    Window* m_window;
    X11Display* m_x11;
    bool m_on = false;
};
} // namespace

long QtWindowStacking::SetWindowPos(HWND hwnd, HWND insertAfter, int, int, int, int, uint32_t) {
    // Only entering and leaving the topmost band: place and size stay as they are.
    Window* w = Window::FromHandle(hwnd);
    if (!w || (insertAfter != swp::Topmost && insertAfter != swp::NoTopmost)) return 0;
    const bool top = insertAfter == swp::Topmost;
    w->setProperty(kTopmostProperty, top);

    if (w->windowFlags() & Qt::X11BypassWindowManagerHint) {
        TopmostKeeper* keeper = TopmostKeeper::of(w);
        if (!keeper && top) keeper = new TopmostKeeper(w, m_x11);
        if (m_x11 && w->isVisible()) m_x11->SetState(*w, top);
        // Out of the band it stays where it is seen, in front of the ordinary windows, where
        // the next window raised covers it.
        if (keeper) keeper->setTopmost(top);
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
