#include "x11.h"

#include "platform/devicepixels.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <QWindow>

#ifdef PIMBOLET_HAVE_XCB
#include <xcb/xcb.h>
#ifdef PIMBOLET_HAVE_XCB_SHAPE
#include <xcb/shape.h>
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_set>
#include <vector>
#endif

namespace x11 {

#ifdef PIMBOLET_HAVE_XCB
namespace {
// The application's display connection, looked up once per application: the lookup goes
// through Qt's interface casts, and the desktop windows ask for it several times a tick.
xcb_connection_t* connection() {
    static const QCoreApplication* owner = nullptr;
    static xcb_connection_t* cached = nullptr;
    if (owner == qGuiApp) return cached;
    owner = qGuiApp;
    cached = nullptr;
    if (qGuiApp && QGuiApplication::platformName() == QLatin1String("xcb"))
        if (auto* x = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
            cached = x->connection();
    return cached;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(qstrlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(r);
    return a;
}

struct Atoms {
    xcb_atom_t state, above, skipTaskbar, skipPager, stacking, type, typeDock;
};

const Atoms& atoms(xcb_connection_t* c) {
    static const Atoms a{atom(c, "_NET_WM_STATE"),
                         atom(c, "_NET_WM_STATE_ABOVE"),
                         atom(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                         atom(c, "_NET_WM_STATE_SKIP_PAGER"),
                         atom(c, "_NET_CLIENT_LIST_STACKING"),
                         atom(c, "_NET_WM_WINDOW_TYPE"),
                         atom(c, "_NET_WM_WINDOW_TYPE_DOCK")};
    return a;
}

// A property that holds a list of 32-bit values (atoms or windows).
std::vector<uint32_t> listProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property,
                                   xcb_atom_t type) {
    std::vector<uint32_t> values;
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, 4096), nullptr);
    if (r && r->format == 32) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r));
        values.assign(v, v + xcb_get_property_value_length(r) / 4);
    }
    free(r);
    return values;
}

bool contains(const std::vector<uint32_t>& list, uint32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The X window of a shown or hidden window that stands outside the window manager, or none.
xcb_window_t desktopWindowId(QWidget* window) {
    if (!window || !window->windowHandle() ||
        !(window->windowFlags() & Qt::X11BypassWindowManagerHint))
        return XCB_WINDOW_NONE;
    return static_cast<xcb_window_t>(window->windowHandle()->winId());
}

xcb_window_t rootOf(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// The child of the root that holds a window: the window manager's frame of a managed one.
xcb_window_t toplevelOf(xcb_connection_t* c, xcb_window_t w) {
    for (int depth = 0; depth < 16; ++depth) {
        xcb_query_tree_reply_t* t = xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr);
        if (!t) return XCB_WINDOW_NONE;
        const xcb_window_t parent = t->parent, root = t->root;
        free(t);
        if (parent == root || parent == XCB_WINDOW_NONE) return w;
        w = parent;
    }
    return XCB_WINDOW_NONE;
}

void (*g_onChange)() = nullptr;

class StackingFilter : public QAbstractNativeEventFilter {
  public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t" || !g_onChange) return false;
        auto* ev = static_cast<xcb_generic_event_t*>(message);
        if ((ev->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
        auto* pn = reinterpret_cast<xcb_property_notify_event_t*>(ev);
        xcb_connection_t* c = connection();
        if (c && pn->atom == atoms(c).stacking) g_onChange();
        return false;
    }
};
// Windows whose moves this program makes itself: Qt need not hear of them.
std::unordered_set<xcb_window_t>& selfMoved() {
    static std::unordered_set<xcb_window_t> windows;
    return windows;
}

class MoveFilter : public QAbstractNativeEventFilter {
  public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        auto* ev = static_cast<xcb_generic_event_t*>(message);
        if ((ev->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY) return false;
        const auto* cn = reinterpret_cast<xcb_configure_notify_event_t*>(ev);
        return selfMoved().count(cn->window) != 0;
    }
};
} // namespace

bool available() {
    return connection() != nullptr;
}

namespace {
int g_stepDepth = 0;

// The moves gathered in the current step: the window and its latest place.
struct PendingMove {
    QPointer<QWidget> window;
    xcb_window_t id;
    uint32_t place[2];
};
std::vector<PendingMove>& pendingMoves() {
    static std::vector<PendingMove> moves;
    return moves;
}

void sendMove(xcb_connection_t* c, xcb_window_t id, const uint32_t place[2]) {
    xcb_configure_window(c, id, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
}

void dropPendingMove(xcb_window_t id) {
    auto& moves = pendingMoves();
    moves.erase(std::remove_if(moves.begin(), moves.end(),
                               [id](const PendingMove& m) { return m.id == id; }),
                moves.end());
}
} // namespace

void flush() {
    xcb_connection_t* c = connection();
    if (!c) return;
    for (const PendingMove& m : pendingMoves())
        // A window hidden or destroyed since its move keeps the place it has.
        if (m.window && m.window->isVisible() && desktopWindowId(m.window) == m.id)
            sendMove(c, m.id, m.place);
    pendingMoves().clear();
    xcb_flush(c);
}

Step::Step() {
    ++g_stepDepth;
}

Step::~Step() {
    // Every step's end sends what waits, an inner one's too: a step that opens a modal window
    // runs other steps in that window's event loop, and their moves must not wait for it.
    --g_stepDepth;
    flush();
}

void setDesktopWindowState(QWidget* window, bool above) {
    xcb_connection_t* c = connection();
    if (!c || !window || !window->windowHandle()) return;
    const auto id = static_cast<xcb_window_t>(window->windowHandle()->winId());
    const Atoms& a = atoms(c);

    // Keep whatever else the property holds; change only our three states.
    std::vector<xcb_atom_t> states;
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, a.state, XCB_ATOM_ATOM, 0, 64), nullptr);
    if (r && r->format == 32) {
        const auto* v = static_cast<const xcb_atom_t*>(xcb_get_property_value(r));
        for (int i = 0; i < xcb_get_property_value_length(r) / 4; ++i)
            if (v[i] != a.above && v[i] != a.skipTaskbar && v[i] != a.skipPager)
                states.push_back(v[i]);
    }
    free(r);
    states.push_back(a.skipTaskbar);
    states.push_back(a.skipPager);
    if (above) states.push_back(a.above);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, a.state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.data());
    xcb_flush(c);
}

void stackAmongManagedWindows(QWidget* window, Band band) {
    xcb_connection_t* c = connection();
    const xcb_window_t id = c ? desktopWindowId(window) : xcb_window_t{XCB_WINDOW_NONE};
    if (id == XCB_WINDOW_NONE || !window->isVisible()) return;
    const Atoms& a = atoms(c);
    // This program's own message boxes and other windows it keeps above the rest stay above
    // its desktop windows too.
    std::vector<uint32_t> ownAbove;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowHandle() &&
            (w->isModal() || (w->windowFlags() & Qt::WindowStaysOnTopHint)))
            ownAbove.push_back(static_cast<uint32_t>(w->windowHandle()->winId()));
    // The managed windows from the top down: panels and windows kept above the others first,
    // then the ordinary ones (a desktop window counts among them, at their bottom).
    const std::vector<uint32_t> clients = listProperty(c, rootOf(c), a.stacking, XCB_ATOM_WINDOW);
    xcb_window_t anchor = XCB_WINDOW_NONE;
    for (auto it = clients.rbegin(); it != clients.rend() && anchor == XCB_WINDOW_NONE; ++it) {
        if (contains(ownAbove, *it)) continue;
        if (band == Band::Ordinary &&
            (contains(listProperty(c, *it, a.state, XCB_ATOM_ATOM), a.above) ||
             contains(listProperty(c, *it, a.type, XCB_ATOM_ATOM), a.typeDock)))
            continue;
        anchor = *it;
    }
    // Directly above that window. With none: a topmost window goes to the top, an ordinary
    // one under everything, where the next window to open covers it. (Beside the panels the
    // window manager keeps windows of its own in the upper band, so "just under the lowest
    // panel" would not do.)
    const xcb_window_t frame =
        anchor == XCB_WINDOW_NONE ? xcb_window_t{XCB_WINDOW_NONE} : toplevelOf(c, anchor);
    if (frame == id) return;
    if (frame != XCB_WINDOW_NONE) {
        const uint32_t values[] = {frame, XCB_STACK_MODE_ABOVE};
        xcb_configure_window(c, id, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE,
                             values);
    } else {
        const uint32_t values[] = {band == Band::Topmost ? uint32_t{XCB_STACK_MODE_ABOVE}
                                                         : uint32_t{XCB_STACK_MODE_BELOW}};
        xcb_configure_window(c, id, XCB_CONFIG_WINDOW_STACK_MODE, values);
    }
    xcb_flush(c);
}

void watchStacking(void (*onChange)()) {
    if (!available()) return;
    g_onChange = onChange;
    static StackingFilter* filter = nullptr;
    if (filter) return;
    filter = new StackingFilter;
    QCoreApplication::instance()->installNativeEventFilter(filter);
    // Hear of property changes on the root window, adding to what this client already asked.
    xcb_connection_t* c = connection();
    const xcb_window_t root = rootOf(c);
    xcb_get_window_attributes_reply_t* attrs =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root), nullptr);
    const uint32_t mask = (attrs ? attrs->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
    free(attrs);
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
}

namespace {
// How the display stores a picture for the windows of this program, or nothing when it is not
// the plain 24-bit colour layout that a QImage of RGB32 pixels already has.
struct PixelLayout {
    uint8_t depth = 0;
    bool usable = false;
};

PixelLayout layoutFor(xcb_connection_t* c, xcb_window_t window) {
    PixelLayout layout;
    xcb_get_geometry_reply_t* geo = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    if (!geo) return layout;
    layout.depth = geo->depth;
    free(geo);
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (layout.depth != 24 || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return layout;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == 24 && f.data->bits_per_pixel == 32) layout.usable = true;
    return layout;
}

// The pictures already kept in the display, by the key of the picture they hold and the scale
// they were drawn at (in thousandths).
QHash<QPair<long long, int>, xcb_pixmap_t>& keptPictures() {
    static QHash<QPair<long long, int>, xcb_pixmap_t> kept;
    return kept;
}

} // namespace

bool showPictureInDisplay(QWidget* window, long long key, const QImage& picture, double ratio) {
    xcb_connection_t* c = connection();
    const xcb_window_t id = c ? desktopWindowId(window) : xcb_window_t{XCB_WINDOW_NONE};
    if (id == XCB_WINDOW_NONE || key < 0 || picture.isNull()) return false;
    static const PixelLayout layout = layoutFor(c, id);
    if (!layout.usable) return false;

    static std::unordered_set<xcb_window_t> prepared;
    if (!prepared.count(id)) {
        // The display repaints this window from its background on its own, and the program
        // places it itself: it need not hear of exposures, nor of the moves it makes. Each
        // such notice would wake it several times a second while the pet walks.
        xcb_get_window_attributes_reply_t* attrs =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr);
        if (!attrs) return false;
        const uint32_t mask = attrs->your_event_mask &
                              ~uint32_t{XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
        free(attrs);
        xcb_change_window_attributes(c, id, XCB_CW_EVENT_MASK, &mask);
        prepared.insert(id);
    }

    const QPair<long long, int> kept(key, static_cast<int>(std::lround(ratio * 1000)));
    xcb_pixmap_t pixmap = keptPictures().value(kept, 0);
    if (!pixmap) {
        const QImage rgb =
            devicepixels::Scaled(picture, ratio).convertToFormat(QImage::Format_RGB32);
        pixmap = xcb_generate_id(c);
        xcb_create_pixmap(c, layout.depth, pixmap, id, static_cast<uint16_t>(rgb.width()),
                          static_cast<uint16_t>(rgb.height()));
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, pixmap, 0, nullptr);
        // Row by row: a QImage row may be padded differently from the display's.
        for (int y = 0; y < rgb.height(); ++y)
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc,
                          static_cast<uint16_t>(rgb.width()), 1, 0, static_cast<int16_t>(y), 0,
                          layout.depth, static_cast<uint32_t>(rgb.width() * 4),
                          rgb.constScanLine(y));
        xcb_free_gc(c, gc);
        keptPictures().insert(kept, pixmap);
    }
    xcb_change_window_attributes(c, id, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_clear_area(c, 0, id, 0, 0, 0, 0);
    return true;
}

bool shapeDesktopWindow(QWidget* window, const QRegion& outline, double ratio) {
#ifdef PIMBOLET_HAVE_XCB_SHAPE
    xcb_connection_t* c = connection();
    const xcb_window_t id = c ? desktopWindowId(window) : xcb_window_t{XCB_WINDOW_NONE};
    if (id == XCB_WINDOW_NONE) return false;
    static const bool hasShape = [c] {
        const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_shape_id);
        return ext && ext->present;
    }();
    if (!hasShape) return false;
    if (outline.isEmpty()) {
        xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_PIXMAP_NONE);
    } else {
        std::vector<xcb_rectangle_t> rects;
        for (const QRect& r : devicepixels::Scaled(outline, ratio))
            rects.push_back({static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                             static_cast<uint16_t>(r.width()), static_cast<uint16_t>(r.height())});
        xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED,
                             id, 0, 0, static_cast<uint32_t>(rects.size()), rects.data());
    }
    return true;
#else
    (void)window;
    (void)outline;
    (void)ratio;
    return false;
#endif
}

bool moveDesktopWindow(QWidget* window, int x, int y, Send when) {
    xcb_connection_t* c = connection();
    const xcb_window_t id = c ? desktopWindowId(window) : xcb_window_t{XCB_WINDOW_NONE};
    if (id == XCB_WINDOW_NONE || !window->isVisible()) return false;
    static MoveFilter* filter = nullptr;
    if (!filter) {
        filter = new MoveFilter;
        QCoreApplication::instance()->installNativeEventFilter(filter);
    }
    selfMoved().insert(id);
    const uint32_t place[] = {static_cast<uint32_t>(x), static_cast<uint32_t>(y)};
    if (when == Send::WithStep && g_stepDepth > 0) {
        auto& moves = pendingMoves();
        const auto it = std::find_if(moves.begin(), moves.end(),
                                     [id](const PendingMove& m) { return m.id == id; });
        if (it != moves.end())
            std::copy(place, place + 2, it->place);
        else
            moves.push_back({window, id, {place[0], place[1]}});
        return true;
    }
    dropPendingMove(id);
    sendMove(c, id, place);
    return true;
}

#else

bool available() {
    return false;
}
void flush() {}
Step::Step() = default;
Step::~Step() = default;
bool moveDesktopWindow(QWidget*, int, int, Send) {
    return false;
}
bool showPictureInDisplay(QWidget*, long long, const QImage&, double) {
    return false;
}
bool shapeDesktopWindow(QWidget*, const QRegion&, double) {
    return false;
}
void setDesktopWindowState(QWidget*, bool) {}
void stackAmongManagedWindows(QWidget*, Band) {}
void watchStacking(void (*)()) {}

#endif

} // namespace x11
