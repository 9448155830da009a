#include "picture.h"

#include "errors.h"

#include <QHash>

#include <atomic>
#include <cmath>
#include <mutex>

namespace {
std::atomic<int64_t> g_nextSheet{1};

struct HandleTable {
    std::mutex lock;
    QHash<uint32_t, Picture> byHandle;
    QHash<int64_t, uint32_t> byKey;
    uint32_t next = 0x1000;
};
HandleTable& handles() {
    static HandleTable table;
    return table;
}

int32_t himetric(int pixels, float twipsPerPixel) {
    const double dpi = 1440.0 / twipsPerPixel;
    return static_cast<int32_t>(std::lround(pixels * 2540.0 / dpi));
}
} // namespace

Picture::Picture(QImage image, int64_t key) : m_image(std::move(image)), m_key(key) {}

int32_t Picture::Width(float twipsPerPixel) const {
    return himetric(PixelWidth(), twipsPerPixel);
}

int32_t Picture::Height(float twipsPerPixel) const {
    return himetric(PixelHeight(), twipsPerPixel);
}

uint32_t Picture::Handle() const {
    if (IsNull()) return 0;
    HandleTable& t = handles();
    std::lock_guard guard(t.lock);
    if (m_key >= 0) {
        if (auto it = t.byKey.find(m_key); it != t.byKey.end()) return it.value();
    }
    const uint32_t h = t.next++;
    t.byHandle.insert(h, *this);
    if (m_key >= 0) t.byKey.insert(m_key, h);
    return h;
}

Picture Picture::FromHandle(uint32_t handle) {
    HandleTable& t = handles();
    std::lock_guard guard(t.lock);
    return t.byHandle.value(handle);
}

PictureClip::PictureClip(const QImage& sheet, int rows, int cols) : m_rows(rows), m_cols(cols) {
    const QImage rgb = sheet.convertToFormat(QImage::Format_RGB32);
    const int64_t sheetId = g_nextSheet++;
    const int w = rgb.width() / cols;
    const int h = rgb.height() / rows;
    for (int n = 0; n < rows * cols && !rgb.isNull(); ++n)
        m_cells.emplace_back(rgb.copy((n % cols) * w, (n / cols) * h, w, h), (sheetId << 16) | n);
}

Picture PictureClip::GraphicCell(int index) const {
    if (index < 0 || index >= static_cast<int>(m_cells.size()))
        throw RuntimeError(380, "Invalid property value");
    return m_cells[static_cast<size_t>(index)];
}
