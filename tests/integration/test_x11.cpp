#include "platform/devicepixels.h"
#include "platform/picture.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/x11display.h"
#include "platform/window.h"
#include "platform/windowshaper.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

// Run on a real X server (see the integration_x11 tests, also at other pixel ratios): what
// other X clients see of a window that stands outside the window manager.
namespace {
xcb_connection_t* connection() {
    auto* app = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return app ? app->connection() : nullptr;
}

std::string atomName(xcb_connection_t* c, xcb_atom_t atom) {
    xcb_get_atom_name_reply_t* r = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr);
    std::string name = r ? std::string(xcb_get_atom_name_name(r),
                                       static_cast<size_t>(xcb_get_atom_name_name_length(r)))
                         : std::string();
    free(r);
    return name;
}

std::set<std::string> netWmState(QWidget& w) {
    xcb_connection_t* c = connection();
    const auto id = static_cast<xcb_window_t>(w.windowHandle()->winId());
    xcb_intern_atom_reply_t* a =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 13, "_NET_WM_STATE"), nullptr);
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, a->atom, XCB_ATOM_ATOM, 0, 64), nullptr);
    free(a);
    std::set<std::string> names;
    if (r && r->format == 32) {
        const auto* v = static_cast<const xcb_atom_t*>(xcb_get_property_value(r));
        for (int i = 0; i < xcb_get_property_value_length(r) / 4; ++i)
            names.insert(atomName(c, v[i]));
    }
    free(r);
    return names;
}

// Where the X server has the window, and whether it bypasses the window manager.
struct Placement {
    int x, y;
    bool overrideRedirect;
};
Placement placement(QWidget& w) {
    xcb_connection_t* c = connection();
    const auto id = static_cast<xcb_window_t>(w.windowHandle()->winId());
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr);
    xcb_get_window_attributes_reply_t* a =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr);
    const Placement p{g ? g->x : -1, g ? g->y : -1, a && a->override_redirect};
    free(g);
    free(a);
    return p;
}

void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

int nearest(double v) {
    return static_cast<int>(std::lround(v));
}

xcb_window_t root() {
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

// What the screen shows in a rectangle of the display's pixels.
QImage screenPart(const QRect& r) {
    xcb_connection_t* c = connection();
    xcb_get_image_reply_t* img = xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root(), static_cast<int16_t>(r.x()),
                      static_cast<int16_t>(r.y()), static_cast<uint16_t>(r.width()),
                      static_cast<uint16_t>(r.height()), ~0u),
        nullptr);
    QImage out(r.size(), QImage::Format_RGB32);
    if (!img || xcb_get_image_data_length(img) < r.width() * r.height() * 4) {
        free(img);
        return QImage();
    }
    const auto* px = reinterpret_cast<const uint32_t*>(xcb_get_image_data(img));
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            out.setPixel(x, y, 0xff000000u | px[y * r.width() + x]);
    free(img);
    return out;
}

// The picture's pixel under each display pixel along one side.
std::vector<int> sourcesOf(int pixels, double ratio) {
    std::vector<int> from;
    for (int n = 0; n < pixels; ++n)
        for (int d = devicepixels::Edge(n, ratio); d < devicepixels::Edge(n + 1, ratio); ++d)
            from.push_back(n);
    return from;
}
} // namespace

// A desktop window on the real display, with the figures its places are worked out from.
class X11Desktop : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!X11Display::available()) GTEST_SKIP() << "needs an X server";
    }
    QtPlatform platform;
    Services& s = platform.services();
    Window pet{s, Window::Kind::Desktop, QStringLiteral("pet")};
    const float tpp = s.runtime.TwipsPerPixelX();
    const double ratio = s.runtime.PrimaryScreen().devicePixelRatio;
};

TEST_F(X11Desktop, StandsExactlyWhereItIsPutAndSaysItIsNoTaskWindow) {
    pet.Move(-176 * tpp, 40 * tpp, 176 * tpp, 100 * tpp);
    s.stacking.SetWindowPos(pet.hWnd(), swp::Topmost, 0, 0, 0, 0, swp::NoSizeNoMove);
    pet.Show();
    settle();

    const Placement p = placement(pet);
    EXPECT_TRUE(p.overrideRedirect);
    EXPECT_EQ(p.x, nearest(-176 * ratio)) << "wholly off the left edge";
    EXPECT_EQ(p.y, nearest(40 * ratio));
    const std::set<std::string> top = {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_PAGER",
                                       "_NET_WM_STATE_SKIP_TASKBAR"};
    EXPECT_EQ(netWmState(pet), top);

    s.stacking.SetWindowPos(pet.hWnd(), swp::NoTopmost, 0, 0, 0, 0, swp::NoSizeNoMove);
    settle();
    const std::set<std::string> plain = {"_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_SKIP_TASKBAR"};
    EXPECT_EQ(netWmState(pet), plain);

    pet.Hide();
    pet.Show();
    settle();
    EXPECT_EQ(netWmState(pet), plain) << "shown again, still not topmost";
    EXPECT_EQ(placement(pet).x, nearest(-176 * ratio));
}

// A desktop window's moves wait until the program next waits for something to happen (at the
// end of a tick or a mouse event, and in each turn of a modal window's loop opened in one), and
// only the last place goes out.
TEST_F(X11Desktop, MovesOfOneStepReachTheDisplayOnceWhenTheProgramNextWaits) {
    const auto at = [&](int x) { return s.runtime.PrimaryScreen().x + nearest(x * ratio); };
    const auto turn = [] {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
        loop.exec();
    };
    pet.Move(100 * tpp, 40 * tpp, 90 * tpp, 100 * tpp);
    pet.Show();
    settle();
    ASSERT_EQ(placement(pet).x, at(100));

    pet.Move(110 * tpp, 40 * tpp);
    pet.Move(125 * tpp, 40 * tpp);
    EXPECT_EQ(placement(pet).x, at(100)) << "nothing sent while the step runs";
    turn();
    EXPECT_EQ(placement(pet).x, at(125)) << "the last place, once the program waits";

    int seenInModalLoop = -1;
    QEventLoop outer;
    QTimer::singleShot(0, &outer, [&] {
        pet.Move(130 * tpp, 40 * tpp);
        turn(); // as the event loop of a message box opened by this step does
        seenInModalLoop = placement(pet).x;
        outer.quit();
    });
    outer.exec();
    EXPECT_EQ(seenInModalLoop, at(130)) << "a loop opened within a step sends what waits";

    pet.Move(150 * tpp, 40 * tpp);
    pet.Hide();
    turn();
    pet.Show();
    settle();
    EXPECT_EQ(placement(pet).x, at(150))
        << "a window hidden in the step is put in place when shown";
}

// The monitors as the windows measure them, in twips of the primary monitor from its corner
// whatever the display's pixel ratio (Qt gives a monitor's corner in the display's pixels and its
// size in its own); and one change of them, heard as many signals, is told each watcher alive
// once.
TEST_F(X11Desktop, MonitorsCountFromThePrimaryOnesCornerAndTheirChangeIsToldOnce) {
    int heard = 0, heardByGone = 0;
    s.runtime.WatchScreens(pet, [&] { ++heard; });
    {
        QObject gone;
        s.runtime.WatchScreens(gone, [&] { ++heardByGone; });
    }
    // Two halves of the 1280 x 1024 display: the primary one right of the other, lower and
    // shorter. The display's own output stays a monitor over all of it.
    ASSERT_EQ(QProcess::execute(QStringLiteral("xrandr"),
                                {"--setmonitor", "LEFT", "640/169x1024/271+0+0", "none",
                                 "--setmonitor", "*RIGHT", "640/169x768/203+640+128", "none"}),
              0);
    QElapsedTimer waited;
    waited.start();
    while (heard == 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(heardByGone, 0);

    // In twips, from display pixels: the figures Qt rounds to its own whole pixels.
    const auto twips = [&](int pixels) { return static_cast<float>(pixels / ratio * tpp); };
    const std::vector<ScreenArea> want = {{0, 0, twips(640), twips(768)},
                                          {twips(-640), twips(-128), twips(640), twips(1024)},
                                          {twips(-640), twips(-128), twips(1280), twips(1024)}};
    const std::vector<ScreenArea> seen = s.runtime.Screens();
    ASSERT_EQ(seen.size(), want.size());
    for (const ScreenArea& w : want) {
        const bool found = std::any_of(seen.begin(), seen.end(), [&](const ScreenArea& a) {
            return std::abs(a.left - w.left) <= tpp && std::abs(a.top - w.top) <= tpp &&
                   std::abs(a.width - w.width) <= tpp && std::abs(a.height - w.height) <= tpp;
        });
        EXPECT_TRUE(found) << w.left << "," << w.top << " " << w.width << "x" << w.height;
    }
    EXPECT_NEAR(s.runtime.ScreenWidth(), twips(640), tpp);
}

// Whatever the display's pixel ratio, a shaped desktop window shows its picture whole and
// crisp: every pixel of the drawing as a block of display pixels of exactly its colour, the
// outline exactly the drawing's, never a pixel of the key colour. The same when the display
// keeps the picture and when the window paints it itself (as a window with controls does).
TEST(X11, ShapedPictureShowsWholeAndCrispAtTheDisplaysPixelRatio) {
    if (!X11Display::available()) GTEST_SKIP() << "needs an X server";
    QtPlatform platform;
    Services& s = platform.services();
    const float tpp = s.runtime.TwipsPerPixelX();
    const double ratio = s.runtime.PrimaryScreen().devicePixelRatio;
    // The desktop behind the window in a colour no sprite has.
    const uint32_t blue = 0x0000ff;
    xcb_change_window_attributes(connection(), root(), XCB_CW_BACK_PIXEL, &blue);
    xcb_clear_area(connection(), 0, root(), 0, 0, 0, 0);

    const PictureClip sheet(QImage(QStringLiteral(":/pictures/sprites.png")), 4, 9);
    const std::vector<int> from = sourcesOf(100, ratio);
    const QRect area(nearest(300 * ratio), nearest(200 * ratio), static_cast<int>(from.size()),
                     static_cast<int>(from.size()));
    for (const bool painted : {false, true}) {
        Window pet(s, Window::Kind::Desktop, QStringLiteral("pet"));
        std::unique_ptr<QWidget> control(painted ? new QWidget(&pet) : nullptr);
        if (control) control->hide();
        WindowShaper shaper(pet);
        pet.Move(300 * tpp, 200 * tpp, 176 * tpp, 176 * tpp);
        for (const int cell : {1, 13, 5}) {
            const Picture picture = sheet.GraphicCell(cell);
            shaper.SetPicture(picture);
            pet.SetPicture(picture);
            pet.Show();
            // A loaded machine may take a while to map and paint the window: look again for
            // up to two seconds before counting what is wrong.
            int wrong = -1;
            for (int look = 0; look < 100 && wrong != 0; ++look) {
                settle();
                const QImage seen = screenPart(area);
                ASSERT_FALSE(seen.isNull());
                wrong = 0;
                for (int y = 0; y < seen.height(); ++y)
                    for (int x = 0; x < seen.width(); ++x) {
                        const QRgb drawn = picture.Image().pixel(from[size_t(x)], from[size_t(y)]);
                        const QRgb want = drawn == qRgb(255, 0, 255) ? qRgb(0, 0, 255) : drawn;
                        if (seen.pixel(x, y) != want) ++wrong;
                    }
            }
            EXPECT_EQ(wrong, 0) << "cell " << cell << " at " << ratio << " display pixels a pixel"
                                << (painted ? ", painted by the window" : "");
        }
    }
}
