#include "window.h"

#include "devicepixels.h"
#include "programlook.h"

#include <QCloseEvent>
#include <QHash>
#include <QMenu>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace {
QHash<HWND, Window*>& registry() {
    static QHash<HWND, Window*> windows;
    return windows;
}
HWND g_nextHandle = 0x100;

int nearest(double v) {
    return static_cast<int>(std::lround(v));
}

int16_t buttonsOf(Qt::MouseButtons buttons) {
    return static_cast<int16_t>(buttons & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton));
}
int16_t shiftOf(Qt::KeyboardModifiers mods) {
    int16_t s = 0;
    if (mods & Qt::ShiftModifier) s |= 1;
    if (mods & Qt::ControlModifier) s |= 2;
    if (mods & Qt::AltModifier) s |= 4;
    return s;
}
} // namespace

Window::Window(Services& services, Kind kind, const QString& caption)
    : m_services(services), m_kind(kind), m_handle(g_nextHandle++) {
    registry().insert(m_handle, this);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (kind == Kind::Desktop) {
        setWindowFlags(Qt::FramelessWindowHint | Qt::Tool | Qt::X11BypassWindowManagerHint |
                       Qt::NoDropShadowWindowHint);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    } else {
        // An ordinary top-level window (a dialog type would cost it its taskbar button) with
        // only a title bar and a close box; its fixed size leaves nothing to maximise.
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                       Qt::CustomizeWindowHint);
    }
    // The font every window was laid out for; its controls inherit it.
    setFont(programlook::DesignFont());
}

Window::~Window() {
    registry().remove(m_handle);
}

Window* Window::FromHandle(HWND handle) {
    return registry().value(handle, nullptr);
}

double Window::displayRatio() const {
    // The primary monitor's, as for placing: exact, where QWidget's own ratio is rounded to a
    // fixed-point figure that can put an edge on another pixel.
    return m_services.runtime.PrimaryScreen().devicePixelRatio;
}

float Window::tppX() const {
    return m_services.runtime.TwipsPerPixelX();
}
float Window::tppY() const {
    return m_services.runtime.TwipsPerPixelY();
}

void Window::Move(float left, float top) {
    Move(left, top, m_width, m_height);
}

void Window::Move(float left, float top, float width, float height) {
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    applyGeometry();
}

void Window::SetWidth(float width) {
    Move(m_left, m_top, width, m_height);
}
void Window::SetHeight(float height) {
    Move(m_left, m_top, m_width, height);
}

QRect Window::TwipsRect(float left, float top, float width, float height) const {
    return QRect(qRound(left / tppX()), qRound(top / tppY()), qRound(width / tppX()),
                 qRound(height / tppY()));
}

void Window::CentreOnScreen() {
    Move((m_services.runtime.ScreenWidth() - m_width) / 2,
         (m_services.runtime.ScreenHeight() - m_height) / 2);
}

void Window::applyGeometry() {
    // Left and Top count from the primary monitor's top-left corner, in pixels of the screen
    // the windows measure; Qt scales those for the display.
    const ScreenPlacement screen = m_services.runtime.PrimaryScreen();
    const QPoint origin(screen.x, screen.y);
    const QSize size(std::max(1, nearest(m_width / tppX())),
                     std::max(1, nearest(m_height / tppY())));
    const QPoint near = origin + QPoint(nearest(m_left / tppX()), nearest(m_top / tppY()));
    if (m_kind == Kind::Dialog) {
        // Dialogs are sized by their client area and left to the window manager's frame.
        m_placed = QRect(near, size);
        if (this->size() != size || minimumSize() != size) setFixedSize(size);
        if (pos() != near) move(near);
        return;
    }
    // A desktop window stands on the display's own pixel nearest to Left and Top, which on a
    // screen drawn at twice the size keeps the half pixels of the pet's strides.
    const double ratio = screen.devicePixelRatio;
    const QPoint at =
        origin + QPoint(nearest(m_left / tppX() * ratio), nearest(m_top / tppY() * ratio));
    const QRect want(at, size);
    if (want == m_placed) return;
    const bool resized = size != m_placed.size();
    m_placed = want;
    // A shown desktop window that keeps its size is moved directly: the cheap way, which
    // matters five times a second while the pet walks and drifts.
    WindowDisplay& display = m_services.display;
    if (isVisible() && !resized &&
        display.Place(*this, at.x(), at.y(), WindowDisplay::Send::WithStep))
        return;
    setGeometry(QRect(near, size));
    if (isVisible()) display.Place(*this, at.x(), at.y(), WindowDisplay::Send::Now);
}

void Window::Show() {
    if (!isVisible()) show();
    if (m_kind == Kind::Dialog) {
        raise();
        activateWindow();
    }
}

void Window::Hide() {
    hide();
}

bool Window::topmost() const {
    return property(kTopmostProperty).toBool();
}

WindowDisplay::Band Window::band() const {
    return topmost() ? WindowDisplay::Band::Topmost : WindowDisplay::Band::Ordinary;
}

void Window::SetFocus() {
    if (!isVisible()) return;
    if (m_kind == Kind::Dialog) {
        raise();
        activateWindow();
    } else {
        m_services.display.Stack(*this, band());
    }
}

void Window::PopupMenu(QMenu& menu, int) {
    menu.popup(QCursor::pos());
}

void Window::PopupMenu(QMenu& menu, int, float X, float Y) {
    // A desktop window is moved behind Qt's back, so its place is taken from where it was put,
    // counted back from the display's pixels into Qt's.
    QPoint corner = mapToGlobal(QPoint());
    if (m_kind == Kind::Desktop) {
        const ScreenPlacement screen = m_services.runtime.PrimaryScreen();
        const QPoint origin(screen.x, screen.y);
        corner =
            origin + (QPointF(m_placed.topLeft() - origin) / screen.devicePixelRatio).toPoint();
    }
    menu.popup(corner + QPoint(nearest(X / tppX()), nearest(Y / tppY())));
}

void Window::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    applyGeometry();
    if (m_kind == Kind::Desktop) {
        // Qt made the window in its own coordinates: put it on the display's pixel, and give
        // it its outline, before it comes into view.
        m_services.display.Place(*this, m_placed.x(), m_placed.y(), WindowDisplay::Send::Now);
        applyShape();
    }
    pictureInDisplay();
    // No window manager sees this window, so it has no task-list entry; say so, and whether it
    // is topmost, for the desktop's tools.
    if (m_kind == Kind::Desktop) {
        m_services.display.SetState(*this, topmost());
        // A window comes into view in front of the others of its band.
        m_services.display.Stack(*this, band());
    }
}

void Window::SetPicture(const Picture& picture) {
    // Setting the picture already shown leaves the look as it is: no repaint needed.
    const bool same = picture.Key() >= 0 && picture.Key() == m_picture.Key();
    const QRect old(0, 0, m_picture.PixelWidth(), m_picture.PixelHeight());
    m_picture = picture;
    if (same) return;
    m_drawn = QImage();
    if (isVisible() && pictureInDisplay()) return;
    update(old.united(QRect(0, 0, picture.PixelWidth(), picture.PixelHeight())));
}

bool Window::pictureInDisplay() {
    // A shaped window that shows nothing but its picture can leave the drawing to the display.
    if (m_kind != Kind::Desktop || m_shape.isEmpty()) return false;
    if (m_onlyPicture < 0) m_onlyPicture = findChildren<QWidget*>().isEmpty() ? 1 : 0;
    if (!m_onlyPicture) return false;
    return m_services.display.ShowPicture(*this, m_picture.Key(), m_picture.Image(),
                                          displayRatio());
}

const QImage& Window::drawnPicture() {
    // Scaled for the display by the same rule as the outline, so that the two always agree.
    const double ratio = displayRatio();
    if (ratio == 1.0) return m_picture.Image();
    if (m_drawn.isNull() || m_drawn.devicePixelRatio() != ratio)
        m_drawn = devicepixels::Scaled(m_picture.Image(), ratio);
    return m_drawn;
}

void Window::SetShape(const QRegion& shape) {
    if (shape == m_shape) return;
    m_shape = shape;
    applyShape();
}

void Window::applyShape() {
    // A desktop window takes its outline in the display's own pixels, scaled as its picture
    // is; one not yet made gets it when it is shown.
    if (m_kind == Kind::Desktop && m_services.display.Live()) {
        if (!windowHandle()) return;
        if (m_services.display.Outline(*this, m_shape, displayRatio())) return;
    }
    setMask(m_shape);
}

void Window::SetMouseIcon(const QCursor& cursor) {
    setCursor(cursor);
}

QCursor Window::CursorFrom(const QString& picture, int hotX, int hotY) const {
    // Qt 6.4 on X11 takes a cursor picture's pixels and hot spot for the display's, whatever
    // ratio the picture says: hand it both in the display's pixels, at a ratio of 1.
    const double ratio = displayRatio();
    QPixmap pixmap = QPixmap::fromImage(devicepixels::Scaled(QImage(picture), ratio));
    pixmap.setDevicePixelRatio(1.0);
    return QCursor(pixmap, devicepixels::Edge(hotX, ratio), devicepixels::Edge(hotY, ratio));
}

void Window::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    // Outside the picture a shaped window shows nothing; an unshaped one shows its background.
    p.fillRect(event->rect(), palette().window());
    if (!m_picture.IsNull()) p.drawImage(QPointF(0, 0), drawnPicture());
}

void Window::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // A dialog moved by the user or the window manager reads back where it stands now.
    if (m_kind != Kind::Dialog || !isVisible() || pos() == m_placed.topLeft()) return;
    const ScreenPlacement screen = m_services.runtime.PrimaryScreen();
    m_left = static_cast<float>(pos().x() - screen.x) * tppX();
    m_top = static_cast<float>(pos().y() - screen.y) * tppY();
    m_placed.moveTopLeft(pos());
}

void Window::closeEvent(QCloseEvent* event) {
    // A desktop window has no close box, and the program alone decides when it goes: a close
    // request from another program (WM_DELETE_WINDOW, which Qt offers on every window) would
    // hide it for good. A dialog closes as its close box closes it.
    if (m_kind == Kind::Desktop)
        event->ignore();
    else
        QWidget::closeEvent(event);
}

void Window::mousePressEvent(QMouseEvent* e) {
    // A click brings a window to the front; no window manager does it for a desktop window.
    if (m_kind == Kind::Desktop && !topmost())
        m_services.display.Stack(*this, WindowDisplay::Band::Ordinary);
    Form_MouseDown(buttonsOf(e->button()), shiftOf(e->modifiers()), e->position().x() * tppX(),
                   e->position().y() * tppY());
}

void Window::mouseMoveEvent(QMouseEvent* e) {
    Form_MouseMove(buttonsOf(e->buttons()), shiftOf(e->modifiers()), e->position().x() * tppX(),
                   e->position().y() * tppY());
}

void Window::mouseReleaseEvent(QMouseEvent* e) {
    Form_MouseUp(buttonsOf(e->button()), shiftOf(e->modifiers()), e->position().x() * tppX(),
                 e->position().y() * tppY());
}

void Window::mouseDoubleClickEvent(QMouseEvent*) {
    Form_DblClick();
}

void Window::Form_MouseDown(int16_t, int16_t, float, float) {}
void Window::Form_MouseMove(int16_t, int16_t, float, float) {}
void Window::Form_MouseUp(int16_t, int16_t, float, float) {}
void Window::Form_DblClick() {}
