#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <cstdint>
#include <functional>

// A check box with a numeric value (0 unticked, 1 ticked, 2 greyed). Its click handler runs
// when the user clicks it and whenever the program sets a value other than the one it holds.
class CheckBox : public QCheckBox {
    Q_OBJECT
  public:
    CheckBox(const QString& caption, QWidget* parent, std::function<void()> onClick = {});

    int16_t Value() const;
    void SetValue(int16_t value);

  private:
    std::function<void()> m_onClick;
};

// A label: transparent, its text from the top left. It takes the mouse events over it, so
// none reaches the window beneath.
class Label : public QLabel {
  public:
    Label(const QString& caption, QWidget* parent);

    // Runs when the left button is pressed and let go over the label.
    std::function<void()> Click;
    // Runs on every move of the mouse over the label, with or without a button held.
    void SetMouseMove(std::function<void()> handler);

    QColor ForeColor() const;
    void SetForeColor(const QColor& colour);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    std::function<void()> m_mouseMove;
    bool m_pressed = false;
};

// A push button whose mouse moves, too, go to a handler of the window.
class CommandButton : public QPushButton {
  public:
    CommandButton(const QString& caption, QWidget* parent, std::function<void()> onClick);

    void SetMouseMove(std::function<void()> handler);

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    std::function<void()> m_mouseMove;
};
