#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

// The keys of a dialog as on the desktop the program was designed for: Enter presses the push
// button that has the focus, Escape does what the dialog's own way out does (`cancel`). The
// window passes on every key press that none of its controls took; true when this was one of
// those keys.
bool DialogKeyPress(QWidget& window, QKeyEvent& event, const std::function<void()>& cancel);
