#pragma once

class QWidget;

// The few X11 calls the windows need beyond Qt. Each does nothing unless the program runs on
// X11 with a live connection (the offscreen platform used by tests has none).
namespace x11 {

// The window property that records whether a window is in the topmost band.
constexpr const char* kTopmostProperty = "pimbolet-topmost";

bool available();

// Marks a window that stands outside the window manager (an override-redirect window) for
// the tools that read window states: never in a task list or pager, and above the others or
// not. The states are set on the window's own property, the only place such a window has.
void setDesktopWindowState(QWidget* window, bool above);

// Asks to be told, by a call of `onChange`, when the desktop's active window or stacking
// order changes, so that a window keeping itself on top can rise again at once. Safe to call
// more than once; the callback is shared by all callers.
void watchStacking(void (*onChange)());

} // namespace x11
