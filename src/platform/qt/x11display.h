#pragma once

#include "x11link.h"
#include "x11moves.h"
#include "x11pictures.h"
#include "x11stacking.h"

#include "platform/windowdisplay.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QObject>

#include <functional>
#include <memory>

// The desktop windows' display on X11: their places, pictures, outlines and stacking, sent
// straight through the X connection. All that one step of the program writes goes out in one
// write when the program next waits for something to happen, nested event loops included.
// Made only where there is an X display (see available()).
class X11Display : public QObject, public WindowDisplay, private QAbstractNativeEventFilter {
  public:
    X11Display();
    ~X11Display() override;

    // Whether the program runs on an X display with a live connection.
    static bool available();

    bool Live() const override { return true; }
    bool Place(QWidget& window, int x, int y, Send when) override;
    bool ShowPicture(QWidget& window, int64_t key, const QImage& picture, double ratio) override;
    bool Outline(QWidget& window, const QRegion& outline, double ratio) override;
    void SetState(QWidget& window, bool above) override;
    void Stack(QWidget& window, Band band) override;

    // Calls `onChange` whenever the window manager restacks its windows.
    void watchStacking(std::function<void()> onChange);
    // Sends what waits now; the program does so itself before it waits.
    void sendWaiting();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;
    // A desktop window's X id, remembered so that it can be forgotten when the window goes.
    xcb_window_t idOf(QWidget& window);
    // Forgets the X id a window had (it stays watched): X gives a gone id to the next window.
    void forgetId(QWidget* window);

    X11Link m_link;
    X11Moves m_moves;
    X11Stacking m_stacking;
    X11Pictures m_pictures;
    // The windows watched, with the X id each was last seen with (none once it went).
    QHash<QWidget*, xcb_window_t> m_known;
    bool m_written = false; // requests wait in the connection's buffer
};
