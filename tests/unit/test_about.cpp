#include "companions/About.h"
#include "pet_fixture.h"

#include <QCoreApplication>
#include <QMouseEvent>

namespace {
class AboutBox : public PetTest {
  protected:
    void SetUp() override {
        p.settings.Set("birth", "2025-01-02 03:04:05");
        ASSERT_TRUE(Start());
        forms.about().Show();
    }
    About& about() { return forms.about(); }
    // Centred on the 1024 x 768 screen, to the pixel.
    bool centred(const About& box) const {
        return (box.pos() - QPoint((1024 - box.width()) / 2, (768 - box.height()) / 2))
                   .manhattanLength() <= 1;
    }
};

const QColor kRed(255, 0, 0);
} // namespace

TEST_F(AboutBox, ShowsTitleVersionAndTheHomePage) {
    EXPECT_EQ(about().windowTitle(), "About KOZ");
    EXPECT_EQ(about().titlev.text(), "virtual pet Pimbolet v4.1 beta");
    EXPECT_EQ(about().kozurl.text(), "http://maker.test/");
    EXPECT_EQ(about().kozurl.toolTip(), "click to visit");
    EXPECT_EQ(about().size(), QSize(312, 77));
    EXPECT_TRUE(centred(about()));
    EXPECT_EQ(about().Disclaimer.text(), "Show Disclaimer >");
    std::vector<QWidget*> tabs;
    for (QWidget* w = about().nextInFocusChain(); w != &about(); w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus) tabs.push_back(w);
    EXPECT_EQ(tabs, (std::vector<QWidget*>{&about().Aclose, &about().Disclaimer}))
        << "the focus starts on OK";
}

TEST_F(AboutBox, DisclaimerFoldsOutAndBackWhereTheBoxStands) {
    about().move(40, 30); // moved by the user
    about().Disclaimer_Click();
    EXPECT_EQ(about().Height(), 2655);
    EXPECT_EQ(about().size(), QSize(312, 177));
    EXPECT_EQ(about().Disclaimer.text(), "Hide Disclaimer <");
    about().Disclaimer_Click();
    EXPECT_EQ(about().Height(), 1155);
    EXPECT_EQ(about().size(), QSize(312, 77));
    EXPECT_EQ(about().Disclaimer.text(), "Show Disclaimer >");
    EXPECT_EQ(about().pos(), QPoint(40, 30));
    EXPECT_EQ(about().Width(), 4680);
}

TEST_F(AboutBox, OkHidesItAsItWasAndTheCloseBoxUnloadsIt) {
    about().Disclaimer_Click();
    about().Aclose.click();
    EXPECT_FALSE(about().Visible());
    ASSERT_TRUE(forms.AboutLoaded());
    about().Show();
    EXPECT_EQ(about().Disclaimer.text(), "Hide Disclaimer <") << "shown again as it was left";

    About* old = &about();
    old->close();
    EXPECT_FALSE(forms.AboutLoaded());
    about().Show();
    EXPECT_NE(&about(), old);
    EXPECT_EQ(about().Disclaimer.text(), "Show Disclaimer >");
    EXPECT_EQ(about().size(), QSize(312, 77));
    EXPECT_TRUE(centred(about()));
}

TEST_F(AboutBox, LinkIsRedOnlyWhileTheMouseIsOverIt) {
    const QColor normal = about().palette().color(QPalette::ButtonText);
    ASSERT_NE(normal, kRed);
    // The mouse moves over each part in turn, no button held; the link's colour after each.
    const std::vector<std::pair<QWidget*, QColor>> moves = {
        {&about().kozurl, kRed},   {&about().Label1, kRed},   {&about(), normal},
        {&about().kozurl, kRed},   {&about().titlev, normal}, {&about().kozurl, kRed},
        {&about().Aclose, normal}, {&about().kozurl, kRed},   {&about().Disclaimer, normal},
    };
    EXPECT_EQ(about().kozurl.ForeColor(), normal);
    for (const auto& [over, colour] : moves) {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), over->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(over, &move);
        EXPECT_EQ(about().kozurl.ForeColor(), colour)
            << over->metaObject()->className() << " " << over->objectName().toStdString();
    }
    about().kozurl_MouseMove();
    QEvent deactivated(QEvent::ActivationChange);
    QCoreApplication::sendEvent(&about(), &deactivated);
    EXPECT_EQ(about().kozurl.ForeColor(), normal) << "the box no longer active";
}
