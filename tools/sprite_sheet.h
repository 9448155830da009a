#pragma once

#include <QImage>

// The pet's 900 x 400 sheet of 100-pixel cells on the magenta key colour, 24-bit RGB.
QImage makeSpriteSheet();

// The program icon: the whole pet facing the viewer, size x size with transparency (32 in the
// windows and the tray, 128 for the desktop's application menu).
QImage makeIcon(int size = 32);
