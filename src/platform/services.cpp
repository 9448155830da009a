#include "services.h"

#include <cstring>

std::array<uint8_t, 88> NotifyIconData::Bytes() const {
    std::array<uint8_t, 88> out{};
    size_t at = 0;
    const auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at++] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(cbSize);
    put32(hWnd);
    put32(uID);
    put32(uFlags);
    put32(uCallbackMessage);
    put32(hIcon);
    std::memcpy(out.data() + at, szTip.data(), std::min<size_t>(szTip.size(), 64));
    return out;
}
