#pragma once

#include <QColor>

class QPainter;

// The pet, drawn in flat colours with a dark outline. Every drawing works in its own box
// coordinates, (0, 0) at the box's top-left corner; callers place it with the painter's
// transform, so the same code serves the sprite cells (aliased, 1:1) and the dialog artwork
// (smooth, scaled).
namespace pet {

namespace colour {
inline const QColor outline{58, 34, 30};
inline const QColor body{255, 184, 80};
inline const QColor shade{232, 142, 50};
inline const QColor belly{255, 238, 200};
inline const QColor cheek{255, 140, 128};
inline const QColor innerEar{255, 168, 150};
inline const QColor eyeWhite{255, 255, 255};
inline const QColor pupil{34, 26, 44};
inline const QColor mouth{150, 34, 38};
inline const QColor tongue{255, 118, 112};
inline const QColor tear{120, 200, 255};
inline const QColor shell{250, 246, 232};
inline const QColor shellSpot{150, 210, 120};
} // namespace colour

enum class Face { Neutral, Speaking, Laughing, Asleep, Hurt };

// Facing the viewer; fills a 42 x 55 box.
void drawFront(QPainter& p, Face face);

enum class SidePose { Neutral, MouthOpen, Reaching, HeadRaised };

// In profile looking right. A standing pose fills a 71 x 57 box; `Reaching` needs all its width.
void drawSide(QPainter& p, SidePose pose);

// One walk frame in profile looking right, body at the box's left (offset added by the caller).
// `step` 0..4 goes from feet together to the longest stride; `otherLeg` swaps the leading foot.
void drawWalk(QPainter& p, int step, bool otherLeg);

// The whole egg (46 x 57 box) and the lower half of its shell after hatching (46 x 40 box).
void drawEgg(QPainter& p);
void drawShell(QPainter& p);

} // namespace pet
