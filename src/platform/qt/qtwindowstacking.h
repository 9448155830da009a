#pragma once

#include "platform/services.h"

class Window;
class X11Display;

class QtWindowStacking : public WindowStacking {
  public:
    // `x11` keeps topmost desktop windows above the managed ones; none without an X display.
    explicit QtWindowStacking(X11Display* x11) : m_x11(x11) {}
    long SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                      uint32_t flags) override;
    // Whether the window, standing outside the window manager, keeps itself on top now.
    static bool isKeptOnTop(Window* window);

  private:
    X11Display* m_x11;
};
