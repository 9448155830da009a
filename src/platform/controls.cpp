#include "controls.h"

#include "errors.h"

CheckBox::CheckBox(const QString& caption, QWidget* parent, std::function<void()> onClick)
    : QCheckBox(caption, parent), m_onClick(std::move(onClick)) {
    // The box sits close to its caption, as the dialogs were laid out for.
    setStyleSheet(QStringLiteral("QCheckBox { spacing: 3px; }"));
    connect(this, &QCheckBox::stateChanged, this, [this] {
        if (m_onClick) m_onClick();
    });
}

int16_t CheckBox::Value() const {
    switch (checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Checked:
        break;
    }
    return 1;
}

void CheckBox::SetValue(int16_t value) {
    if (value < 0 || value > 2) throw RuntimeError(380, "Invalid property value");
    if (value == 2) setTristate(true);
    setCheckState(value == 0 ? Qt::Unchecked : value == 1 ? Qt::Checked : Qt::PartiallyChecked);
}
