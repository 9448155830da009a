#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>

#include <vector>

// Pictures and outlines as a display draws them that shows each pixel of the screen the windows
// measure as `ratio` pixels of its own (see ScreenPlacement). Both are scaled here by one rule,
// edge n of a pixel falling on display pixel round(n x ratio), so that a picture's pixels and
// its outline cover the same display pixels at any ratio, 1.25 as well as 2. (Qt scales window
// masks and painted pictures each by rules of its own, which need not agree at the edges.)
namespace devicepixels {

int Edge(int n, double ratio);

// Nearest neighbour: every display pixel takes the colour of the picture's pixel it lies in,
// so hard edges stay hard and no key colour blends into the drawing. The result says its
// ratio, so that a painter draws it pixel for pixel.
QImage Scaled(const QImage& image, double ratio);

// The display pixels of an outline, as rectangles that do not overlap.
std::vector<QRect> Scaled(const QRegion& outline, double ratio);

} // namespace devicepixels
