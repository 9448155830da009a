#pragma once

#include <cstdint>

class QImage;
class QRegion;
class QWidget;

// What a desktop window (one that stands outside the window manager) needs of the display
// beyond what Qt does for it: its place, its picture, its outline, its band of stacking and the
// states the desktop's tools read. Each call does nothing, and answers false, where the display
// cannot do it; then Qt's own ways must do.
class WindowDisplay {
  public:
    // The two bands of stacking a desktop window can be in.
    enum class Band {
        // In front of the ordinary windows, under panels and windows kept above the others;
        // windows raised later cover it.
        Ordinary,
        // Above every managed window, panels included, but never above another program's
        // unmanaged windows (menus, tooltips, notifications, screen lockers).
        Topmost,
    };
    // When a move reaches the display: at once, or with everything else the program changes
    // before it next waits for something to happen (a tick, a mouse event, each step of a modal
    // window's loop), where a later move of the same window replaces it.
    enum class Send { Now, WithStep };

    virtual ~WindowDisplay() = default;

    // Whether a display is there that places and shapes desktop windows itself.
    virtual bool Live() const = 0;
    // Puts a shown desktop window's top-left corner on the display's pixel x, y, keeping its
    // size. False when it cannot be done this way (then Qt moves it).
    virtual bool Place(QWidget& window, int x, int y, Send when) = 0;
    // Lets the display itself draw a shaped desktop window whose whole content is one picture:
    // the picture, scaled to the display's pixels by `ratio`, is kept in the display under
    // `key` as the window's background. False when it cannot be done here (then the window
    // paints itself).
    virtual bool ShowPicture(QWidget& window, int64_t key, const QImage& picture, double ratio) = 0;
    // Gives a desktop window the outline `outline` (in the pixels the windows measure), scaled
    // by `ratio` exactly as ShowPicture scales pictures; an empty outline takes it away. False
    // when it cannot be done here (then Qt's window mask must do).
    virtual bool Outline(QWidget& window, const QRegion& outline, double ratio) = 0;
    // Marks a desktop window for the tools that read window states: never in a task list or
    // pager, and above the others or not.
    virtual void SetState(QWidget& window, bool above) = 0;
    // Puts a shown desktop window directly above the highest managed window of its band.
    virtual void Stack(QWidget& window, Band band) = 0;
};

// The property of a window that says whether it is in the topmost band.
constexpr const char* kTopmostProperty = "pimbolet-topmost";
