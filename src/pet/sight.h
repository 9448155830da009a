#pragma once

#include "platform/services.h"

#include <optional>
#include <vector>

// Whether a monitor shows the pet, and where the pet goes back to when none does.
namespace sight {

enum class Walk { None, Right, Left };

struct Pet {
    ScreenArea window;
    // What it shows of itself, from the window's top-left corner: its picture, smaller than the
    // window.
    float pictureWidth = 0;
    float pictureHeight = 0;
    Walk walk = Walk::None;
};

struct Place {
    float left;
    float top;
};

// Where the pet's window goes when no monitor shows any of its picture: the nearest place of the
// primary monitor's area where it walks (screenWidth x screenHeight twips), its window between
// the edges that its walks and drifts know (0 to screenWidth - Width, 0 to screenHeight -
// Height). Nothing when a monitor shows it, when it walks in from beside one, level with it and
// its window touching the monitor's side (as a later run starts, wholly outside a screen edge),
// or when no monitor is known.
std::optional<Place> PutBack(const Pet& pet, const std::vector<ScreenArea>& screens,
                             float screenWidth, float screenHeight);

} // namespace sight
