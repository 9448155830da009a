#include "x11pictures.h"

#include "x11link.h"

#include "platform/devicepixels.h"

#include <QImage>
#include <QRegion>

#include <xcb/shape.h>

#include <cmath>
#include <cstdlib>
#include <vector>

X11Pictures::X11Pictures(const X11Link& link) : m_link(link) {
    const xcb_query_extension_reply_t* ext =
        xcb_get_extension_data(link.connection(), &xcb_shape_id);
    m_hasShape = ext && ext->present;
}

X11Pictures::PixelLayout X11Pictures::layoutFor(xcb_window_t id) const {
    xcb_connection_t* c = m_link.connection();
    PixelLayout layout;
    xcb_get_geometry_reply_t* geo = xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr);
    if (!geo) return layout;
    layout.depth = geo->depth;
    free(geo);
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (layout.depth != 24 || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return layout;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == 24 && f.data->bits_per_pixel == 32) layout.usable = true;
    return layout;
}

bool X11Pictures::prepare(xcb_window_t id) {
    if (m_windows.contains(id)) return m_windows.value(id).usable;
    xcb_connection_t* c = m_link.connection();
    const PixelLayout layout = layoutFor(id);
    if (layout.usable) {
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
    }
    m_windows.insert(id, layout);
    return layout.usable;
}

bool X11Pictures::show(xcb_window_t id, int64_t key, const QImage& picture, double ratio) {
    if (key < 0 || picture.isNull() || !prepare(id)) return false;
    xcb_connection_t* c = m_link.connection();
    const uint8_t depth = m_windows.value(id).depth;
    const QPair<int64_t, int> kept(key, static_cast<int>(std::lround(ratio * 1000)));
    xcb_pixmap_t pixmap = m_kept.value(kept, 0);
    if (!pixmap) {
        const QImage rgb =
            devicepixels::Scaled(picture, ratio).convertToFormat(QImage::Format_RGB32);
        pixmap = xcb_generate_id(c);
        xcb_create_pixmap(c, depth, pixmap, id, static_cast<uint16_t>(rgb.width()),
                          static_cast<uint16_t>(rgb.height()));
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, pixmap, 0, nullptr);
        // Row by row: a QImage row may be padded differently from the display's.
        for (int y = 0; y < rgb.height(); ++y)
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc,
                          static_cast<uint16_t>(rgb.width()), 1, 0, static_cast<int16_t>(y), 0,
                          depth, static_cast<uint32_t>(rgb.width() * 4), rgb.constScanLine(y));
        xcb_free_gc(c, gc);
        m_kept.insert(kept, pixmap);
    }
    xcb_change_window_attributes(c, id, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_clear_area(c, 0, id, 0, 0, 0, 0);
    return true;
}

bool X11Pictures::outline(xcb_window_t id, const QRegion& outline, double ratio) {
    if (!m_hasShape) return false;
    xcb_connection_t* c = m_link.connection();
    if (outline.isEmpty()) {
        xcb_shape_mask(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, id, 0, 0, XCB_PIXMAP_NONE);
        return true;
    }
    std::vector<xcb_rectangle_t> rects;
    for (const QRect& r : devicepixels::Scaled(outline, ratio))
        rects.push_back({static_cast<int16_t>(r.x()), static_cast<int16_t>(r.y()),
                         static_cast<uint16_t>(r.width()), static_cast<uint16_t>(r.height())});
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED, id,
                         0, 0, static_cast<uint32_t>(rects.size()), rects.data());
    return true;
}

void X11Pictures::forget(xcb_window_t id) {
    m_windows.remove(id);
}
