#include "cursors.h"

#include <QPainter>
#include <QPolygon>

#include <functional>

namespace {

// A finger of width 3 from `top` down to `bottom`, its tip one pixel narrower on each side.
QPolygon finger(int x, int top, int bottom) {
    return QPolygon(
        {{x + 1, top}, {x + 1, top}, {x, top + 1}, {x, bottom}, {x + 2, bottom}, {x + 2, top + 1}});
}

void fill(QPainter& p, const QPolygon& poly) {
    p.drawPolygon(poly);
}

// The white silhouette is drawn first; every transparent pixel touching it becomes outline.
QImage handFrom(const std::function<void(QPainter&)>& silhouette,
                const std::function<void(QImage&)>& creases) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::white);
        p.setBrush(Qt::white);
        silhouette(p);
    }
    const QImage white = image.copy();
    auto isWhite = [&white](int x, int y) {
        return x >= 0 && y >= 0 && x < 32 && y < 32 && qAlpha(white.pixel(x, y)) != 0;
    };
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (isWhite(x, y)) continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (isWhite(x + dx, y + dy)) image.setPixel(x, y, qRgba(0, 0, 0, 255));
        }
    creases(image);
    return image;
}

void crease(QImage& image, int x, int top, int bottom) {
    for (int y = top; y <= bottom; ++y)
        image.setPixel(x, y, qRgba(0, 0, 0, 255));
}

void palmAndCuff(QPainter& p, int top) {
    fill(p, QPolygon({{6, top}, {20, top}, {20, 23}, {18, 26}, {8, 26}, {6, 23}}));
    p.drawRect(QRect(9, 27, 8, 2));
}

} // namespace

QImage makeOpenHand() {
    return handFrom(
        [](QPainter& p) {
            fill(p, finger(6, 5, 13));
            fill(p, finger(10, 3, 13));
            fill(p, finger(14, 4, 13));
            fill(p, finger(18, 7, 13));
            palmAndCuff(p, 12);
            fill(p, QPolygon({{6, 21}, {2, 15}, {2, 13}, {4, 13}, {6, 15}}));
        },
        [](QImage& image) {
            crease(image, 9, 11, 12);
            crease(image, 13, 11, 12);
            crease(image, 17, 11, 12);
        });
}

QImage makeGrabHand() {
    return handFrom(
        [](QPainter& p) {
            fill(p, finger(6, 9, 13));
            fill(p, finger(10, 8, 13));
            fill(p, finger(14, 8, 13));
            fill(p, finger(18, 9, 13));
            palmAndCuff(p, 12);
            fill(p, QPolygon({{6, 21}, {3, 18}, {3, 15}, {6, 15}}));
        },
        [](QImage& image) {
            // Curled fingers: their tips fold down over the palm.
            crease(image, 9, 10, 15);
            crease(image, 13, 10, 15);
            crease(image, 17, 10, 15);
            for (int x = 7; x <= 19; ++x)
                image.setPixel(x, 16, qRgba(0, 0, 0, 255));
        });
}

QImage makePointingHand() {
    return handFrom(
        [](QPainter& p) {
            fill(p, finger(6, 4, 14));
            fill(p, finger(10, 11, 14));
            fill(p, finger(14, 12, 14));
            fill(p, finger(18, 13, 14));
            palmAndCuff(p, 14);
            fill(p, QPolygon({{6, 22}, {3, 18}, {3, 16}, {6, 17}}));
        },
        [](QImage& image) {
            crease(image, 9, 12, 15);
            crease(image, 13, 13, 15);
            crease(image, 17, 14, 15);
        });
}
