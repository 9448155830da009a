#pragma once

#include <QImage>

// 32 x 32 hand cursors, white with a black outline on a transparent ground.
QImage makeOpenHand();     // hot spot (11, 13), on the palm
QImage makeGrabHand();     // hot spot (11, 14), on the closed fingers
QImage makePointingHand(); // hot spot (7, 4), the tip of the raised index finger
