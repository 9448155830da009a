#pragma once

#include "picture.h"
#include "services.h"

#include <QCursor>
#include <QRegion>
#include <QWidget>

class QMenu;

// The base of every window of the program. Geometry is kept in twips as single-precision
// numbers: the stored value is what the code reads back, so strides of 175 and 190 twips add
// up exactly; the native window stands at the nearest pixel.
class Window : public QWidget {
    Q_OBJECT
  public:
    enum class Kind {
        // Borderless, no taskbar button, outside the window manager's placement rules: it
        // stands exactly where Left and Top put it, also wholly off the screen.
        Desktop,
        // A managed window of fixed size with a title bar and a close box, and a taskbar button
        // while it is shown.
        Dialog,
    };

    Window(Services& services, Kind kind, const QString& caption);
    ~Window() override;

    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    void Move(float left, float top);
    void Move(float left, float top, float width, float height);
    void SetWidth(float width);
    void SetHeight(float height);
    // A child control's rectangle, given in twips from the client area's top left, in pixels.
    QRect TwipsRect(float left, float top, float width, float height) const;
    // Places the window at the centre of the screen (the primary monitor).
    void CentreOnScreen();

    // Modeless show: visible and active, returns at once.
    void Show();
    void Hide();
    bool Visible() const { return isVisible(); }
    // Brings a shown window to the front of its band, as a click on it does; a hidden window
    // stays as it is.
    void SetFocus();

    // Pops up a menu at the pointer, or with its left edge at X, Y (twips from this window's
    // top left). Only the flags 0 are known: left-aligned, items chosen with the left button.
    void PopupMenu(QMenu& menu, int flags = 0);
    void PopupMenu(QMenu& menu, int flags, float X, float Y);

    HWND hWnd() const { return m_handle; }
    static Window* FromHandle(HWND handle);

    // The window's picture, drawn at the top-left corner at its natural size.
    void SetPicture(const Picture& picture);
    const Picture& GetPicture() const { return m_picture; }
    // The window's outline in pixels; an empty region means no outline set.
    void SetShape(const QRegion& shape);
    QRegion Shape() const { return m_shape; }
    void SetMouseIcon(const QCursor& cursor);
    // A cursor made of one of the program's pictures, as large on the display as the windows'
    // pixels are (a 32-pixel hand covers 64 display pixels at a ratio of 2); the hot spot is
    // given in the picture's pixels.
    QCursor CursorFrom(const QString& picture, int hotX, int hotY) const;

    Services& services() const { return m_services; }

    // Load and unload handlers, run by Forms.
    virtual void Form_Load() {}
    virtual void Form_Unload() {}

    // Mouse events as the windows see them: button code (1 left, 2 right, 4 middle; a move
    // carries the sum of the buttons held), shift state, X and Y in twips from the top left.
    virtual void Form_MouseDown(int16_t Button, int16_t Shift, float X, float Y);
    virtual void Form_MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    virtual void Form_MouseUp(int16_t Button, int16_t Shift, float X, float Y);
    virtual void Form_DblClick();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void applyGeometry();
    void applyShape();
    bool topmost() const;
    WindowDisplay::Band band() const;
    bool pictureInDisplay();
    const QImage& drawnPicture();
    double displayRatio() const;
    float tppX() const;
    float tppY() const;

    Services& m_services;
    Kind m_kind;
    HWND m_handle;
    float m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    // Where the window was last put: a dialog in Qt's coordinates; a desktop window's top-left
    // corner in the display's own pixels, and its size in Qt's.
    QRect m_placed;
    int m_onlyPicture = -1; // whether the window shows nothing but its picture, once known
    Picture m_picture;
    QImage m_drawn; // the picture at the display's scale, as last drawn
    QRegion m_shape;
};
