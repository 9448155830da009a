#include "platform/qt/qtservices.h"
#include "platform/qt/qtshelltray.h"
#include "platform/qt/qtwindowstacking.h"
#include "platform/window.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QWindow>

#include <gtest/gtest.h>

namespace {
struct MouseMove {
    int16_t button, shift;
    float x, y;
};

// A window that records the mouse moves it is given.
class Recorder : public Window {
  public:
    Recorder(Services& s, Kind kind) : Window(s, kind, QStringLiteral("recorder")) {}
    void Form_MouseMove(int16_t b, int16_t s, float x, float y) override {
        moves.push_back({b, s, x, y});
    }
    std::vector<MouseMove> moves;
};

NotifyIconData recordFor(HWND hwnd, const Picture& picture) {
    NotifyIconData d;
    d.cbSize = 88;
    d.hWnd = hwnd;
    d.uID = 1;
    d.uFlags = 7;
    d.uCallbackMessage = 0x200;
    d.hIcon = picture.Handle();
    d.szTip = std::string("virtual pet Pimbolet") + '\0';
    d.szTip.resize(64, ' ');
    return d;
}

class Platform : public ::testing::Test {
  protected:
    QtPlatform platform;
    Services& s = platform.services();
    QtShellTray& tray = static_cast<QtShellTray&>(s.tray);
};
} // namespace

TEST_F(Platform, TrayIconFromTheRecordReportsClicksAsMouseMoves) {
    Recorder pet(s, Window::Kind::Desktop);
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(Qt::green);
    const NotifyIconData record = recordFor(pet.hWnd(), Picture(image));

    ASSERT_TRUE(s.tray.Shell_NotifyIcon(nim::Add, record.Bytes()));
    QSystemTrayIcon* icon = tray.icon(pet.hWnd(), 1);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->toolTip(), QStringLiteral("virtual pet Pimbolet"));
    EXPECT_FALSE(icon->icon().isNull());
    EXPECT_FALSE(s.tray.Shell_NotifyIcon(nim::Add, record.Bytes())) << "one icon per number";

    emit icon->activated(QSystemTrayIcon::Trigger);
    emit icon->activated(QSystemTrayIcon::Context);
    const float tpp = s.runtime.TwipsPerPixelX();
    ASSERT_EQ(pet.moves.size(), 2u);
    EXPECT_EQ(pet.moves[0].button, 0);
    EXPECT_EQ(pet.moves[0].shift, 0);
    EXPECT_FLOAT_EQ(pet.moves[0].x, 0x201 * tpp);
    EXPECT_FLOAT_EQ(pet.moves[0].y, 0);
    EXPECT_FLOAT_EQ(pet.moves[1].x, 0x204 * tpp);

    EXPECT_TRUE(s.tray.Shell_NotifyIcon(nim::Delete, record.Bytes()));
    EXPECT_EQ(tray.icon(pet.hWnd(), 1), nullptr);
    EXPECT_FALSE(s.tray.Shell_NotifyIcon(nim::Delete, record.Bytes())) << "second removal";
}

TEST_F(Platform, TrayIconWithAnUnknownPictureStillGetsOne) {
    Recorder pet(s, Window::Kind::Desktop);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(QImage(16, 16, QImage::Format_RGB32))));
    NotifyIconData record = recordFor(pet.hWnd(), Picture());
    record.hIcon = 0xdead;
    ASSERT_TRUE(s.tray.Shell_NotifyIcon(nim::Add, record.Bytes()));
    EXPECT_FALSE(tray.icon(pet.hWnd(), 1)->icon().isNull());
}

TEST_F(Platform, TopmostDesktopWindowKeepsItselfOnTopWithoutMovingOrHiding) {
    Recorder pet(s, Window::Kind::Desktop);
    pet.Move(-2640, 1500, 2640, 1500);
    pet.Show();
    const QRect before = pet.geometry();
    EXPECT_EQ(s.stacking.SetWindowPos(pet.hWnd(), swp::Topmost, 0, 0, 0, 0, swp::NoSizeNoMove), 1);
    EXPECT_TRUE(QtWindowStacking::isKeptOnTop(&pet));
    s.stacking.SetWindowPos(pet.hWnd(), swp::NoTopmost, 0, 0, 0, 0, swp::NoSizeNoMove);
    EXPECT_FALSE(QtWindowStacking::isKeptOnTop(&pet));
    s.stacking.SetWindowPos(pet.hWnd(), swp::Topmost, 0, 0, 0, 0, swp::NoSizeNoMove);
    EXPECT_TRUE(QtWindowStacking::isKeptOnTop(&pet)) << "and back";
    EXPECT_TRUE(pet.isVisible());
    EXPECT_EQ(pet.geometry(), before);
    EXPECT_FLOAT_EQ(pet.Left(), -2640);
}

TEST_F(Platform, TopmostDialogGetsTheStayOnTopHintWhileStayingShown) {
    Recorder dialog(s, Window::Kind::Dialog);
    dialog.Move(3000, 3000, 4000, 3000);
    dialog.Show();
    const QPoint place = dialog.pos();
    s.stacking.SetWindowPos(dialog.hWnd(), swp::Topmost, 0, 0, 0, 0, swp::NoSizeNoMove);
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(dialog.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.pos(), place);
    s.stacking.SetWindowPos(dialog.hWnd(), swp::NoTopmost, 0, 0, 0, 0, swp::NoSizeNoMove);
    EXPECT_FALSE(dialog.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(Platform, StackingAnUnknownWindowDoesNothing) {
    EXPECT_EQ(s.stacking.SetWindowPos(0xfffff, swp::Topmost, 0, 0, 0, 0, swp::NoSizeNoMove), 0);
}
