#include "life_fixture.h"

#include "companions/Form2.h"
#include "companions/popmenus.h"

#include <QMenu>

namespace {
bool Shows(const Window& w, const QCursor& c) {
    return w.cursor().pixmap().cacheKey() == c.pixmap().cacheKey();
}
} // namespace

class MouseTest : public LifeTest {
  protected:
    popmenus& menus() { return forms.popMenus(); }
    void TearDown() override {
        if (forms.PopMenusLoaded())
            for (QMenu* m : {&menus().mnupimbo, &menus().mnuicon})
                m->hide();
    }
};

TEST_F(MouseTest, LeftDragFollowsFromTheSecondMoveInWholeTwips) {
    struct Step {
        char what; // d(own), m(ove), u(p)
        int16_t button;
        float x, y;
        float left, top; // where the pet stands afterwards
        int16_t dragX;
    };
    // The pet stands at 6000, 4000.
    const Step steps[] = {
        {'d', 1, 300, 450, 6000, 4000, 0},
        {'m', 1, 300.5f, 450, 6000, 4000, 300}, // takes hold, halves to even
        {'m', 1, 330, 470, 6030, 4020, 300},
        {'m', 1, 301.5f, 449.5f, 6032, 4020, 300}, // 1.5 -> 2, -0.5 -> 0
        {'u', 1, 301.5f, 449.5f, 6032, 4020, 300}, // a release keeps the grab point
        {'d', 1, 310, 450, 6032, 4020, 300},
        {'m', 1, 310, 450, 6042, 4020, 300}, // the old grab point goes on
        {'m', 3, 400, 400, 6042, 4020, 0},   // both buttons: let go, no move
        {'m', 1, 0.4f, 100, 6042, 4020, 0},  // a grab point at x 0 is none
        {'m', 1, 20, 100, 6042, 4020, 20},
        {'m', 1, 50000, 100, 6042, 4020, 20}, // too far for 16 bits: left out
        {'m', 1, 35, 110, 6057, 4030, 20},
        {'m', 0, 35, 110, 6057, 4030, 0},
    };
    for (const Step& s : steps) {
        if (s.what == 'd') pet().Form_MouseDown(s.button, 0, s.x, s.y);
        if (s.what == 'm') pet().Form_MouseMove(s.button, 0, s.x, s.y);
        if (s.what == 'u') pet().Form_MouseUp(s.button, 0, s.x, s.y);
        SCOPED_TRACE(testing::Message() << s.what << s.button << " " << s.x << "," << s.y);
        EXPECT_EQ(pet().Left(), s.left);
        EXPECT_EQ(pet().Top(), s.top);
        EXPECT_EQ(pet().DragX, s.dragX);
    }
}

TEST_F(MouseTest, CursorGrabsOnlyWhileTheLeftButtonIsDown) {
    EXPECT_TRUE(Shows(pet(), pet().hand1));
    pet().Form_MouseDown(2, 0, 10, 10);
    pet().Form_MouseUp(4, 0, 10, 10);
    EXPECT_TRUE(Shows(pet(), pet().hand1));
    pet().Form_MouseDown(1, 0, 10, 10);
    EXPECT_TRUE(Shows(pet(), pet().hand2));
    pet().Form_MouseUp(1, 0, 10, 10);
    EXPECT_TRUE(Shows(pet(), pet().hand1));
}

TEST_F(MouseTest, DragStepsAddToWhereTheWalkLeftThePet) {
    Put("walking right", 30, 6);
    pet().Form_MouseMove(1, 0, 150, 150);
    Tick();
    const float walked = pet().Left();
    EXPECT_GT(walked, kMidLeft);
    pet().Form_MouseMove(1, 0, 165, 150);
    EXPECT_EQ(pet().Left(), walked + 15);
}

TEST_F(MouseTest, OnlyButtonPressesOnTheTrayIconOpenTheTrayMenu) {
    pet().Form_MouseMove(1, 0, 100, 100); // a grab point, which any tray event clears
    for (const int event : {512, 513, 514, 515, 516, 517, 519}) {
        pet().Form_MouseMove(0, 0, static_cast<float>(event) * 15, 0);
        EXPECT_EQ(menus().mnuicon.isVisible(), event == 513 || event == 516) << event;
        EXPECT_FALSE(menus().mnupimbo.isVisible());
        EXPECT_EQ(pet().Left(), kMidLeft);
        EXPECT_EQ(pet().Top(), kMidTop);
        EXPECT_EQ(pet().DragX, 0);
        menus().mnuicon.hide();
    }
}

TEST_F(MouseTest, RightReleaseOpensThePetMenuWhereItWasReleased) {
    // The pet's top-left corner is at pixel (400, 267).
    pet().Form_MouseDown(2, 0, 300, 150);
    EXPECT_FALSE(forms.PopMenusLoaded()) << "the menus are made at the first popup";
    pet().Form_MouseUp(2, 0, 300, 150);
    EXPECT_TRUE(menus().mnupimbo.isVisible());
    EXPECT_EQ(menus().mnupimbo.pos(), QPoint(420, 277));
    menus().mnupimbo.hide();
    pet().Form_MouseUp(2, 0, -600, 1500); // let go outside the pet
    EXPECT_EQ(menus().mnupimbo.pos(), QPoint(360, 367));
    EXPECT_FALSE(menus().mnuicon.isVisible());
}

TEST_F(MouseTest, MenusHoldTheirItemsInOrder) {
    const auto captions = [](const QMenu& m) {
        QStringList c;
        for (const QAction* a : m.actions())
            c << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return c;
    };
    EXPECT_EQ(captions(menus().mnupimbo), QStringList({"Tickle", "Slap", "-", "Program"}));
    EXPECT_EQ(menus().mnupimbo.actions()[3]->menu(), &menus().moremnu);
    EXPECT_EQ(captions(menus().moremnu), QStringList({"About", "Options", "Exit"}));
    EXPECT_EQ(captions(menus().mnuicon),
              QStringList({"Pimbolet's Age?", "Show Pimbolet", "Options", "About", "Exit"}));
}

TEST_F(MouseTest, TickleThenSlapBeforeATickIsASlap) {
    menus().mnutickle.trigger();
    EXPECT_EQ(pet().Interaction, 1);
    menus().mnuslap.trigger();
    Tick();
    EXPECT_EQ(pet().State, "slapped front");
    EXPECT_EQ(pet().Interaction, 0);
}

TEST_F(MouseTest, OptionsItemsShowTheDialogAsItWas) {
    forms.form2().Text1.setText(QStringLiteral("Rex"));
    menus().traymnuoption.trigger();
    EXPECT_TRUE(forms.form2().Visible());
    forms.form2().Command1_Click();
    EXPECT_FALSE(forms.form2().Visible());
    EXPECT_TRUE(forms.Form2Loaded());
    menus().optionsmnu.trigger();
    EXPECT_EQ(forms.form2().Text1.text(), QStringLiteral("Rex")) << "hidden, not reloaded";
    EXPECT_TRUE(p.settings.saved.empty());
}

TEST_F(MouseTest, ShowPimboletLeavesThePetAsItIs) {
    menus().showmnu.trigger();
    EXPECT_TRUE(pet().Visible());
    EXPECT_EQ(pet().Left(), kMidLeft);
    EXPECT_EQ(pet().State, "facing front");
    pet().Hide();
    menus().showmnu.trigger();
    EXPECT_FALSE(pet().Visible());
}
