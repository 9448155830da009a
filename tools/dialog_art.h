#pragma once

#include <QImage>

// The splash banner's title: the pet and the program's name, 182 x 121, opaque.
QImage makeTitle();

// The options dialog's background, 191 x 155; the check boxes sit on its green lower band.
QImage makeOptionsBackground();

// The maker's logo, 87 x 71, its ground one fully transparent colour.
QImage makeLogo();
