#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

class QWidget;

// The program's connection to the X display, looked up once, with the few names (atoms) and
// lookups that the desktop windows' calls share. Without an X display it holds no connection.
class X11Link {
  public:
    struct Atoms {
        xcb_atom_t state, above, skipTaskbar, skipPager, stacking, type, typeDock;
    };

    X11Link();

    // The program's own connection, when it runs on an X display.
    static xcb_connection_t* applicationConnection();

    xcb_connection_t* connection() const { return m_connection; }
    const Atoms& atoms() const { return m_atoms; }
    xcb_window_t root() const;

    // A property that holds a list of 32-bit values (atoms or windows).
    std::vector<uint32_t> listProperty(xcb_window_t window, xcb_atom_t property,
                                       xcb_atom_t type) const;
    // The child of the root that holds a window: the window manager's frame of a managed one.
    xcb_window_t toplevelOf(xcb_window_t window) const;

    // The X window of a made window that stands outside the window manager, or none.
    static xcb_window_t desktopWindowId(const QWidget* window);

  private:
    xcb_connection_t* m_connection = nullptr;
    Atoms m_atoms{};
};
