#pragma once

// A message box as the program would show it, made but not shown, with each button's answer.

#include "platform/qt/qtmessageboxes.h"
#include "platform/qt/qtruntime.h"

#include <QMessageBox>

#include <memory>
#include <string>
#include <vector>

struct BuiltBox {
    std::unique_ptr<QMessageBox> box;
    std::vector<QtMessageBoxes::Choice> choices;
};

inline BuiltBox buildBox(const std::string& prompt, int style, const std::string& caption = "") {
    static QtRuntime runtime;
    static QtMessageBoxes boxes(runtime);
    BuiltBox b;
    b.box = boxes.build(prompt, style, caption, b.choices);
    return b;
}
