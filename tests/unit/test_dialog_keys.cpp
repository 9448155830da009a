#include "companions/About.h"
#include "companions/Form2.h"
#include "pet_fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>

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
    static void type(Window& window, QWidget& control, int key,
                     Qt::KeyboardModifiers mods = Qt::NoModifier) {
        window.Show();
        control.setFocus();
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QCoreApplication::sendEvent(&control, &press);
    }
};
} // namespace

TEST_F(DialogKeys, OptionsDialog) {
    Form2& dialog = forms.form2();
    const struct {
        const char* what;
        QWidget& control;
        int key;
        Qt::KeyboardModifiers mods;
        bool hides;
    } rows[] = {
        {"Enter on Close Window", dialog.Command1, Qt::Key_Return, Qt::NoModifier, true},
        {"keypad Enter on it", dialog.Command1, Qt::Key_Enter, Qt::KeypadModifier, true},
        {"Enter in the name box", dialog.Text1, Qt::Key_Return, Qt::NoModifier, false},
        {"Enter on a check box", dialog.Check1, Qt::Key_Return, Qt::NoModifier, false},
        {"Escape in the name box", dialog.Text1, Qt::Key_Escape, Qt::NoModifier, true},
        {"Escape on a check box", dialog.Check3, Qt::Key_Escape, Qt::NoModifier, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const auto stored = p.settings.values;
        type(dialog, row.control, row.key, row.mods);
        EXPECT_EQ(!dialog.Visible(), row.hides);
        EXPECT_TRUE(forms.Form2Loaded()) << "hidden, as Close Window does, not unloaded";
        EXPECT_EQ(dialog.Check1.Value(), 1) << "no key ticks a box";
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
    type(about, about.Aclose, Qt::Key_Return);
    EXPECT_FALSE(about.Visible()) << "Enter on OK hides the box";
    EXPECT_TRUE(forms.AboutLoaded());
    EXPECT_EQ(about.Disclaimer.text(), "Hide Disclaimer <") << "left as it was";
}
