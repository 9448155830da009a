#include "x11moves.h"

#include "x11link.h"

#include <QWidget>

#include <algorithm>

void X11Moves::move(QWidget* window, xcb_window_t id, int x, int y, bool gather) {
    if (!movedHere(id)) m_movedHere.push_back(id);
    const uint32_t place[] = {static_cast<uint32_t>(x), static_cast<uint32_t>(y)};
    if (gather) {
        const auto it = std::find_if(m_gathered.begin(), m_gathered.end(),
                                     [id](const Gathered& m) { return m.id == id; });
        if (it != m_gathered.end())
            std::copy(place, place + 2, it->place);
        else
            m_gathered.push_back({window, id, {place[0], place[1]}});
        return;
    }
    drop(id);
    xcb_configure_window(m_connection, id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
}

bool X11Moves::sendGathered() {
    if (m_gathered.empty()) return false;
    for (const Gathered& m : m_gathered)
        // A window hidden or destroyed since its move keeps the place it has.
        if (m.window && m.window->isVisible() && X11Link::desktopWindowId(m.window) == m.id)
            xcb_configure_window(m_connection, m.id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y,
                                 m.place);
    m_gathered.clear();
    return true;
}

bool X11Moves::movedHere(xcb_window_t id) const {
    return std::find(m_movedHere.begin(), m_movedHere.end(), id) != m_movedHere.end();
}

void X11Moves::forget(xcb_window_t id) {
    drop(id);
    std::erase(m_movedHere, id);
}

void X11Moves::drop(xcb_window_t id) {
    std::erase_if(m_gathered, [id](const Gathered& m) { return m.id == id; });
}
