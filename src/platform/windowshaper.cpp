#include "windowshaper.h"

#include "window.h"

#include <QHash>

WindowShaper::WindowShaper(Window& window, QRgb keyColour) : m_window(window), m_key(keyColour) {}

void WindowShaper::SetPicture(const Picture& picture) {
    // Outlines are kept per picture: the sheet's cells never change while the program runs.
    static QHash<int64_t, QRegion> cache;
    if (picture.Key() < 0) {
        m_window.SetShape(OutlineOf(picture.Image(), m_key));
        return;
    }
    auto it = cache.find(picture.Key());
    if (it == cache.end()) it = cache.insert(picture.Key(), OutlineOf(picture.Image(), m_key));
    m_window.SetShape(it.value());
}

QRegion WindowShaper::OutlineOf(const QImage& image, QRgb keyColour) {
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const QRgb key = keyColour | 0xff000000u;
    QRegion region;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int x = 0;
        while (x < img.width()) {
            while (x < img.width() && (row[x] | 0xff000000u) == key)
                ++x;
            const int start = x;
            while (x < img.width() && (row[x] | 0xff000000u) != key)
                ++x;
            if (x > start) region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}
