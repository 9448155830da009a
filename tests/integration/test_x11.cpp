#include "platform/qt/qtservices.h"
#include "platform/qt/x11.h"
#include "platform/window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

#include <gtest/gtest.h>

#ifdef PIMBOLET_HAVE_XCB
#include <xcb/xcb.h>

#include <set>
#include <string>

// Run on a real X server (see the integration_x11 test): what other X clients see of a window
// that stands outside the window manager.
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
} // namespace

TEST(X11, DesktopWindowStandsExactlyWhereItIsPutAndSaysItIsNoTaskWindow) {
    if (!x11::available()) GTEST_SKIP() << "needs an X server";
    QtPlatform platform;
    Services& s = platform.services();
    Window pet(s, Window::Kind::Desktop, QStringLiteral("pet"));
    const float tpp = s.runtime.TwipsPerPixelX();
    pet.Move(-176 * tpp, 40 * tpp, 176 * tpp, 100 * tpp);
    s.stacking.SetWindowPos(pet.hWnd(), swp::Topmost, 0, 0, 0, 0, swp::NoSizeNoMove);
    pet.Show();
    settle();

    const Placement p = placement(pet);
    EXPECT_TRUE(p.overrideRedirect);
    EXPECT_EQ(p.x, -176) << "wholly off the left edge";
    EXPECT_EQ(p.y, 40);
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
    EXPECT_EQ(placement(pet).x, -176);
}
#endif
