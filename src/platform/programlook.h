#pragma once

#include "picture.h"

#include <QFont>
#include <QIcon>

// What every window of the program shares where the desktop draws it: one icon in title bars
// and the task bar, and the font the windows were laid out for.
namespace programlook {

// The program's 32 x 32 icon: the options dialog's icon and the tray icon's picture.
const Picture& IconPicture();

// The program's icon in every size it is drawn at, the same for every window and message box.
QIcon WindowIcon();

// A picture as the desktop shows it (the tray): the program's own icon picture brings every
// drawn size with it; any other picture is the one size it has. Null for a null picture.
QIcon IconOf(const Picture& picture);

// "MS Sans Serif" 8 pt, drawn in the nearest font of the same widths that a Linux desktop has,
// so that every caption fits its control.
QFont DesignFont();

} // namespace programlook
