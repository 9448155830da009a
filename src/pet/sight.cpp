#include "sight.h"

#include <algorithm>

namespace sight {

namespace {
// Two spans share some length: touching is not enough.
bool Overlap(float from, float length, float otherFrom, float otherLength) {
    return from < otherFrom + otherLength && otherFrom < from + length;
}

float Between(float value, float most) {
    return std::max(0.0f, std::min(value, most));
}
} // namespace

std::optional<Place> PutBack(const Pet& pet, const std::vector<ScreenArea>& screens,
                             float screenWidth, float screenHeight) {
    if (screens.empty()) return std::nullopt;
    const ScreenArea& w = pet.window;
    for (const ScreenArea& s : screens) {
        if (!Overlap(w.top, pet.pictureHeight, s.top, s.height)) continue;
        if (Overlap(w.left, pet.pictureWidth, s.left, s.width)) return std::nullopt;
        const bool touching = w.left <= s.left + s.width && w.left + w.width >= s.left;
        const bool towards = (pet.walk == Walk::Right && w.left < s.left) ||
                             (pet.walk == Walk::Left && w.left > s.left);
        if (touching && towards) return std::nullopt;
    }
    return Place{Between(w.left, screenWidth - w.width), Between(w.top, screenHeight - w.height)};
}

} // namespace sight
