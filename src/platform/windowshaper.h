#pragma once

#include "picture.h"

#include <QRegion>

class Window;

// Gives a window the outline of a picture's pixels that are not the key colour.
class WindowShaper {
  public:
    explicit WindowShaper(Window& window, QRgb keyColour = qRgb(255, 0, 255));

    void SetPicture(const Picture& picture);

    // The outline of a picture's non-key pixels, in pixels from its top-left corner.
    static QRegion OutlineOf(const QImage& image, QRgb keyColour);

  private:
    Window& m_window;
    QRgb m_key;
};
