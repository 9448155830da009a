#include "x11display.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

X11Display::X11Display() : m_moves(m_link.connection()), m_stacking(m_link), m_pictures(m_link) {
    QCoreApplication::instance()->installNativeEventFilter(this);
    // Every step of the program (a tick, a mouse event, one of a modal window's loop) ends
    // before the program waits again.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &X11Display::sendWaiting);
}

X11Display::~X11Display() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool X11Display::available() {
    return X11Link::applicationConnection() != nullptr;
}

void X11Display::sendWaiting() {
    if (!m_moves.sendGathered() && !m_written) return;
    m_written = false;
    xcb_flush(m_link.connection());
}

xcb_window_t X11Display::idOf(QWidget& window) {
    const xcb_window_t id = X11Link::desktopWindowId(&window);
    if (id == XCB_WINDOW_NONE) return id;
    const auto it = m_known.find(&window);
    if (it == m_known.end()) {
        // Watched once for as long as it lives, whatever ids it is given.
        window.installEventFilter(this);
        connect(&window, &QObject::destroyed, this, [this](QObject* gone) {
            forgetId(static_cast<QWidget*>(gone));
            m_known.remove(static_cast<QWidget*>(gone));
        });
        m_known.insert(&window, id);
    } else if (it.value() != id) {
        forgetId(&window);
        it.value() = id;
    }
    return id;
}

void X11Display::forgetId(QWidget* window) {
    const auto it = m_known.find(window);
    if (it == m_known.end() || it.value() == XCB_WINDOW_NONE) return;
    m_moves.forget(it.value());
    m_pictures.forget(it.value());
    it.value() = XCB_WINDOW_NONE;
}

bool X11Display::eventFilter(QObject* watched, QEvent* event) {
    // A window whose X window goes (or is made again) forgets the old id.
    if (event->type() == QEvent::WinIdChange) forgetId(static_cast<QWidget*>(watched));
    return false;
}

bool X11Display::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t") return false;
    const auto* ev = static_cast<const xcb_generic_event_t*>(message);
    if ((ev->response_type & 0x7f) == XCB_CONFIGURE_NOTIFY)
        return m_moves.movedHere(reinterpret_cast<const xcb_configure_notify_event_t*>(ev)->window);
    m_stacking.heard(ev);
    return false;
}

bool X11Display::Place(QWidget& window, int x, int y, Send when) {
    const xcb_window_t id = idOf(window);
    if (id == XCB_WINDOW_NONE || !window.isVisible()) return false;
    m_moves.move(&window, id, x, y, when == Send::WithStep);
    m_written = true;
    return true;
}

bool X11Display::ShowPicture(QWidget& window, int64_t key, const QImage& picture, double ratio) {
    const xcb_window_t id = idOf(window);
    if (id == XCB_WINDOW_NONE || !m_pictures.show(id, key, picture, ratio)) return false;
    m_written = true;
    return true;
}

bool X11Display::Outline(QWidget& window, const QRegion& outline, double ratio) {
    const xcb_window_t id = idOf(window);
    if (id == XCB_WINDOW_NONE || !m_pictures.outline(id, outline, ratio)) return false;
    m_written = true;
    return true;
}

void X11Display::SetState(QWidget& window, bool above) {
    // Any made window, a managed one too, may be marked.
    if (!window.windowHandle()) return;
    m_stacking.setState(static_cast<xcb_window_t>(window.windowHandle()->winId()), above);
}

void X11Display::Stack(QWidget& window, Band band) {
    const xcb_window_t id = idOf(window);
    if (id == XCB_WINDOW_NONE || !window.isVisible()) return;
    m_stacking.stack(id, band == Band::Topmost);
}

void X11Display::watchStacking(std::function<void()> onChange) {
    m_stacking.watch(std::move(onChange));
}
