#include "Form1.h"

#include "platform/convert.h"
#include "sight.h"

#include <array>

// The ten-frame walk cycle, the drift that comes with each new walk, and the area it all
// happens in.

namespace {
struct WalkFrame {
    int16_t rightCell;
    int16_t leftCell;
    float stride; // twips in the walking direction, after the frame is shown
};

constexpr std::array<WalkFrame, 10> kWalk = {{
    {9, 18, 0.0f},
    {10, 19, 0.0f},
    {11, 20, 0.0f},
    {12, 21, 0.0f},
    {13, 22, 0.0f},
    {14, 23, 175.0f},
    {15, 24, 0.0f},
    {16, 25, 0.0f},
    {17, 26, 0.0f},
    {27, 31, 190.0f},
}};

void WalkStep(Form1& pet, bool right) {
    if (pet.FrameNo < 1 || pet.FrameNo > 10) return;
    const WalkFrame& frame = kWalk[static_cast<size_t>(pet.FrameNo - 1)];
    pet.ShowCell(right ? frame.rightCell : frame.leftCell);
    if (frame.stride != 0.0f)
        pet.Move(right ? pet.Left() + frame.stride : pet.Left() - frame.stride, pet.Top());
    pet.FrameNo = static_cast<int16_t>(pet.FrameNo % 10 + 1);
}
} // namespace

void Form1::WalkRight() {
    WalkStep(*this, true);
}

void Form1::WalkLeft() {
    WalkStep(*this, false);
}

void Form1::ChooseVertical() {
    // At an edge the drift is none or away from it; between the edges any of the three.
    if (Top() <= 0) {
        Choice = Draw(2);
        VerticalDir = Choice == 1 ? "none" : "downwards";
    } else if (Top() >= services().runtime.ScreenHeight() - Height()) {
        Choice = Draw(2);
        VerticalDir = Choice == 1 ? "none" : "upwards";
    } else {
        Choice = static_cast<int16_t>(1 + Draw(3));
        VerticalDir = Choice == 1 ? "none" : Choice == 2 ? "downwards" : "upwards";
    }
    StepY = Draw(40);
}

void Form1::KeepInSight() {
    // A hidden pet (the egg has not hatched yet) is placed when it comes.
    if (!Visible()) return;
    Runtime& runtime = services().runtime;
    sight::Pet pet;
    pet.window = {Left(), Top(), Width(), Height()};
    pet.pictureWidth = static_cast<float>(GetPicture().PixelWidth()) * runtime.TwipsPerPixelX();
    pet.pictureHeight = static_cast<float>(GetPicture().PixelHeight()) * runtime.TwipsPerPixelY();
    pet.walk = State == "walking right"  ? sight::Walk::Right
               : State == "walking left" ? sight::Walk::Left
                                         : sight::Walk::None;
    const auto place =
        sight::PutBack(pet, runtime.Screens(), runtime.ScreenWidth(), runtime.ScreenHeight());
    if (!place) return;
    Move(place->left, place->top);
    // Put back at an edge, it drifts on only away from it, as a walk chosen there would.
    if ((VerticalDir == "upwards" && Top() <= 0) ||
        (VerticalDir == "downwards" && Top() >= runtime.ScreenHeight() - Height()))
        VerticalDir = "none";
}
