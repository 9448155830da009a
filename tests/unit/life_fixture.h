#pragma once

#include "fakes/fakes.h"
#include "forms/forms.h"
#include "pet/Form1.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

// A sound device that also notes which cell the pet showed when each sound was opened, so
// tests can tell whether the picture came before or after the sound.
class SpySound : public FakeMultimedia {
  public:
    void Command(const std::string& command) override {
        if (command == "Open" && cellNow) cellsAtOpen.push_back(cellNow());
        FakeMultimedia::Command(command);
    }
    std::function<int()> cellNow;
    std::vector<int> cellsAtOpen;
};

// A later-run pet, visible, moved to the middle of a 1024 x 768 pixel screen where it has
// room on both sides; tests put it into a state and run ticks. Unscripted draws give 0.
class LifeTest : public ::testing::Test {
  protected:
    static constexpr float kSize = 2646;
    static constexpr float kMidLeft = 6000; // room right below 10068, room left above 5292
    static constexpr float kMidTop = 4000;

    void SetUp() override {
        p.settings.Set("birth", "2025-01-02 03:04:05");
        forms.form1();
        p.random.script.clear();
        p.random.draws = 0;
        sound.cellNow = [this] { return Cell(); };
        pet().Move(kMidLeft, kMidTop);
        Put("facing front", 30);
    }

    Form1& pet() { return forms.form1(); }
    int Cell() { return static_cast<int>(pet().GetPicture().Key() & 0xffff); }

    void Put(const std::string& state, int ticks, int frame = 1, int energy = 300) {
        pet().State = state;
        pet().ActionTicks = static_cast<int16_t>(ticks);
        pet().FrameNo = static_cast<int16_t>(frame);
        pet().Energy = static_cast<int16_t>(energy);
    }
    // Scripts draws given as (result, range) pairs.
    void Draws(std::initializer_list<std::pair<int, int>> draws) {
        for (const auto& [k, n] : draws)
            p.random.Push(k, n);
    }
    void Tick(int times = 1) {
        for (int i = 0; i < times; ++i)
            pet().Timer1_Timer();
    }

    FakePlatform p;
    SpySound sound;
    Services services{p.runtime, p.clock, p.random,  p.files, p.settings, p.msgbox,
                      sound,     p.inet,  p.browser, p.tray,  p.stacking, p.display};
    Forms forms{services};
};
