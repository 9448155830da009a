#include "controls.h"

#include "errors.h"

#include <QMouseEvent>

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

Label::Label(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAttribute(Qt::WA_NoMousePropagation);
}

void Label::SetMouseMove(std::function<void()> handler) {
    m_mouseMove = std::move(handler);
    setMouseTracking(true);
}

QColor Label::ForeColor() const {
    return palette().color(QPalette::WindowText);
}

void Label::SetForeColor(const QColor& colour) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, colour);
    setPalette(pal);
}

void Label::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
}

void Label::mouseReleaseEvent(QMouseEvent* event) {
    const bool clicked = m_pressed && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    m_pressed = false;
    if (clicked && Click) Click();
}

void Label::mouseMoveEvent(QMouseEvent*) {
    if (m_mouseMove) m_mouseMove();
}

CommandButton::CommandButton(const QString& caption, QWidget* parent, std::function<void()> onClick)
    : QPushButton(caption, parent) {
    setAttribute(Qt::WA_NoMousePropagation);
    connect(this, &QPushButton::clicked, this, [onClick = std::move(onClick)] { onClick(); });
}

void CommandButton::SetMouseMove(std::function<void()> handler) {
    m_mouseMove = std::move(handler);
    setMouseTracking(true);
}

void CommandButton::mouseMoveEvent(QMouseEvent* event) {
    if (m_mouseMove) m_mouseMove();
    QPushButton::mouseMoveEvent(event);
}
