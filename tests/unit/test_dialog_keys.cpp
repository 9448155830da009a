#include "companions/About.h"
#include "companions/Form2.h"
#include "pet_fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <functional>

// Enter and Escape in the options dialog and the About box, typed into whichever control has
// the focus: Enter presses a focused push button and nothing else, Escape is the dialog's own
// way out ("Close Window", "OK"), which hides it and leaves it loaded.
namespace {
class DialogKeys : public PetTest {
  protected:
    void SetUp() override {
        p.settings.Set("birth", "2025-01-02 03:04:05");
        ASSERT_TRUE(Start());
    }
    // Shows the window, puts the focus on `control` and types the key there.
    void type(Window& window, QWidget& control, int key,
              Qt::KeyboardModifiers mods = Qt::NoModifier) {
        window.Show();
        control.setFocus();
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QCoreApplication::sendEvent(&control, &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods);
        QCoreApplication::sendEvent(&control, &release);
    }
};

struct Row {
    const char* what;
    std::function<QWidget&(Form2&)> control;
    int key;
    Qt::KeyboardModifiers mods;
    bool hidden;
};
} // namespace

TEST_F(DialogKeys, OptionsDialog) {
    const std::vector<Row> rows = {
        {"Enter on Close Window", [](Form2& f) -> QWidget& { return f.Command1; }, Qt::Key_Return,
         Qt::NoModifier, true},
        {"keypad Enter on Close Window", [](Form2& f) -> QWidget& { return f.Command1; },
         Qt::Key_Enter, Qt::KeypadModifier, true},
        {"Enter in the name box", [](Form2& f) -> QWidget& { return f.Text1; }, Qt::Key_Return,
         Qt::NoModifier, false},
        {"Enter on a check box", [](Form2& f) -> QWidget& { return f.Check1; }, Qt::Key_Return,
         Qt::NoModifier, false},
        {"Escape in the name box", [](Form2& f) -> QWidget& { return f.Text1; }, Qt::Key_Escape,
         Qt::NoModifier, true},
        {"Escape on a check box", [](Form2& f) -> QWidget& { return f.Check3; }, Qt::Key_Escape,
         Qt::NoModifier, true},
        {"Ctrl+Return on Close Window", [](Form2& f) -> QWidget& { return f.Command1; },
         Qt::Key_Return, Qt::ControlModifier, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Form2& dialog = forms.form2();
        const int16_t sound = dialog.Check1.Value();
        const auto stored = p.settings.values;
        type(dialog, row.control(dialog), row.key, row.mods);
        EXPECT_EQ(!dialog.Visible(), row.hidden);
        EXPECT_TRUE(forms.Form2Loaded()) << "hidden, as Close Window does, not unloaded";
        EXPECT_EQ(dialog.Check1.Value(), sound) << "no key ticks a box";
        EXPECT_EQ(p.settings.values, stored) << "nothing is written";
        dialog.Hide();
    }
}

TEST_F(DialogKeys, AboutBox) {
    About& about = forms.about();
    type(about, about.Disclaimer, Qt::Key_Return);
    EXPECT_EQ(about.Disclaimer.text(), "Hide Disclaimer <") << "Enter presses the focused button";
    EXPECT_TRUE(about.Visible());
    type(about, about.Disclaimer, Qt::Key_Escape);
    EXPECT_FALSE(about.Visible()) << "Escape does what OK does";
    EXPECT_TRUE(forms.AboutLoaded());
    type(about, about.Aclose, Qt::Key_Return);
    EXPECT_FALSE(about.Visible()) << "Enter on OK hides the box";
    EXPECT_TRUE(forms.AboutLoaded());
    EXPECT_EQ(about.Disclaimer.text(), "Hide Disclaimer <") << "left as it was";
}
