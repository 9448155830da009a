#include "Form1.h"

#include "companions/popmenus.h"
#include "forms/forms.h"
#include "platform/convert.h"
#include "platform/errors.h"

#include <optional>

// The mouse on the pet: dragging, the cursor, and the menus.

namespace {
// The whole twips of a drag; nothing when they do not fit the 16-bit fields, which only a
// pointer far away from the pet can give while the pet holds the mouse.
std::optional<int16_t> Twips16(float value) {
    try {
        return convert::CInt(value);
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}
} // namespace

void Form1::Form_MouseDown(int16_t Button, int16_t, float, float) {
    if (Button == 1) SetMouseIcon(hand2);
}

void Form1::Form_MouseMove(int16_t Button, int16_t, float X, float Y) {
    if (Button != 1) {
        DragX = 0;
        DragY = 0;
    } else if (DragX != 0) {
        // The spot where the pet was grabbed follows the pointer. A step too far to count is
        // left out: the pet stays and keeps its grab point.
        const auto dx = Twips16(X - static_cast<float>(DragX));
        const auto dy = Twips16(Y - static_cast<float>(DragY));
        if (dx && dy) {
            DragDX = *dx;
            DragDY = *dy;
            Move(Left() + static_cast<float>(DragDX), Top() + static_cast<float>(DragDY));
        }
    } else {
        // The first move with the left button takes hold; the pet moves from the next one.
        const auto x = Twips16(X);
        const auto y = Twips16(Y);
        if (x && y) {
            DragX = *x;
            DragY = *y;
        }
    }

    // The tray icon reports its events as moves whose X is the event's number in pixels.
    int32_t event = 0;
    try {
        event = convert::CLng(static_cast<double>(X) / services().runtime.TwipsPerPixelX());
    } catch (const RuntimeError&) {
        // Too far off to be any event's number.
    }
    if (event == static_cast<int32_t>(trayclick::LeftDown) ||
        event == static_cast<int32_t>(trayclick::RightDown))
        PopupMenu(m_forms.popMenus().mnuicon);
}

void Form1::Form_MouseUp(int16_t Button, int16_t, float X, float Y) {
    if (Button == 2) PopupMenu(m_forms.popMenus().mnupimbo, 0, X, Y);
    if (Button == 1) SetMouseIcon(hand1);
}

void Form1::Form_DblClick() {}
