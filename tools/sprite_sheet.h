#pragma once

#include <QImage>

// The pet's 900 x 400 sheet of 100-pixel cells on the magenta key colour, 24-bit RGB.
QImage makeSpriteSheet();

// The program icon: the pet's face, 32 x 32 with transparency.
QImage makeIcon();
