#include "companions/About.h"
#include "companions/splash.h"
#include "pet_fixture.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QMouseEvent>

#include <tuple>

namespace {
// A pet started on a later run: the banner has been loaded and shown by the start-up.
class Banner : public PetTest {
  protected:
    void SetUp() override {
        p.settings.Set("birth", "2025-01-02 03:04:05");
        ASSERT_TRUE(Start());
    }
    splash& banner() { return forms.splashBanner(); }
};

// The whole of a label's text is drawn within the label and the window.
void expectWhole(const Label& label, int windowWidth) {
    const QFontMetrics fm(label.font());
    const QRect text = fm.boundingRect(label.rect(), label.alignment(), label.text());
    EXPECT_TRUE(label.rect().contains(text))
        << label.text().toStdString() << ": " << text.width() << "x" << text.height() << " in "
        << label.width() << "x" << label.height();
    EXPECT_LE(label.x() + text.right(), windowWidth) << label.text().toStdString();
}
} // namespace

TEST_F(Banner, LoadPutsItLeftOfTheScreenWithItsTextsAndOnTop) {
    EXPECT_TRUE(banner().Visible());
    EXPECT_EQ(banner().Left(), -2730);
    EXPECT_EQ(banner().Top(), 0);
    EXPECT_EQ(banner().Width(), 2730);
    EXPECT_EQ(banner().Height(), 2295);
    EXPECT_EQ(banner().Label2.text(), "http://maker.test/");
    EXPECT_EQ(banner().Label3.text(), "v4.1 beta");
    EXPECT_TRUE(banner().Timer1.Enabled());
    EXPECT_EQ(banner().Timer1.Interval(), 50);
    EXPECT_EQ(p.stacking.calls.at(0).hwnd, banner().hWnd());
    EXPECT_EQ(p.stacking.calls.at(0).insertAfter, swp::Topmost);
    // The link's pointer is the About box's, which is loaded for it but not shown.
    ASSERT_TRUE(forms.AboutLoaded());
    EXPECT_FALSE(forms.about().Visible());
    const QCursor hand = banner().Label2.cursor();
    EXPECT_EQ(hand.hotSpot(), QPoint(7, 4));
    EXPECT_EQ(hand.pixmap().toImage(), forms.about().kozurl.cursor().pixmap().toImage());
}

TEST_F(Banner, SlidesInRestsAndSlidesOutOnTime) {
    splash& b = banner();
    // Ticks at which something changes: Left after the tick, the interval after it.
    struct Step {
        int tick;
        float left;
        int interval;
    };
    const std::vector<Step> steps = {
        {1, -2580, 50}, {18, -30, 50}, {19, 0, 50},    {20, 0, 1000},
        {34, 0, 1000},  {35, 0, 50},   {36, -150, 50}, {53, -2700, 50},
    };
    int ms = 0;
    size_t next = 0;
    for (int tick = 1; tick <= 53; ++tick) {
        ms += b.Timer1.Interval();
        b.Timer1_Timer();
        EXPECT_EQ(b.Top(), 0) << "tick " << tick;
        EXPECT_LE(b.Left(), 0) << "tick " << tick;
        if (tick == 19) {
            EXPECT_EQ(ms, 950) << "in the corner after 0.95 s";
        }
        if (next < steps.size() && steps[next].tick == tick) {
            EXPECT_EQ(b.Left(), steps[next].left) << "tick " << tick;
            EXPECT_EQ(b.Timer1.Interval(), steps[next].interval) << "tick " << tick;
            ++next;
        }
    }
    EXPECT_EQ(b.RestTicks, 33);
    ms += b.Timer1.Interval();
    b.Timer1_Timer();
    EXPECT_EQ(ms, 16950) << "gone after 16.95 s";
    EXPECT_FALSE(forms.SplashLoaded());
    EXPECT_EQ(b.RestTicks, 0);
    EXPECT_FALSE(b.Timer1.Enabled());
}

TEST_F(Banner, SnapsFromMinus150AndEndsAtExactlyMinusItsWidth) {
    splash& b = banner();
    b.Move(-150, 0);
    b.Timer1_Timer();
    EXPECT_EQ(b.Left(), 0) << "snapped, not stepped";
    EXPECT_EQ(b.SlidePhase, 1) << "the next tick switches to resting";

    b.SlidePhase = 2;
    b.RestTicks = 20;
    b.Move(-2579, 0);
    b.Timer1_Timer();
    EXPECT_EQ(b.Left(), -2729);
    EXPECT_TRUE(forms.SplashLoaded());
    b.Move(-2580, 0);
    b.Timer1_Timer();
    EXPECT_FALSE(forms.SplashLoaded()) << "a Left of exactly minus the width ends it";
}

TEST_F(Banner, EveryTextIsWholeAtItsDesignedPlace) {
    for (const Label* label : {&banner().Label1, &banner().Label2, &banner().Label3})
        expectWhole(*label, banner().width());
    About& about = forms.about();
    for (const Label* label : {&about.titlev, &about.kozurl})
        expectWhole(*label, about.width());
    for (const QPushButton* button : {&about.Aclose, &about.Disclaimer}) {
        EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
        EXPECT_GE(button->x(), about.titlev.x()) << "right of the logo";
    }
    EXPECT_LT(about.Aclose.geometry().right(), about.Disclaimer.x()) << "side by side";
    // Unfolded, the box shows the disclaimer down to 2655 twips.
    const QRect visible = about.Label1.rect().adjusted(0, 0, 0, -120 / 15);
    const QRect text = QFontMetrics(about.Label1.font())
                           .boundingRect(visible, Qt::TextWordWrap, about.Label1.text());
    EXPECT_TRUE(visible.contains(text)) << text.height() << " px of text in " << visible.height();
}

// The banner's link and the About box's open a page the same way.
TEST_F(Banner, LinksOpenTheHomePageOrSayWhyNot) {
    const std::vector<std::pair<const char*, std::function<void()>>> links = {
        {"banner", [this] { banner().Label2_Click(); }},
        {"About box", [this] { forms.about().kozurl_Click(); }},
    };
    for (const auto& [name, click] : links) {
        p.browser = FakeWebBrowserFactory{};
        p.msgbox.shown.clear();
        click();
        click();
        EXPECT_EQ(p.browser.created, 2) << name << ": a new browser window each click";
        EXPECT_EQ(p.browser.navigated,
                  (std::vector<std::string>{"http://maker.test/", "http://maker.test/"}))
            << name;
        p.browser.failCreateWith = 429;
        click();
        ASSERT_EQ(p.msgbox.shown.size(), 1u) << name;
        EXPECT_EQ(p.msgbox.shown[0].prompt, "ActiveX component can't create object") << name;
        EXPECT_EQ(p.msgbox.shown[0].style, mb::Critical) << name;
        EXPECT_EQ(p.msgbox.shown[0].caption, "Launch URL") << name;
    }
    EXPECT_TRUE(banner().WebBrowser) << "the last browser made is kept";
    EXPECT_EQ(banner().SlidePhase, 1) << "a click leaves the slide alone";
}

// A build that names no web site (a host under ".invalid") shows the address as text, on the
// banner and in the About box alike: no pointing hand or "click to visit", no red under the
// pointer, and a click opens nothing.
TEST_F(PetTest, WithoutAWebSiteTheAddressIsNoLink) {
    p.runtime.webHost = "pimbolet.invalid";
    p.settings.Set("birth", "2025-01-02 03:04:05");
    ASSERT_TRUE(Start());
    About& about = forms.about();
    about.Show();
    const QColor normal = about.kozurl.ForeColor();
    for (Label* label : {&forms.splashBanner().Label2, &about.kozurl}) {
        SCOPED_TRACE(label->window()->windowTitle().toStdString());
        EXPECT_EQ(label->text(), "http://pimbolet.invalid/");
        EXPECT_TRUE(label->toolTip().isEmpty());
        EXPECT_NE(label->cursor().shape(), Qt::BitmapCursor) << "no pointing hand";
        // The mouse moves over the address, and the left button goes down and up there.
        for (const auto& [type, button, buttons] :
             {std::tuple{QEvent::MouseMove, Qt::NoButton, Qt::NoButton},
              std::tuple{QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton},
              std::tuple{QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton}}) {
            QMouseEvent event(type, QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)), button,
                              buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(label, &event);
        }
    }
    EXPECT_EQ(about.kozurl.ForeColor(), normal) << "not red under the pointer";
    EXPECT_EQ(p.browser.created, 0);
    EXPECT_TRUE(p.msgbox.shown.empty());
}
