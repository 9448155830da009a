#pragma once

#include <QByteArray>

// Where this user's things are kept, as the file system's own bytes.

// $HOME, or the home folder the password database gives when HOME is unset or empty.
QByteArray homeFolder();

// $XDG_CONFIG_HOME when it is an absolute path; otherwise (unset, empty or relative, which the
// XDG base directory rules say to ignore) .config in the home folder.
QByteArray configHome();
