#include "x11link.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <array>
#include <cstdlib>

xcb_connection_t* X11Link::applicationConnection() {
    // Debian's offscreen platform hands out a native interface whose connection is null.
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* x = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x ? x->connection() : nullptr;
}

X11Link::X11Link() : m_connection(applicationConnection()) {
    if (!m_connection) return;
    // All the names asked for at once, and their answers read after: one round trip.
    const std::array<const char*, 7> names = {"_NET_WM_STATE",
                                              "_NET_WM_STATE_ABOVE",
                                              "_NET_WM_STATE_SKIP_TASKBAR",
                                              "_NET_WM_STATE_SKIP_PAGER",
                                              "_NET_CLIENT_LIST_STACKING",
                                              "_NET_WM_WINDOW_TYPE",
                                              "_NET_WM_WINDOW_TYPE_DOCK"};
    std::array<xcb_intern_atom_cookie_t, 7> cookies{};
    for (size_t i = 0; i < names.size(); ++i)
        cookies[i] =
            xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(qstrlen(names[i])), names[i]);
    std::array<xcb_atom_t, 7> found{};
    for (size_t i = 0; i < names.size(); ++i) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(m_connection, cookies[i], nullptr);
        found[i] = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
        free(r);
    }
    m_atoms = {found[0], found[1], found[2], found[3], found[4], found[5], found[6]};
}

xcb_window_t X11Link::root() const {
    return xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

std::vector<uint32_t> X11Link::listProperty(xcb_window_t window, xcb_atom_t property,
                                            xcb_atom_t type) const {
    std::vector<uint32_t> values;
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, property, type, 0, 4096), nullptr);
    if (r && r->format == 32) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r));
        values.assign(v, v + xcb_get_property_value_length(r) / 4);
    }
    free(r);
    return values;
}

xcb_window_t X11Link::toplevelOf(xcb_window_t window) const {
    for (int depth = 0; depth < 16; ++depth) {
        xcb_query_tree_reply_t* t =
            xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr);
        if (!t) return XCB_WINDOW_NONE;
        const xcb_window_t parent = t->parent, root = t->root;
        free(t);
        if (parent == root || parent == XCB_WINDOW_NONE) return window;
        window = parent;
    }
    return XCB_WINDOW_NONE;
}

xcb_window_t X11Link::desktopWindowId(const QWidget* window) {
    if (!window || !window->windowHandle() ||
        !(window->windowFlags() & Qt::X11BypassWindowManagerHint))
        return XCB_WINDOW_NONE;
    return static_cast<xcb_window_t>(window->windowHandle()->winId());
}
