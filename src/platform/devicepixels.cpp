#include "devicepixels.h"

#include <cmath>

namespace devicepixels {

int Edge(int n, double ratio) {
    return static_cast<int>(std::lround(n * ratio));
}

QImage Scaled(const QImage& image, double ratio) {
    if (ratio == 1.0 || image.isNull()) return image;
    const QImage src = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                     : QImage::Format_RGB32);
    QImage out(Edge(src.width(), ratio), Edge(src.height(), ratio), src.format());
    // The picture's column (and row) under each display column (and row).
    auto sources = [ratio](int count) {
        std::vector<int> from;
        for (int n = 0; n < count; ++n)
            from.insert(from.end(), static_cast<size_t>(Edge(n + 1, ratio) - Edge(n, ratio)), n);
        return from;
    };
    const std::vector<int> fromX = sources(src.width());
    const std::vector<int> fromY = sources(src.height());
    for (int y = 0; y < out.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(fromY[size_t(y)]));
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            row[x] = in[fromX[size_t(x)]];
    }
    out.setDevicePixelRatio(ratio);
    return out;
}

std::vector<QRect> Scaled(const QRegion& outline, double ratio) {
    std::vector<QRect> rects;
    rects.reserve(static_cast<size_t>(outline.rectCount()));
    for (const QRect& r : outline) {
        const QRect scaled(QPoint(Edge(r.left(), ratio), Edge(r.top(), ratio)),
                           QPoint(Edge(r.right() + 1, ratio) - 1, Edge(r.bottom() + 1, ratio) - 1));
        if (!scaled.isEmpty()) rects.push_back(scaled);
    }
    return rects;
}

} // namespace devicepixels
