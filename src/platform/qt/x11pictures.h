#pragma once

#include <xcb/xcb.h>

#include <QHash>
#include <QPair>

#include <cstdint>

class QImage;
class QRegion;
class X11Link;

// The pictures and outlines of desktop windows, kept in the display: a picture becomes the
// window's background, which the display repaints on its own; an outline is an XShape.
class X11Pictures {
  public:
    explicit X11Pictures(const X11Link& link);

    // False when this window's pixels are not laid out as a QImage's (then it paints itself).
    bool show(xcb_window_t id, int64_t key, const QImage& picture, double ratio);
    // False without the shape extension.
    bool outline(xcb_window_t id, const QRegion& outline, double ratio);
    // Forgets a window that is gone: X gives its id to the next window made.
    void forget(xcb_window_t id);

  private:
    // How the display stores a window's pixels: usable when it is the plain 24-bit colour
    // layout that a QImage of RGB32 pixels already has.
    struct PixelLayout {
        uint8_t depth = 0;
        bool usable = false;
    };
    PixelLayout layoutFor(xcb_window_t id) const;
    bool prepare(xcb_window_t id);

    const X11Link& m_link;
    bool m_hasShape;
    // The windows made ready to be drawn by the display, with their pixels' layout.
    QHash<xcb_window_t, PixelLayout> m_windows;
    // The pictures already kept in the display, by the key of the picture they hold and the
    // scale they were drawn at (in thousandths).
    QHash<QPair<int64_t, int>, xcb_pixmap_t> m_kept;
};
