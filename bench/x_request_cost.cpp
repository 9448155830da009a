// What the X server spends on the requests one step of a desktop pet sends, by kind. A window of
// the pet's size (override-redirect, shaped, its picture kept in the display as its background)
// takes one kind of step every 40 ms; the X server's own CPU time is read from /proc before and
// after, and the cost per step printed. Run it on a display of its own (x_request_cost.sh does),
// as any other client there adds to the figures.
//
// Usage: x_request_cost XSERVER_PID [steps]

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {
long long cpuNs(int pid) {
    long long ns = 0;
    for (const auto& task :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
        std::ifstream stat(task.path() / "schedstat");
        long long running = 0;
        stat >> running;
        ns += running;
    }
    return ns;
}

constexpr uint16_t kWidth = 90, kHeight = 100; // one cell of the pet's sprite sheet

// An outline like a sprite's: one band of rectangles per row, two variants.
std::vector<xcb_rectangle_t> outline(int variant) {
    std::vector<xcb_rectangle_t> rects;
    for (int y = 0; y < kHeight; ++y) {
        const double dy = (y - kHeight / 2.0) / (kHeight / 2.0);
        const double room = 1 - dy * dy;
        if (room <= 0) continue;
        const int half =
            static_cast<int>(kWidth / 2.0 * (0.6 + 0.4 * room) * (variant ? 0.9 : 1.0));
        rects.push_back({static_cast<int16_t>(kWidth / 2 - half), static_cast<int16_t>(y),
                         static_cast<uint16_t>(2 * half), 1});
    }
    return rects;
}

struct Kind {
    const char* name;
    bool move, picture, shape;
};
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: x_request_cost XSERVER_PID [steps]\n");
        return 2;
    }
    const int server = std::atoi(argv[1]);
    const int steps = argc > 2 ? std::atoi(argv[2]) : 500;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "x_request_cost: no X display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t w = xcb_generate_id(c);
    const uint32_t attrs[] = {screen->black_pixel, 1};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, 100, 100, kWidth, kHeight, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, attrs);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_pixmap_t pictures[2];
    std::vector<uint32_t> row(kWidth);
    for (int k = 0; k < 2; ++k) {
        pictures[k] = xcb_generate_id(c);
        xcb_create_pixmap(c, screen->root_depth, pictures[k], w, kWidth, kHeight);
        if (k == 0) xcb_create_gc(c, gc, pictures[0], 0, nullptr);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x)
                row[static_cast<size_t>(x)] = k ? 0xff8800u + static_cast<uint32_t>(x * y)
                                                : 0x0088ffu + static_cast<uint32_t>(x + y);
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pictures[k], gc, kWidth, 1, 0,
                          static_cast<int16_t>(y), 0, screen->root_depth, kWidth * 4,
                          reinterpret_cast<const uint8_t*>(row.data()));
        }
    }
    const std::vector<xcb_rectangle_t> outlines[2] = {outline(0), outline(1)};
    xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_UNSORTED, w,
                         0, 0, static_cast<uint32_t>(outlines[0].size()), outlines[0].data());
    xcb_change_window_attributes(c, w, XCB_CW_BACK_PIXMAP, &pictures[0]);
    xcb_map_window(c, w);
    xcb_flush(c);
    std::this_thread::sleep_for(std::chrono::seconds(1));

    const Kind kinds[] = {
        {"a wakeup with nothing to do", false, false, false},
        {"a move", true, false, false},
        {"a new picture", false, true, false},
        {"a new outline", false, false, true},
        {"a new picture and outline", false, true, true},
        {"a walking step: picture, outline and move", true, true, true},
    };
    std::printf("X server CPU per step, %d steps each, 25 steps a second\n", steps);
    for (const Kind& kind : kinds) {
        const long long before = cpuNs(server);
        for (int t = 0; t < steps; ++t) {
            const int k = t & 1;
            if (kind.picture) {
                xcb_change_window_attributes(c, w, XCB_CW_BACK_PIXMAP, &pictures[k]);
                xcb_clear_area(c, 0, w, 0, 0, 0, 0);
            }
            if (kind.shape)
                xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING,
                                     XCB_CLIP_ORDERING_UNSORTED, w, 0, 0,
                                     static_cast<uint32_t>(outlines[k].size()), outlines[k].data());
            if (kind.move) {
                const uint32_t place[] = {static_cast<uint32_t>(100 + (t % 100) * 6), 100};
                xcb_configure_window(c, w, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
            }
            if (!kind.move && !kind.picture && !kind.shape) xcb_no_operation(c);
            xcb_flush(c);
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // all done
        const double us = static_cast<double>(cpuNs(server) - before) / steps / 1000.0;
        std::printf("  %-44s %6.0f us\n", kind.name, us);
    }
    xcb_disconnect(c);
    return 0;
}
