#include "dialog_art.h"

#include "pet_drawing.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// The green that the banner's strip and the dialog's check boxes are painted with.
const QColor kGreen(0, 192, 0);

QFont dejaVu(int pixelSize, bool bold, bool smooth = true) {
    QFont f("DejaVu Sans");
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    if (!smooth) f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

// Text centred on `centreX` with its baseline at `baseline`, filled and outlined.
void outlinedText(QPainter& p, const QString& text, const QFont& font, double centreX,
                  double baseline, const QColor& fill, double outline) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    path.translate(centreX - path.boundingRect().center().x(), baseline);
    p.setPen(QPen(pet::colour::outline, outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
}

void hills(QPainter& p, int width, int height, int top) {
    QPainterPath back;
    back.moveTo(0, top + 6);
    back.cubicTo(width * 0.3, top - 8, width * 0.6, top + 10, width, top - 2);
    back.lineTo(width, height);
    back.lineTo(0, height);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 214, 96));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(0, top + 14);
    front.cubicTo(width * 0.35, top + 4, width * 0.7, top + 18, width, top + 12);
    front.lineTo(width, height);
    front.lineTo(0, height);
    p.setBrush(kGreen);
    p.drawPath(front);
}

void sparkle(QPainter& p, QPointF c, double r) {
    QPainterPath star;
    star.moveTo(c.x(), c.y() - r);
    star.quadTo(c, QPointF(c.x() + r, c.y()));
    star.quadTo(c, QPointF(c.x(), c.y() + r));
    star.quadTo(c, QPointF(c.x() - r, c.y()));
    star.quadTo(c, QPointF(c.x(), c.y() - r));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 252, 210));
    p.drawPath(star);
}

} // namespace

QImage makeTitle() {
    QImage image(182, 121, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 121);
    sky.setColorAt(0, QColor(120, 190, 250));
    sky.setColorAt(1, QColor(214, 238, 255));
    p.fillRect(image.rect(), sky);
    sparkle(p, {14, 14}, 5);
    sparkle(p, {168, 10}, 4);
    sparkle(p, {160, 68}, 5);
    sparkle(p, {112, 74}, 3);

    // The lower right stays plain grass: the version number is written over it.
    hills(p, 182, 121, 92);

    outlinedText(p, "Virtual Pet", dejaVu(15, true), 91, 20, Qt::white, 3);
    outlinedText(p, "Pimbolet", dejaVu(31, true), 91, 52, pet::colour::body, 4);

    p.save();
    p.translate(26, 56);
    p.scale(1.12, 1.12);
    pet::drawFront(p, pet::Face::Laughing);
    p.restore();
    p.save();
    p.translate(78, 83);
    p.scale(0.62, 0.62);
    pet::drawShell(p);
    p.restore();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage makeOptionsBackground() {
    QImage image(191, 155, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient paper(0, 0, 0, 90);
    paper.setColorAt(0, QColor(255, 250, 232));
    paper.setColorAt(1, QColor(255, 238, 204));
    p.fillRect(image.rect(), paper);

    // Faint dots, too light to disturb the black writing over them.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 226, 180));
    for (int y = 6; y < 80; y += 12)
        for (int x = (y / 12) % 2 ? 12 : 6; x < 191; x += 12)
            p.drawEllipse(QPointF(x, y), 1.5, 1.5);

    // The check boxes are painted the same green, so the band and they read as one.
    hills(p, 191, 155, 74);
    p.fillRect(QRect(0, 88, 191, 67), kGreen);

    // The small pet stands on the hill right of the name box, clear of the dialog's black rule
    // above it (row 56, up to column 175) and of the check boxes below (from row 88).
    p.save();
    p.translate(167, 60);
    p.scale(0.44, 0.44);
    pet::drawFront(p, pet::Face::Neutral);
    p.restore();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage makeLogo() {
    // Drawn without smoothing so that the ground is one exact colour, then made see-through.
    const QRgb ground = qRgb(0, 128, 128);
    QImage image(87, 71, QImage::Format_RGB32);
    image.fill(ground);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(250, 196, 40), 3));
        p.setBrush(QColor(28, 40, 96));
        p.drawRoundedRect(QRect(3, 10, 80, 50), 12, 12);
        p.setPen(QPen(QColor(230, 60, 50), 3));
        p.drawLine(16, 51, 70, 51);
        p.setFont(dejaVu(30, true, false));
        p.setPen(QColor(250, 196, 40));
        p.drawText(QRect(3, 8, 80, 44), Qt::AlignCenter, "KOZ");
    }
    QImage logo = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            if (image.pixel(x, y) == ground) logo.setPixel(x, y, qRgba(0, 128, 128, 0));
    return logo;
}
