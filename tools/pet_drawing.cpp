#include "pet_drawing.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace pet {
namespace {

// The outline pen. Drawn without smoothing and scaled below one pixel, a line would be blended
// into what lies under it (soft half-tones in a small icon): there it is one whole pixel wide.
QPen outlinePen(const QPainter& p, double width) {
    QPen pen(colour::outline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const double scale = std::sqrt(std::abs(p.transform().determinant()));
    if (!p.testRenderHint(QPainter::Antialiasing) && width * scale < 1.0) {
        pen.setCosmetic(true);
        pen.setWidth(1);
    }
    return pen;
}

void outlined(QPainter& p, const QColor& fill, double width = 2.0) {
    p.setPen(outlinePen(p, width));
    p.setBrush(fill);
}

void flat(QPainter& p, const QColor& fill) {
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
}

void line(QPainter& p, double width = 2.0) {
    p.setPen(outlinePen(p, width));
    p.setBrush(Qt::NoBrush);
}

// An ellipse turned by `degrees` about its centre.
void turnedEllipse(QPainter& p, QPointF centre, double w, double h, double degrees) {
    p.save();
    p.translate(centre);
    p.rotate(degrees);
    p.drawEllipse(QRectF(-w / 2, -h / 2, w, h));
    p.restore();
}

void ear(QPainter& p, QPointF centre, double degrees, const QColor& fill) {
    outlined(p, fill);
    turnedEllipse(p, centre, 11, 17, degrees);
    flat(p, colour::innerEar);
    turnedEllipse(p, centre + QPointF(0, 1), 5, 10, degrees);
}

// Three curled strands of hair, centred on x, their tips near y = top.
void tuft(QPainter& p, double x, double top, double sway) {
    QPainterPath path;
    path.moveTo(x - 5, top + 12);
    path.quadTo(x - 8 + sway, top + 3, x - 2 + sway, top);
    path.quadTo(x - 3 + sway, top + 5, x + sway, top + 7);
    path.quadTo(x + 2 + sway, top + 1, x + 7 + sway, top + 2);
    path.quadTo(x + 3 + sway, top + 6, x + 5, top + 12);
    path.closeSubpath();
    outlined(p, colour::shade);
    p.drawPath(path);
}

void eye(QPainter& p, QRectF white, QPointF look, double pupilW, double pupilH) {
    outlined(p, colour::eyeWhite, 1.0);
    p.drawEllipse(white);
    const QPointF c = white.center() + look;
    flat(p, colour::pupil);
    p.drawEllipse(QRectF(c.x() - pupilW / 2, c.y() - pupilH / 2, pupilW, pupilH));
    flat(p, colour::eyeWhite);
    p.drawRect(
        QRectF(std::round(c.x() - pupilW / 2 + 1), std::round(c.y() - pupilH / 2 + 1), 2, 2));
}

void openMouth(QPainter& p, QRectF r) {
    outlined(p, colour::mouth, 1.0);
    p.drawEllipse(r);
    flat(p, colour::tongue);
    p.drawEllipse(QRectF(r.x() + r.width() * 0.25, r.bottom() - r.height() * 0.45, r.width() * 0.5,
                         r.height() * 0.35));
}

} // namespace

void drawFront(QPainter& p, Face face) {
    ear(p, {9, 11}, -28, colour::body);
    ear(p, {33, 11}, 28, colour::body);
    tuft(p, 21, 1, 0);

    outlined(p, colour::shade);
    p.drawEllipse(QRectF(8, 46, 12, 8));
    p.drawEllipse(QRectF(22, 46, 12, 8));

    outlined(p, colour::body);
    p.drawEllipse(QRectF(2, 13, 38, 36));
    flat(p, colour::belly);
    p.drawEllipse(QRectF(12, 35, 18, 12));

    outlined(p, colour::body);
    p.drawEllipse(QRectF(0.5, 31, 6, 9));
    p.drawEllipse(QRectF(35.5, 31, 6, 9));

    flat(p, colour::cheek);
    p.drawEllipse(QRectF(5, 33, 6, 4));
    p.drawEllipse(QRectF(31, 33, 6, 4));

    const QRectF leftEye(9, 19, 10, 13), rightEye(23, 19, 10, 13);
    switch (face) {
    case Face::Neutral:
    case Face::Speaking:
        eye(p, leftEye, {1, 1}, 6, 8);
        eye(p, rightEye, {-1, 1}, 6, 8);
        break;
    case Face::Laughing:
        line(p, 2.5);
        p.drawArc(QRectF(9, 23, 10, 9), 20 * 16, 140 * 16);
        p.drawArc(QRectF(23, 23, 10, 9), 20 * 16, 140 * 16);
        break;
    case Face::Asleep:
        line(p, 2.0);
        p.drawArc(QRectF(9, 22, 10, 7), 200 * 16, 140 * 16);
        p.drawArc(QRectF(23, 22, 10, 7), 200 * 16, 140 * 16);
        break;
    case Face::Hurt:
        eye(p, QRectF(8, 17, 12, 15), {0, 0}, 4, 5);
        eye(p, QRectF(22, 17, 12, 15), {0, 0}, 4, 5);
        line(p, 1.5);
        p.drawLine(QPointF(9, 15), QPointF(16, 13));
        p.drawLine(QPointF(26, 13), QPointF(33, 15));
        break;
    }

    switch (face) {
    case Face::Neutral:
        line(p, 1.5);
        p.drawArc(QRectF(17, 33, 8, 5), 200 * 16, 140 * 16);
        break;
    case Face::Speaking:
        openMouth(p, QRectF(17, 34, 8, 7));
        break;
    case Face::Laughing:
        outlined(p, colour::mouth, 1.0);
        p.drawChord(QRectF(14, 29, 14, 13), 180 * 16, 180 * 16);
        flat(p, colour::tongue);
        p.drawEllipse(QRectF(18, 38, 6, 3));
        break;
    case Face::Asleep:
        outlined(p, colour::mouth, 1.0);
        p.drawEllipse(QRectF(19.5, 35, 3, 3));
        break;
    case Face::Hurt:
        openMouth(p, QRectF(16.5, 34, 9, 9));
        flat(p, colour::tear);
        p.drawEllipse(QRectF(5, 27, 3, 5));
        break;
    }
}

namespace {

// The body seen from the side, without feet: shared by the standing poses and the walk.
struct Side {
    double tailSway = 0;
    double tuftSway = 0;
    double armDx = 0;
    bool mouthOpen = false;
    bool reaching = false;
    bool lookUp = false;
};

void sideBody(QPainter& p, const Side& s) {
    QPainterPath tail;
    tail.moveTo(17, 36);
    tail.quadTo(4, 38 + s.tailSway, 2, 28 + s.tailSway);
    tail.quadTo(9, 31 + s.tailSway * 0.5, 18, 29);
    tail.closeSubpath();
    outlined(p, colour::shade);
    p.drawPath(tail);

    ear(p, {25, 11}, -40, colour::shade);
    ear(p, {32, 9}, -14, colour::body);
    tuft(p, 41, 3, s.tuftSway);

    const QRectF bodyRect(14, 13, 40, 36);
    outlined(p, colour::body);
    p.drawEllipse(bodyRect);

    QPainterPath inside;
    inside.addEllipse(bodyRect.adjusted(1, 1, -1, -1));
    p.save();
    p.setClipPath(inside);
    flat(p, colour::belly);
    p.drawEllipse(QRectF(36, 33, 20, 16));
    p.restore();

    flat(p, colour::cheek);
    p.drawEllipse(QRectF(39, 32, 7, 4));
    eye(p, QRectF(39, 18, 10, 13), s.lookUp ? QPointF(2, -2) : QPointF(2, 1), 5, 8);

    if (s.mouthOpen) {
        openMouth(p, QRectF(45, 31, 10, 11));
    } else {
        line(p, 1.5);
        p.drawArc(QRectF(47, 31, 7, 5), 200 * 16, 110 * 16);
    }

    outlined(p, colour::body);
    if (s.reaching) {
        turnedEllipse(p, {52, 37}, 20, 7, -12);
        p.drawEllipse(QRectF(59, 30, 8, 8));
    } else {
        outlined(p, colour::shade);
        turnedEllipse(p, {46 + s.armDx, 42}, 8, 6, 30);
    }
}

void foot(QPainter& p, double x, double lift, bool far) {
    outlined(p, far ? colour::shade.darker(115) : colour::shade);
    p.drawEllipse(QRectF(x, 46 - lift, 13, 8));
}

} // namespace

void drawSide(QPainter& p, SidePose pose) {
    foot(p, 23, 0, true);
    foot(p, 36, 0, false);
    Side s;
    s.mouthOpen = pose == SidePose::MouthOpen;
    s.reaching = pose == SidePose::Reaching;
    s.lookUp = pose == SidePose::HeadRaised;
    if (pose == SidePose::HeadRaised) {
        // Lean back from the feet so that the face turns upwards.
        p.save();
        p.translate(34, 50);
        p.rotate(-11);
        p.translate(-34, -50);
        sideBody(p, s);
        p.restore();
        return;
    }
    sideBody(p, s);
}

void drawWalk(QPainter& p, int step, bool otherLeg) {
    const double phase = step / 4.0 * std::numbers::pi;
    const double reach = 10 * std::cos(phase) * (otherLeg ? -1 : 1);
    const double lift = 3 * std::sin(phase);
    const double bob = std::round(-1.5 * std::sin(phase));
    // The foot that swings forward is the one off the ground.
    const bool nearSwings = otherLeg;
    foot(p, 29 - reach, nearSwings ? 0 : lift, true);
    foot(p, 29 + reach, nearSwings ? lift : 0, false);

    Side s;
    s.armDx = -reach / 2;
    s.tailSway = (otherLeg ? -1 : 1) * 3 * std::cos(phase);
    s.tuftSway = (otherLeg ? 1 : -1) * std::sin(phase);
    p.save();
    p.translate(0, bob);
    sideBody(p, s);
    p.restore();
}

namespace {

QPainterPath eggPath() {
    QPainterPath path;
    path.moveTo(23, 1);
    path.cubicTo(36, 1, 45, 26, 45, 38);
    path.cubicTo(45, 50, 35, 56, 23, 56);
    path.cubicTo(11, 56, 1, 50, 1, 38);
    path.cubicTo(1, 26, 10, 1, 23, 1);
    return path;
}

void spots(QPainter& p) {
    flat(p, colour::shellSpot);
    p.drawEllipse(QRectF(12, 12, 8, 6));
    p.drawEllipse(QRectF(28, 22, 10, 7));
    p.drawEllipse(QRectF(7, 30, 7, 9));
    p.drawEllipse(QRectF(21, 40, 11, 8));
    p.drawEllipse(QRectF(36, 40, 6, 6));
}

} // namespace

void drawEgg(QPainter& p) {
    const QPainterPath egg = eggPath();
    flat(p, colour::shell);
    p.drawPath(egg);
    p.save();
    p.setClipPath(egg);
    spots(p);
    p.restore();
    outlined(p, Qt::NoBrush);
    p.setBrush(Qt::NoBrush);
    p.drawPath(egg);
}

void drawShell(QPainter& p) {
    // The egg's lower part below a zigzag break.
    QPainterPath below;
    below.moveTo(0, 26);
    const double teeth[] = {20, 27, 19, 26, 18, 25, 20, 27, 21};
    for (int i = 0; i < 9; ++i)
        below.lineTo(i * 5.75, teeth[i]);
    below.lineTo(47, 26);
    below.lineTo(47, 60);
    below.lineTo(0, 60);
    below.closeSubpath();
    const QPainterPath shell = eggPath().intersected(below);

    flat(p, colour::shell);
    p.drawPath(shell);
    p.save();
    p.setClipPath(shell);
    spots(p);
    flat(p, colour::shell.darker(118));
    p.drawEllipse(QRectF(3, 20, 40, 14));
    p.restore();
    outlined(p, Qt::NoBrush);
    p.setBrush(Qt::NoBrush);
    p.drawPath(shell);
}

} // namespace pet
