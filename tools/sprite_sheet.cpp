#include "sprite_sheet.h"

#include "pet_drawing.h"

#include <QFont>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr QRgb kKey = qRgb(255, 0, 255);
constexpr int kCell = 100;

using Drawing = std::function<void(QPainter&)>;

// A drawing made on its own transparent canvas, with the box its pixels cover.
struct Rendered {
    QImage image;
    QRect bounds;
};

Rendered render(const Drawing& draw) {
    QImage image(200, 200, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.translate(50, 50);
        draw(p);
    }
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(image.pixel(x, y));
            if (a != 0 && a != 255) {
                std::fprintf(stderr, "soft edge at %d,%d\n", x, y);
                std::exit(1);
            }
            if (a == 255) bounds |= QRect(x, y, 1, 1);
        }
    return {image, bounds};
}

QPoint cellOrigin(int cell) {
    return {kCell * (cell % 9), kCell * (cell / 9)};
}

void blit(QImage& sheet, int cell, const Rendered& r, QPoint shift, const QRect& box) {
    const QRect placed = r.bounds.translated(shift);
    if (!box.contains(placed)) {
        std::fprintf(stderr, "cell %d: drawing %d,%d-%d,%d outside its box\n", cell, placed.left(),
                     placed.top(), placed.right(), placed.bottom());
        std::exit(1);
    }
    const QPoint o = cellOrigin(cell);
    for (int y = r.bounds.top(); y <= r.bounds.bottom(); ++y)
        for (int x = r.bounds.left(); x <= r.bounds.right(); ++x) {
            const QRgb c = r.image.pixel(x, y);
            if (qAlpha(c) == 255)
                sheet.setPixel(o + QPoint(x, y) + shift, qRgb(qRed(c), qGreen(c), qBlue(c)));
        }
}

// Places a set of related poses by their common bounds, so that they stand on the same spot:
// bottom on the box's bottom, left edge on the box's left (or centred), plus each pose's own
// forward offset.
struct Pose {
    int cell;
    Drawing draw;
    int offset = 0;
};

void placeGroup(QImage& sheet, const std::vector<Pose>& poses, const QRect& box, bool centre) {
    std::vector<Rendered> rendered;
    QRect all;
    for (const Pose& pose : poses) {
        rendered.push_back(render(pose.draw));
        all |= rendered.back().bounds.translated(pose.offset, 0);
    }
    const int left = centre ? box.left() + (box.width() - all.width()) / 2 : box.left();
    const QPoint shift(left - all.left(), box.bottom() - all.bottom());
    std::printf("group in %d,%d-%d,%d covers %d,%d-%d,%d\n", box.left(), box.top(), box.right(),
                box.bottom(), all.left() + shift.x(), all.top() + shift.y(),
                all.right() + shift.x(), all.bottom() + shift.y());
    for (size_t i = 0; i < poses.size(); ++i)
        blit(sheet, poses[i].cell, rendered[i], shift + QPoint(poses[i].offset, 0), box);
}

void mirrorCells(QImage& sheet, int from, int to, int count) {
    for (int i = 0; i < count; ++i) {
        const QPoint src = cellOrigin(from + i), dst = cellOrigin(to + i);
        const QImage flipped = sheet.copy(QRect(src, QSize(kCell, kCell))).mirrored(true, false);
        QPainter p(&sheet);
        p.drawImage(dst, flipped);
    }
}

QFont dejaVu(int pixelSize, bool bold) {
    QFont f("DejaVu Sans");
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// Cells 7 and 8: a name plate, never shown by the pet.
void namePlate(QImage& sheet) {
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect plate(cellOrigin(7), QSize(2 * kCell, kCell));
    p.fillRect(plate, QColor(255, 244, 214));
    p.setPen(QPen(pet::colour::outline, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(plate.adjusted(4, 4, -4, -4), 12, 12);
    p.setFont(dejaVu(30, true));
    p.drawText(plate.adjusted(0, 12, 0, -44), Qt::AlignCenter, "Pimbolet");
    p.setFont(dejaVu(13, false));
    p.drawText(plate.adjusted(0, 54, 0, -14), Qt::AlignCenter, "a little friend\nfor your desktop");
}

// Cell 35: the pet's badge, never shown by the pet.
void badge(QImage& sheet) {
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect cell(cellOrigin(35), QSize(kCell, kCell));
    p.fillRect(cell, QColor(120, 190, 240));
    p.setPen(QPen(pet::colour::outline, 3));
    p.setBrush(QColor(255, 244, 214));
    p.drawEllipse(cell.adjusted(6, 6, -6, -6));
    p.translate(cell.topLeft() + QPoint(22, 14));
    p.scale(1.35, 1.35);
    pet::drawFront(p, pet::Face::Laughing);
}

} // namespace

QImage makeSpriteSheet() {
    QImage sheet(9 * kCell, 4 * kCell, QImage::Format_RGB32);
    sheet.fill(kKey);

    using pet::Face;
    auto front = [](Face f) { return [f](QPainter& p) { pet::drawFront(p, f); }; };
    placeGroup(sheet,
               {{0, front(Face::Neutral)},
                {1, front(Face::Speaking)},
                {2, front(Face::Laughing)},
                {3, front(Face::Asleep)},
                {4, front(Face::Hurt)}},
               QRect(QPoint(30, 33), QPoint(71, 87)), true);

    placeGroup(sheet, {{5, pet::drawEgg}}, QRect(QPoint(1, 41), QPoint(46, 97)), false);
    placeGroup(sheet, {{6, pet::drawShell}}, QRect(QPoint(1, 57), QPoint(46, 96)), false);

    // Nine frames: the body creeps forward 3 pixels a frame within the cell, and the window's
    // stride after frames 13 and 17 takes it back to the start.
    std::vector<Pose> walk;
    for (int i = 0; i < 9; ++i) {
        const int step = i < 5 ? i : i - 5;
        const bool otherLeg = i >= 5;
        walk.push_back(
            {9 + i, [step, otherLeg](QPainter& p) { pet::drawWalk(p, step, otherLeg); }, 3 * step});
    }
    placeGroup(sheet, walk, QRect(QPoint(18, 26), QPoint(98, 85)), false);

    using pet::SidePose;
    auto side = [](SidePose s) { return [s](QPainter& p) { pet::drawSide(p, s); }; };
    placeGroup(sheet,
               {{27, side(SidePose::Neutral)},
                {28, side(SidePose::MouthOpen)},
                {29, side(SidePose::Reaching)},
                {30, side(SidePose::HeadRaised)}},
               QRect(QPoint(18, 27), QPoint(88, 83)), false);

    mirrorCells(sheet, 9, 18, 9);
    mirrorCells(sheet, 27, 31, 4);
    namePlate(sheet);
    badge(sheet);
    return sheet.convertToFormat(QImage::Format_RGB888);
}

QImage makeIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    // The whole pet as the sheet's cell 0 shows it, feet and all, standing on the icon's lower
    // edge; drawn at the icon's own size with hard edges, as the sprites are, so that no size
    // is a blurred copy of another. The quarter-pixel shift puts both eyes' highlights on
    // whole pixels at 32 and above; the small sizes have shifts of their own that keep both
    // eyes open with their pupils apart.
    p.setRenderHint(QPainter::Antialiasing, false);
    const QPointF shift = size == 16   ? QPointF(0, 0)
                          : size == 22 ? QPointF(0.25, 0.5)
                          : size == 24 ? QPointF(0, 0.75)
                                       : QPointF(0.25, 0.25);
    const double k = 0.56 * size / 32.0;
    p.translate(std::floor((size - 42 * k) / 2) + shift.x(), size - 55 * k - shift.y());
    p.scale(k, k);
    pet::drawFront(p, pet::Face::Neutral);
    return icon;
}
