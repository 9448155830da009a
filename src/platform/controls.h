#pragma once

#include <QCheckBox>

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
