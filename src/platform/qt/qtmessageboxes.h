#pragma once

#include "platform/services.h"

#include <QFont>
#include <QMessageBox>

#include <memory>

class QtMessageBoxes : public MessageBoxes {
  public:
    struct Choice {
        QMessageBox::StandardButton button;
        int answer;
    };

    explicit QtMessageBoxes(Runtime& runtime);
    int MsgBox(const std::string& prompt, int style, const std::string& caption) override;

    // The box for a style code, made but not shown; `choices` receives each button's answer.
    std::unique_ptr<QMessageBox> build(const std::string& prompt, int style,
                                       const std::string& caption,
                                       std::vector<Choice>& choices) const;
    // The answer for what exec() returned.
    static int answer(int clicked, const std::vector<Choice>& choices);

  private:
    Runtime& m_runtime;
    QFont m_font;
};
