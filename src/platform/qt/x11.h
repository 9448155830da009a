#pragma once

class QImage;
class QRegion;
class QWidget;

// The few X11 calls the windows need beyond Qt. Each does nothing unless the program runs on
// X11 with a live connection (the offscreen platform used by tests has none). The requests of
// the moving, drawing and shaping calls wait in the connection's buffer until flush(): the
// timers and the mouse send it once they have run, so all that one step of the pet changes
// reaches the display in one write.
namespace x11 {

// The window property that records whether a window is in the topmost band.
constexpr const char* kTopmostProperty = "pimbolet-topmost";

bool available();

// Sends what waits in the connection's buffer now, the gathered moves of a step first.
void flush();

// One step of the program (a timer's tick, a mouse event): while one lasts, the fast moves of
// a desktop window (moveDesktopWindow with Send::WithStep) are gathered, and only each
// window's last place goes out, with everything else the step changed, when the step ends.
// Steps may nest (a modal window opened in one runs others); the end of each sends what
// waits.
class Step {
  public:
    Step();
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;
};

// Marks a window that stands outside the window manager (an override-redirect window) for
// the tools that read window states: never in a task list or pager, and above the others or
// not. The states are set on the window's own property, the only place such a window has.
void setDesktopWindowState(QWidget* window, bool above);

// The two bands of stacking a window that stands outside the window manager can be in.
enum class Band {
    // In front of the ordinary windows, under panels and windows kept above the others;
    // windows raised later cover it.
    Ordinary,
    // Above every managed window, panels included, but never above another program's
    // unmanaged windows (menus, tooltips, notifications, screen lockers).
    Topmost,
};

// Puts a shown window that stands outside the window manager directly above the highest
// managed window of its band (this program's own message boxes stay above it). With none, a
// topmost window goes to the top and an ordinary one under everything.
void stackAmongManagedWindows(QWidget* window, Band band);

// Asks to be told, by a call of `onChange`, when the window manager changes the stacking order
// of its windows, so that a topmost window can take its place above them again. Safe to call
// more than once; the callback is shared by all callers.
void watchStacking(void (*onChange)());

// Moves a shown window that stands outside the window manager straight through the X
// connection, keeping its size. Qt would answer each move's notification with a round trip
// to the display, several times a second while the pet walks; the notifications of windows
// moved this way are dropped instead. False when the window cannot be moved this way (then
// Qt moves it). Within a step, a move sent WithStep waits for the step's end, where a later
// move of the same window in that step replaces it; a move sent Now goes out at once, before
// the window is mapped for example, and drops any that waited.
enum class Send { Now, WithStep };
bool moveDesktopWindow(QWidget* window, int x, int y, Send when = Send::Now);

// Lets the display itself draw a shaped desktop window's picture: the picture is kept in the
// display as the window's background, and the program no longer repaints the window when its
// outline changes. Only for windows whose whole content is that one picture. The picture is
// scaled to the display's pixels by `ratio` (see devicepixels.h). False when it cannot be done
// here (then the window paints itself).
bool showPictureInDisplay(QWidget* window, long long key, const QImage& picture, double ratio);

// Gives a shown or hidden desktop window the outline `outline` (in the pixels the windows
// measure), scaled to the display's pixels by `ratio` exactly as showPictureInDisplay scales
// pictures; an empty outline takes the outline away. False when it cannot be done here (then
// Qt's window mask must do).
bool shapeDesktopWindow(QWidget* window, const QRegion& outline, double ratio);

} // namespace x11
