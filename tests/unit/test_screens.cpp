// The windows on other screens: Left and Top count from the primary monitor's top-left corner
// wherever the display has it, and pictures and outlines scale alike for displays that draw
// each pixel as several.
#include "pet_fixture.h"

#include "companions/About.h"
#include "companions/Form2.h"
#include "companions/popmenus.h"
#include "pet/FormE.h"
#include "platform/devicepixels.h"
#include "platform/screenratio.h"

#include <QSet>

namespace {
constexpr QRgb kKey = qRgb(255, 0, 255);

// A desktop of two monitors, the primary one (1024 x 768, the fake's screen size) right of the
// other and lower: its corner at 1280, 128.
class PrimaryOnTheRight : public PetTest {
  protected:
    void SetUp() override { p.runtime.primary = {1280, 128, 1.0}; }
    // Centred on the primary monitor, to the pixel.
    static bool centred(const QWidget& w) {
        const QPoint want(1280 + (1024 - w.width()) / 2, 128 + (768 - w.height()) / 2);
        return (w.pos() - want).manhattanLength() <= 1;
    }
};
} // namespace

TEST_F(PrimaryOnTheRight, LaterRunEntersJustOutsideThePrimaryMonitorsEdges) {
    struct Case {
        float choice;
        QPoint at; // top 0 twips: just under the banner (2295 twips) when walking right
    };
    for (const Case c : {Case{0.25f, {1280 - 176, 128 + 153}}, Case{0.75f, {1280 + 1024, 128}}}) {
        FakePlatform q;
        q.runtime.primary = p.runtime.primary;
        q.settings.Set("birth", "2025-01-02 03:04:05");
        q.random.script = {c.choice, 0.0f};
        Forms f(q.services);
        EXPECT_EQ(f.form1().pos(), c.at) << f.form1().State;
    }
}

TEST_F(PrimaryOnTheRight, EggLiesInTheMiddleOfThePrimaryMonitorAndThePetHatchesBesideIt) {
    ASSERT_TRUE(Start());
    FormE& egg = forms.formE();
    EXPECT_TRUE(centred(egg)) << egg.pos().x() << "," << egg.pos().y();
    for (int tick = 0; tick < 10; ++tick)
        egg.Timer1_Timer();
    EXPECT_EQ(pet().pos(), egg.pos() + QPoint(-7, 10));
}

TEST_F(PrimaryOnTheRight, DialogsOpenOnThePrimaryMonitorAndFoldWhereTheUserMovedThem) {
    p.settings.Set("birth", "2025-01-02 03:04:05");
    ASSERT_TRUE(Start());
    forms.form2().Show();
    EXPECT_TRUE(centred(forms.form2()));

    About& about = forms.about();
    about.Show();
    EXPECT_TRUE(centred(about));
    about.move(1300, 150); // moved by the user
    EXPECT_EQ(about.Left(), 20 * 15);
    EXPECT_EQ(about.Top(), 22 * 15);
    about.Disclaimer_Click();
    EXPECT_EQ(about.pos(), QPoint(1300, 150)) << "the box grows where it stands";
}

// A shown pet that no monitor shows at all, its picture (the top-left 100 x 100 pixels of its
// 176-pixel window) wholly outside every one, is put back when the monitors change: into the
// primary monitor, its window between the edges its walks know, nearest to where it stood. A pet
// that walks in from beside a monitor, level with it and its window touching the monitor's side
// (a later run's start), comes in by itself; put back at an edge, it drifts on only away from it.
// Places in pixels of 15 twips; the primary monitor shrinks from 1280 x 800 to 800 x 600 unless
// the monitors are given.
TEST_F(PetTest, PetThatNoMonitorShowsIsPutBackWhenTheMonitorsChange) {
    constexpr float px = 15;
    // The pet's window put at the bottom or the right edge of the 800 x 600 monitor, in pixels.
    constexpr float bottom = 600 - 2646 / px;
    constexpr float right = 800 - 2646 / px;
    const std::vector<ScreenArea> shrunk = {{0, 0, 800 * px, 600 * px}};
    // The primary monitor 800 x 600, a taller one of 1280 x 1024 left of it, their tops level.
    const std::vector<ScreenArea> besideTaller = {{0, 0, 800 * px, 600 * px},
                                                  {-1280 * px, 0, 1280 * px, 1024 * px}};
    struct Case {
        const char* what;
        const char* state;
        QPointF at;
        QPointF want;
        const char* drift = "none";
        const char* driftAfter = "none";
        const std::vector<ScreenArea>* screens = nullptr;
    };
    const Case cases[] = {
        {"standing low", "facing front", {300, 700}, {300, bottom}},
        {"asleep low and right", "sleeping", {1000, 700}, {right, bottom}},
        {"standing right", "facing left", {900, 100}, {right, 100}},
        {"the smaller screen still shows a strip of it", "facing front", {300, 590}, {300, 590}},
        {"only the window's empty corner is on the screen", "facing front", {300, -101}, {300, 0}},
        {"drifting down below", "walking right", {300, 700}, {300, bottom}, "downwards", "none"},
        {"drifting up from below", "walking left", {300, 700}, {300, bottom}, "upwards", "upwards"},
        {"drifting up above", "walking right", {300, -200}, {300, 0}, "upwards", "none"},
        {"walking in from the left", "walking right", {-2646 / px, 300}, {-2646 / px, 300}},
        {"walking in from the right", "walking left", {800, 300}, {800, 300}},
        {"walking in from further left", "walking right", {-177, 300}, {0, 300}},
        {"walking away to the left", "walking left", {-2646 / px, 300}, {0, 300}},
        {"walking in below the screen", "walking right", {-2646 / px, 600}, {0, bottom}},
        {"reacting beside the screen", "tickled right", {-2646 / px, 300}, {0, 300}},
        {"on the other monitor",
         "facing front",
         {-900, 800},
         {-900, 800},
         "none",
         "none",
         &besideTaller},
        {"walking in to the other monitor",
         "walking right",
         {-1280 - 2646 / px, 800},
         {-1280 - 2646 / px, 800},
         "none",
         "none",
         &besideTaller},
        {"below the primary, beside the taller one",
         "facing front",
         {100, 700},
         {100, bottom},
         "none",
         "none",
         &besideTaller},
    };
    p.settings.Set("birth", "2025-01-02 03:04:05");
    p.runtime.screenWidth = 1280 * px;
    p.runtime.screenHeight = 800 * px;
    ASSERT_TRUE(Start());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        p.runtime.ChangeScreens({{0, 0, 1280 * px, 800 * px}});
        pet().State = c.state;
        pet().VerticalDir = c.drift;
        pet().Move(static_cast<float>(c.at.x() * px), static_cast<float>(c.at.y() * px));
        p.runtime.ChangeScreens(c.screens ? *c.screens : shrunk);
        EXPECT_FLOAT_EQ(pet().Left(), static_cast<float>(c.want.x() * px));
        EXPECT_FLOAT_EQ(pet().Top(), static_cast<float>(c.want.y() * px));
        EXPECT_EQ(pet().VerticalDir, c.driftAfter);
        EXPECT_EQ(pet().State, c.state);
    }
}

// "Show Pimbolet" puts back a pet that no monitor shows, as a change of the monitors does; before
// the egg hatches there is no pet to show, and the item leaves it where it will hatch.
TEST_F(PetTest, ShowPimboletPutsBackAPetThatNoMonitorShows) {
    ASSERT_TRUE(Start()); // the first run: the egg lies, the pet is hidden
    const QPointF hidden(pet().Left(), pet().Top());
    pet().Move(-30000, 40000);
    forms.popMenus().showmnu.trigger();
    EXPECT_FALSE(pet().Visible());
    EXPECT_EQ(QPointF(pet().Left(), pet().Top()), QPointF(-30000, 40000));

    pet().Move(hidden.x(), hidden.y());
    pet().Show();
    pet().State = "facing front";
    pet().Move(-30000, 40000);
    forms.popMenus().showmnu.trigger();
    EXPECT_EQ(QPointF(pet().Left(), pet().Top()), QPointF(0, 768 * 15 - 2646));
}

// On a display that draws each pixel as 2 x 2, the cursors are drawn so too: the hand on the pet
// covers 64 x 64 display pixels, its hot spot on the same pixel of the drawing.
TEST_F(PetTest, CursorsAreAsLargeOnTheDisplayAsThePixelsAre) {
    p.runtime.primary.devicePixelRatio = 2;
    ASSERT_TRUE(Start());
    EXPECT_EQ(pet().hand1.pixmap().size(), QSize(64, 64));
    EXPECT_EQ(pet().hand1.hotSpot(), QPoint(22, 26));
    EXPECT_EQ(pet().hand2.hotSpot(), QPoint(22, 28));
    EXPECT_EQ(forms.about().kozurl.cursor().hotSpot(), QPoint(14, 8));
}

// Whatever the ratio, every display pixel of a scaled cell shows the key colour exactly where
// it lies outside the scaled outline, the outline's rectangles never overlap, and every display
// pixel has the colour of one of the cell's pixels (nearest neighbour: nothing blended).
TEST(DevicePixels, ScaledCellsAndTheirOutlinesCoverTheSamePixelsAtEveryRatio) {
    const QImage sheet(QStringLiteral(":/pictures/sprites.png"));
    for (const double ratio : {1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 3.0}) {
        for (const int cell : {1, 5, 6, 13, 22, 31}) {
            const QImage image = sheet.copy(cell % 9 * 100, cell / 9 * 100, 100, 100)
                                     .convertToFormat(QImage::Format_RGB32);
            const QImage scaled = devicepixels::Scaled(image, ratio);
            ASSERT_EQ(scaled.size(),
                      QSize(devicepixels::Edge(100, ratio), devicepixels::Edge(100, ratio)));
            EXPECT_EQ(scaled.devicePixelRatio(), ratio);

            const int w = scaled.width();
            std::vector<char> inside(static_cast<size_t>(w * scaled.height()), 0);
            int overlaps = 0;
            for (const QRect& r : devicepixels::Scaled(WindowShaper::OutlineOf(image, kKey), ratio))
                for (int y = r.top(); y <= r.bottom(); ++y)
                    for (int x = r.left(); x <= r.right(); ++x)
                        overlaps += inside[size_t(y * w + x)]++ ? 1 : 0;
            const auto* px = reinterpret_cast<const QRgb*>(image.constBits());
            const QSet<QRgb> colours(px, px + image.width() * image.height());
            int disagree = 0, blended = 0;
            for (int y = 0; y < scaled.height(); ++y) {
                const auto* row = reinterpret_cast<const QRgb*>(scaled.constScanLine(y));
                for (int x = 0; x < w; ++x) {
                    disagree += (row[x] == kKey) == (inside[size_t(y * w + x)] != 0) ? 1 : 0;
                    blended += colours.contains(row[x]) ? 0 : 1;
                }
            }
            const std::string where =
                "cell " + std::to_string(cell) + " at " + std::to_string(ratio);
            EXPECT_EQ(overlaps, 0) << where;
            EXPECT_EQ(disagree, 0) << where;
            EXPECT_EQ(blended, 0) << where;
        }
    }
}

// A screen ratio is taken from the environment when it is a finite number from 0.1 to 10, as
// Qt reads it; anything else is refused with the line that says so (the end-to-end test
// screen_ratio.sh starts the pet with more). A list refuses itself whole for one bad monitor's
// ratio, named or not.
TEST(ScreenRatio, OnlyFiniteRatiosFromATenthToTenAreTaken) {
    struct Case {
        const char* variable;
        const char* text;
        const char* refused; // what the line quotes as the fault; nullptr: taken
    };
    const Case cases[] = {
        {"QT_SCALE_FACTOR", "1", nullptr},
        {"QT_SCALE_FACTOR", "0.1", nullptr},
        {"QT_SCALE_FACTOR", "10", nullptr},
        {"QT_SCALE_FACTOR", "", nullptr},
        {"QT_SCALE_FACTOR", "0", "\"0\""},
        {"QT_SCALE_FACTOR", "nan", "\"nan\""},
        {"QT_SCALE_FACTOR", "-inf", "\"-inf\""},
        {"QT_SCALE_FACTOR", "0.09", "\"0.09\""},
        {"QT_SCALE_FACTOR", "10.5", "\"10.5\""},
        {"QT_SCALE_FACTOR", "two", "\"two\""},
        {"QT_SCALE_FACTOR", "1,5", "\"1,5\""},
        {"QT_SCREEN_SCALE_FACTORS", "2;1", nullptr},
        {"QT_SCREEN_SCALE_FACTORS", "HDMI-1=2;eDP-1=1.5;", nullptr},
        {"QT_SCREEN_SCALE_FACTORS", "HDMI-1=0;eDP-1=1", "\"0\""},
        {"QT_SCREEN_SCALE_FACTORS", "a=b=1e9", "\"1e9\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + c.text);
        const QString line = screenratio::Fault(c.variable, QString::fromUtf8(c.text));
        if (!c.refused) {
            EXPECT_TRUE(line.isEmpty()) << line.toStdString();
            continue;
        }
        EXPECT_TRUE(line.startsWith(QStringLiteral("pimbolet: ignoring %1 \"%2\": ")
                                        .arg(QLatin1String(c.variable), QString::fromUtf8(c.text))))
            << line.toStdString();
        EXPECT_TRUE(line.contains(QLatin1String(c.refused))) << line.toStdString();
        EXPECT_TRUE(line.contains(QLatin1String("from 0.1 to 10"))) << line.toStdString();
    }
    // Whatever the user's text holds, the line stays one line of bounded length.
    const QString odd = screenratio::Fault("QT_SCALE_FACTOR", QString(500, u'x') + u'\n');
    EXPECT_FALSE(odd.contains(u'\n'));
    EXPECT_LT(odd.size(), 200);
}
