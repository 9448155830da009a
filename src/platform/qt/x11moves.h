#pragma once

#include <xcb/xcb.h>

#include <QPointer>

#include <vector>

class QWidget;

// The moves of desktop windows, sent straight through the X connection. Qt would answer each
// move's notification with a round trip to the display, several times a second while the pet
// walks; the notifications of the windows moved here are dropped instead. Moves gathered in a
// step wait until it ends, and only each window's last place goes out.
class X11Moves {
  public:
    explicit X11Moves(xcb_connection_t* connection) : m_connection(connection) {}

    // Sends a move now (dropping any gathered for that window), or gathers it.
    void move(QWidget* window, xcb_window_t id, int x, int y, bool gather);
    // Sends the gathered moves; true when any went out.
    bool sendGathered();
    // Whether the program moves this window itself, so Qt need not hear of its moves.
    bool movedHere(xcb_window_t id) const;
    // Forgets a window that is gone: X gives its id to the next window made.
    void forget(xcb_window_t id);

  private:
    struct Gathered {
        QPointer<QWidget> window;
        xcb_window_t id;
        uint32_t place[2];
    };
    void drop(xcb_window_t id);

    xcb_connection_t* m_connection;
    std::vector<Gathered> m_gathered;
    std::vector<xcb_window_t> m_movedHere;
};
