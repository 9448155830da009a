#include "x11.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef PIMBOLET_HAVE_XCB
#include <xcb/xcb.h>

#include <array>
#include <vector>
#endif

namespace x11 {

#ifdef PIMBOLET_HAVE_XCB
namespace {
xcb_connection_t* connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(qstrlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(r);
    return a;
}

struct Atoms {
    xcb_atom_t state, above, skipTaskbar, skipPager, activeWindow, stacking;
};

const Atoms& atoms(xcb_connection_t* c) {
    static const Atoms a{atom(c, "_NET_WM_STATE"),
                         atom(c, "_NET_WM_STATE_ABOVE"),
                         atom(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                         atom(c, "_NET_WM_STATE_SKIP_PAGER"),
                         atom(c, "_NET_ACTIVE_WINDOW"),
                         atom(c, "_NET_CLIENT_LIST_STACKING")};
    return a;
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
        if (c && (pn->atom == atoms(c).activeWindow || pn->atom == atoms(c).stacking)) g_onChange();
        return false;
    }
};
} // namespace

bool available() {
    return connection() != nullptr;
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

void watchStacking(void (*onChange)()) {
    if (!available()) return;
    g_onChange = onChange;
    static StackingFilter* filter = nullptr;
    if (filter) return;
    filter = new StackingFilter;
    QCoreApplication::instance()->installNativeEventFilter(filter);
    // Hear of property changes on the root window, adding to what this client already asked.
    xcb_connection_t* c = connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_get_window_attributes_reply_t* attrs =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root), nullptr);
    const uint32_t mask = (attrs ? attrs->your_event_mask : 0) | XCB_EVENT_MASK_PROPERTY_CHANGE;
    free(attrs);
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
}

#else

bool available() {
    return false;
}
void setDesktopWindowState(QWidget*, bool) {}
void watchStacking(void (*)()) {}

#endif

} // namespace x11
