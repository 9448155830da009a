#include "dialogkeys.h"

#include <QKeyEvent>
#include <QPushButton>

bool DialogKeyPress(QWidget& window, QKeyEvent& event, const std::function<void()>& cancel) {
    if (event.modifiers() & ~Qt::KeypadModifier) return false;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Elsewhere (the name box, a check box) Enter does nothing: no button is the default.
        if (auto* button = qobject_cast<QPushButton*>(window.focusWidget())) {
            button->click();
            return true;
        }
        return false;
    case Qt::Key_Escape:
        cancel();
        return true;
    default:
        return false;
    }
}
