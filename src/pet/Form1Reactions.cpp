#include "Form1.h"

#include "companions/Form2.h"
#include "forms/forms.h"

// The tickle and slap reactions, and the sounds the pet makes.

namespace {
struct Reaction {
    int16_t cell;
    int16_t lastFrame;
    const char* endState;
    bool laughs; // tickles laugh; slaps leave the cry to PlaySound
};

void React(Form1& pet, const Reaction& r) {
    if (pet.FrameNo == 1) {
        // The sound is asked for before the picture changes.
        std::string wave = r.laughs ? "\\cdata\\" + pet.UseCdata + "\\laugh.wav" : std::string();
        pet.PlaySound(wave);
        pet.ShowCell(r.cell);
    }
    pet.FrameNo = static_cast<int16_t>(pet.FrameNo + 1);
    if (pet.FrameNo > r.lastFrame) {
        pet.State = r.endState;
        pet.FrameNo = 1;
    }
}
} // namespace

void Form1::TickleRight() {
    React(*this, {28, 4, "facing right", true});
}
void Form1::TickleLeft() {
    React(*this, {32, 4, "facing left", true});
}
void Form1::TickleFront() {
    React(*this, {2, 5, "facing front", true});
}
void Form1::SlapRight() {
    React(*this, {28, 4, "walking right", false});
}
void Form1::SlapLeft() {
    React(*this, {32, 4, "walking left", false});
}
void Form1::SlapFront() {
    React(*this, {4, 4, "facing front", false});
}

void Form1::PlaySound(std::string& WaveFile) {
    if (m_forms.form2().Check1.Value() == 0) return;

    // A sound that still plays is never cut off: the new request is dropped instead. One that
    // has played to its end is closed first; after "Close" no file is open.
    if (Sound.Length() != 0) {
        if (Sound.Position() != Sound.Length()) return;
        Sound.Command("Close");
    }

    const std::string folder = services().runtime.AppPath();
    if (!WaveFile.empty()) {
        Sound.SetFileName(folder + WaveFile);
    } else {
        const int16_t n = static_cast<int16_t>(1 + Draw(4));
        Choice = n;
        const char* kind = StatePrefix == "slapped" ? "\\pain" : "\\say";
        Sound.SetFileName(folder + "\\cdata\\" + UseCdata + kind + std::to_string(n) + ".wav");
    }
    Sound.Command("Open");
    Sound.Command("Play");
}
