#include "pet_fixture.h"

#include "companions/About.h"
#include "companions/Form2.h"
#include "companions/popmenus.h"
#include "companions/splash.h"
#include "pet/FormE.h"

#include <QCloseEvent>
#include <QCoreApplication>

// The options dialog and the program's orderly end. The fakes write what happens, in order,
// into one journal.
class OptionsTest : public PetTest {
  protected:
    void SetUp() override {
        p.settings.journal = &journal;
        p.sound.journal = &journal;
        p.tray.journal = &journal;
    }
    // A later run, started.
    void Later() {
        p.settings.Set("birth", "2025-01-02 03:04:05");
        ASSERT_TRUE(Start());
        journal.clear();
    }
    // Chooses "Exit" from a menu; true when the program ended.
    bool Exit(QAction popmenus::*item = &popmenus::exitmnu) {
        try {
            (forms.popMenus().*item).trigger();
        } catch (const ProgramEnded&) {
            return true;
        }
        return false;
    }
    void ExpectAllUnloaded() {
        EXPECT_FALSE(forms.Form1Loaded());
        EXPECT_FALSE(forms.Form2Loaded());
        EXPECT_FALSE(forms.AboutLoaded());
        EXPECT_FALSE(forms.SplashLoaded());
        EXPECT_FALSE(forms.FormELoaded());
        EXPECT_FALSE(forms.PopMenusLoaded());
    }
    Form2& dialog() { return forms.form2(); }
    void CloseBox() {
        QCloseEvent e;
        QCoreApplication::sendEvent(&dialog(), &e);
    }

    std::vector<std::string> journal;
    const std::vector<std::string> kWrites = {"save name", "save sound", "save startup",
                                              "save ontop", "save version"};
};

TEST_F(OptionsTest, EmptyStoreLoadsTheDefaults) {
    Later();
    EXPECT_EQ(dialog().Text1.text(), QStringLiteral("Enter Pet's Name here"));
    EXPECT_EQ(dialog().Check1.Value(), 1);
    EXPECT_EQ(dialog().Check2.Value(), 0);
    EXPECT_EQ(dialog().Check3.Value(), 1);
    EXPECT_EQ(dialog().windowTitle(), QStringLiteral("Version 4.1 beta"));
    EXPECT_FALSE(dialog().Visible());
}

TEST_F(OptionsTest, UnloadWritesTheFiveKeysAsTheControlsHoldThem) {
    Later();
    dialog().Text1.clear();
    dialog().Text1.insert(QString(30, QLatin1Char('x')));
    EXPECT_EQ(dialog().Text1.text().size(), 25) << "typing stops at 25 characters";
    dialog().Check1.SetValue(0);
    dialog().Check2.SetValue(1); // refused at once
    dialog().Check3.SetValue(0);
    CloseBox();
    EXPECT_FALSE(forms.Form2Loaded());
    EXPECT_EQ(journal, kWrites);
    EXPECT_EQ(p.settings.Get("name"), std::string(25, 'x'));
    EXPECT_EQ(p.settings.Get("sound"), "0");
    EXPECT_EQ(p.settings.Get("startup"), "0");
    EXPECT_EQ(p.settings.Get("ontop"), "0");
    EXPECT_EQ(p.settings.Get("version"), "4.1 beta");
    EXPECT_EQ(p.msgbox.shown.back().prompt, "This feature is not available yet");
}

// The end of the session (SIGTERM) comes while the refusal of "Run at Startup" waits for its
// answer: the options are written with the box unticked, whether the user ticked it in the
// dialog or the store held a 1 at start-up. The refusal is shown once.
TEST_F(OptionsTest, EndWhileRunAtStartupIsRefusedNeverStoresItAsChosen) {
    for (const bool stored : {false, true}) {
        SCOPED_TRACE(stored ? "stored 1" : "ticked in the dialog");
        FakePlatform platform;
        platform.settings.Set("birth", "2025-01-02 03:04:05");
        if (stored) platform.settings.Set("startup", "1");
        Forms windows(platform.services);
        int refusals = 0, tickedWhileShown = -1;
        platform.msgbox.whileShown = [&] {
            ++refusals;
            tickedWhileShown = windows.form2().Check2.Value();
            windows.popMenus().exitmnu_Click(); // the program ends here, never answering
        };
        bool ended = false;
        try {
            windows.form1();
            windows.form2().Show();
            windows.form2().Check2.click();
        } catch (const ProgramEnded&) {
            ended = true;
        }
        EXPECT_TRUE(ended);
        EXPECT_EQ(refusals, 1);
        EXPECT_EQ(tickedWhileShown, 0) << "unticked before the refusal is shown";
        EXPECT_EQ(platform.settings.Get("startup"), "0");
    }
}

TEST_F(OptionsTest, StayAboveBoxMovesThePetInAndOutOfTheTopmostBandInPlace) {
    Later();
    const float left = pet().Left(), top = pet().Top();
    p.stacking.calls.clear();
    dialog().Check3.SetValue(0);
    dialog().Check3.SetValue(1);
    ASSERT_EQ(p.stacking.calls.size(), 2u);
    EXPECT_EQ(p.stacking.calls[0].insertAfter, swp::NoTopmost);
    EXPECT_EQ(p.stacking.calls[1].insertAfter, swp::Topmost);
    EXPECT_EQ(p.stacking.calls[1].hwnd, pet().hWnd());
    EXPECT_EQ(pet().Left(), left);
    EXPECT_EQ(pet().Top(), top);
}

TEST_F(OptionsTest, SmallPetOfTheBackgroundTouchesNeitherTheRuleNorAnyControl) {
    Later();
    // The pet's own colours, its orange and its dark outline: none of the paper, its dots or the
    // greens of the background is one of them.
    const QImage art = dialog().GetPicture().Image().convertToFormat(QImage::Format_RGB32);
    QRect pet;
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x) {
            const QColor c = art.pixelColor(x, y);
            if (c.red() - c.green() > 40 ||
                (c.red() + c.green() + c.blue() < 300 && c.red() > c.green()))
                pet |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(pet.isEmpty());
    for (const QWidget* control : dialog().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_FALSE(pet.intersects(control->geometry().adjusted(-1, -1, 1, 1)))
            << control->metaObject()->className() << " at " << control->x() << "," << control->y()
            << "; the pet covers " << pet.x() << "," << pet.y() << " " << pet.width() << "x"
            << pet.height();
}

TEST_F(OptionsTest, ExitClosesTheSoundAndUnloadsEveryWindowInOrder) {
    Later();
    pet().Sound.SetFileName("/opt/pimbolet/cdata/say1.wav");
    forms.about();
    ASSERT_TRUE(Exit());
    EXPECT_EQ(p.runtime.endStatus, 0);
    std::vector<std::string> expected = {"sound Close", "tray delete"};
    expected.insert(expected.end(), kWrites.begin(), kWrites.end());
    EXPECT_EQ(journal, expected);
    ExpectAllUnloaded();
}

TEST_F(OptionsTest, ExitFromTheTrayBeforeAnySoundSendsNothingToTheDevice) {
    Later();
    ASSERT_TRUE(Exit(&popmenus::trayexitmnu));
    EXPECT_TRUE(p.sound.commands.empty());
    EXPECT_EQ(journal.front(), "tray delete");
    ExpectAllUnloaded();
}

TEST_F(OptionsTest, ExitAfterTheCloseBoxWritesNothingMore) {
    Later();
    CloseBox();
    journal.clear();
    ASSERT_TRUE(Exit());
    EXPECT_EQ(journal, std::vector<std::string>{"tray delete"});
    // Options after the close box would have loaded the stored values again.
}

TEST_F(OptionsTest, ExitOnTheFirstRunTakesTheEggAlongAndKeepsTheBirth) {
    ASSERT_TRUE(Start());
    const std::string birth = p.settings.Get("birth");
    ASSERT_TRUE(forms.FormELoaded());
    forms.popMenus().showmnu.trigger(); // the pet is not out yet: nothing happens
    EXPECT_FALSE(pet().Visible());
    ASSERT_TRUE(Exit());
    ExpectAllUnloaded();
    EXPECT_EQ(p.settings.Get("birth"), birth);
}

TEST_F(OptionsTest, StoreThatCannotBeReadWhenTheDialogLoadsAgainShowsTheDefaults) {
    Later();
    p.settings.Set("name", "Pim");
    CloseBox();
    p.settings.failReads = "Path/File access error: cannot read /home/u/.config/pimbolet/"
                           "virtual pet Pimbolet.ini (Permission denied)";
    forms.popMenus().optionsmnu.trigger();
    ASSERT_TRUE(forms.Form2Loaded());
    EXPECT_TRUE(dialog().Visible());
    EXPECT_EQ(dialog().Text1.text(), QStringLiteral("Enter Pet's Name here"));
    EXPECT_EQ(dialog().Check3.Value(), 1);
    EXPECT_TRUE(p.msgbox.shown.empty());
}

TEST_F(OptionsTest, FailedWriteAtExitIsToldOnceAndTheProgramStillEnds) {
    Later();
    p.settings.failSaves = "Path/File access error: cannot write /home/u/.config/pimbolet/"
                           "virtual pet Pimbolet.ini (No space left on device)";
    ASSERT_TRUE(Exit());
    ASSERT_EQ(p.msgbox.shown.size(), 1u);
    EXPECT_EQ(p.msgbox.shown[0].prompt,
              "Your options could not be saved.\r\n" + p.settings.failSaves);
    EXPECT_EQ(p.msgbox.shown[0].style, mb::Exclamation);
    ExpectAllUnloaded();
}
