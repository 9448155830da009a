#include "x11stacking.h"

#include "x11link.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdlib>

namespace {
bool contains(const std::vector<uint32_t>& list, uint32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}
} // namespace

void X11Stacking::setState(xcb_window_t id, bool above) {
    xcb_connection_t* c = m_link.connection();
    const X11Link::Atoms& a = m_link.atoms();
    // Keep whatever else the property holds; change only our three states.
    std::vector<xcb_atom_t> states;
    for (const uint32_t s : m_link.listProperty(id, a.state, XCB_ATOM_ATOM))
        if (s != a.above && s != a.skipTaskbar && s != a.skipPager) states.push_back(s);
    states.push_back(a.skipTaskbar);
    states.push_back(a.skipPager);
    if (above) states.push_back(a.above);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, a.state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.data());
    xcb_flush(c);
}

void X11Stacking::stack(xcb_window_t id, bool topmost) {
    xcb_connection_t* c = m_link.connection();
    const X11Link::Atoms& a = m_link.atoms();
    // This program's own message boxes and other windows it keeps above the rest stay above
    // its desktop windows too.
    std::vector<uint32_t> ownAbove;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowHandle() &&
            (w->isModal() || (w->windowFlags() & Qt::WindowStaysOnTopHint)))
            ownAbove.push_back(static_cast<uint32_t>(w->windowHandle()->winId()));
    // The managed windows from the top down: panels and windows kept above the others first,
    // then the ordinary ones (a desktop window counts among them, at their bottom).
    const std::vector<uint32_t> clients =
        m_link.listProperty(m_link.root(), a.stacking, XCB_ATOM_WINDOW);
    xcb_window_t anchor = XCB_WINDOW_NONE;
    for (auto it = clients.rbegin(); it != clients.rend() && anchor == XCB_WINDOW_NONE; ++it) {
        if (contains(ownAbove, *it)) continue;
        if (!topmost && (contains(m_link.listProperty(*it, a.state, XCB_ATOM_ATOM), a.above) ||
                         contains(m_link.listProperty(*it, a.type, XCB_ATOM_ATOM), a.typeDock)))
            continue;
        anchor = *it;
    }
    // Directly above that window. With none: a topmost window goes to the top, an ordinary
    // one under everything, where the next window to open covers it. (Beside the panels the
    // window manager keeps windows of its own in the upper band, so "just under the lowest
    // panel" would not do.)
    const xcb_window_t frame =
        anchor == XCB_WINDOW_NONE ? xcb_window_t{XCB_WINDOW_NONE} : m_link.toplevelOf(anchor);
    if (frame == id) return;
    if (frame != XCB_WINDOW_NONE) {
        const uint32_t values[] = {frame, XCB_STACK_MODE_ABOVE};
        xcb_configure_window(c, id, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE,
                             values);
    } else {
        const uint32_t values[] = {topmost ? uint32_t{XCB_STACK_MODE_ABOVE}
                                           : uint32_t{XCB_STACK_MODE_BELOW}};
        xcb_configure_window(c, id, XCB_CONFIG_WINDOW_STACK_MODE, values);
    }
    xcb_flush(c);
}

void X11Stacking::watch(std::function<void()> onChange) {
    const bool first = !m_onChange;
    m_onChange = std::move(onChange);
    if (!first) return;
    // Hear of property changes on the root window, adding to what this client already asked.
    xcb_connection_t* c = m_link.connection();
    const xcb_window_t root = m_link.root();
    xcb_get_window_attributes_reply_t* attrs =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root), nullptr);
    const uint32_t mask = (attrs ? attrs->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
    free(attrs);
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
}

bool X11Stacking::heard(const xcb_generic_event_t* event) const {
    if (!m_onChange || (event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
    const auto* pn = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (pn->atom != m_link.atoms().stacking) return false;
    m_onChange();
    return true;
}
