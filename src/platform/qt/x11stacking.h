#pragma once

#include <xcb/xcb.h>

#include <functional>

class QWidget;
class X11Link;

// Where desktop windows stand among the managed ones, and the window states the desktop's
// tools read of them.
class X11Stacking {
  public:
    explicit X11Stacking(const X11Link& link) : m_link(link) {}

    // Never in a task list or pager, and above the others or not. A window outside the window
    // manager has only its own property to say so.
    void setState(xcb_window_t id, bool above);
    // Directly above the highest managed window of the band (this program's own message boxes
    // stay above it). With none, a topmost window goes to the top and an ordinary one under
    // everything.
    void stack(xcb_window_t id, bool topmost);
    // Calls `onChange` whenever the window manager changes the stacking order of its windows.
    void watch(std::function<void()> onChange);
    // Hands over an event of the display; true when it told of a change of the stacking order.
    bool heard(const xcb_generic_event_t* event) const;

  private:
    const X11Link& m_link;
    std::function<void()> m_onChange;
};
