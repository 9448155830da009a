#include "life_fixture.h"

#include "companions/Form2.h"

#include <map>

namespace {
const std::string kLaugh = "\\cdata\\\\laugh.wav";
}

TEST_F(LifeTest, SoundOptionOffPlaysNothingAndDrawsNothing) {
    forms.form2().Check1.SetValue(0);
    pet().Choice = 77;
    std::string none;
    pet().PlaySound(none);
    EXPECT_TRUE(sound.commands.empty());
    EXPECT_EQ(sound.fileName, "");
    EXPECT_EQ(pet().Choice, 77);
    EXPECT_EQ(p.random.draws, 0);

    // A finished sound is not closed either while the option is off.
    sound.length = sound.position = 500;
    pet().PlaySound(none);
    EXPECT_TRUE(sound.commands.empty());
}

TEST_F(LifeTest, SoundNeverCutsOffAnotherAndClosesAFinishedOne) {
    struct Row {
        const char* name;
        int16_t option;
        long length, position;
        std::vector<std::string> commands;
    };
    const std::string laugh = p.runtime.appPath + kLaugh;
    const std::vector<Row> rows = {
        {"first of the run", 1, 0, 0, {"Open " + laugh, "Play"}},
        {"played to its end", 1, 1000, 1000, {"Close", "Open " + laugh, "Play"}},
        {"still playing", 1, 1000, 999, {}},
        {"greyed box counts as on", 2, 0, 0, {"Open " + laugh, "Play"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        forms.form2().Check1.SetValue(r.option);
        sound.commands.clear();
        sound.fileName = "old.wav";
        sound.length = r.length;
        sound.position = r.position;
        std::string wave = kLaugh;
        pet().PlaySound(wave);
        EXPECT_EQ(sound.commands, r.commands);
        EXPECT_EQ(sound.fileName, r.commands.empty() ? "old.wav" : laugh);
        EXPECT_EQ(wave, kLaugh);
    }
}

TEST_F(LifeTest, EmptyRequestIsACryOnlyWhileThePrefixIsSlapped) {
    struct Row {
        const char* prefix;
        const char* state;
        int draw;
        const char* file;
    };
    for (const auto& r : std::vector<Row>{{"slapped", "facing front", 2, "pain3"},
                                          {"walking", "slapped right", 0, "say1"},
                                          {"tickled", "tickled left", 3, "say4"},
                                          {"sleepin", "sleeping", 1, "say2"},
                                          {"facing ", "facing front", 2, "say3"}}) {
        SCOPED_TRACE(r.prefix);
        pet().StatePrefix = r.prefix;
        pet().State = r.state;
        sound.Finish();
        p.random.Push(r.draw, 4);
        std::string empty;
        pet().PlaySound(empty);
        EXPECT_EQ(sound.fileName, p.runtime.appPath + "\\cdata\\\\" + r.file + ".wav");
        EXPECT_EQ(pet().Choice, r.draw + 1);
    }
}

TEST_F(LifeTest, RemarksAndCriesComeEquallyOften) {
    uint32_t seed = 12345;
    for (int i = 0; i < 8000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        p.random.script.push_back(static_cast<float>(seed >> 8) / 16777216.0f);
    }
    for (const char* prefix : {"facing ", "slapped"}) {
        SCOPED_TRACE(prefix);
        pet().StatePrefix = prefix;
        std::map<std::string, int> heard;
        for (int i = 0; i < 4000; ++i) {
            std::string empty;
            pet().PlaySound(empty);
            ++heard[sound.fileName];
            sound.Finish();
        }
        ASSERT_EQ(heard.size(), 4u);
        for (const auto& [file, count] : heard) {
            EXPECT_NEAR(count, 1000, 100) << file;
            EXPECT_NE(file.find(std::string(prefix) == "slapped" ? "pain" : "say"),
                      std::string::npos);
        }
    }
}

TEST_F(LifeTest, ReactionsSoundThenShowThenEndInTheirEndState) {
    struct Row {
        const char* state;
        int cell, calls;
        const char* endState;
        int endCell, endFrame;
        std::string file;
    };
    const std::string pain1 = "\\cdata\\\\pain1.wav";
    const std::vector<Row> rows = {
        {"tickled right", 28, 4, "facing right", 27, 1, kLaugh},
        {"tickled left", 32, 4, "facing left", 31, 1, kLaugh},
        {"tickled front", 2, 5, "facing front", 0, 1, kLaugh},
        {"slapped right", 28, 4, "walking right", 9, 2, pain1},
        {"slapped left", 32, 4, "walking left", 18, 2, pain1},
        {"slapped front", 4, 4, "facing front", 0, 1, pain1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.state);
        pet().ShowCell(7);
        Put(r.state, 30);
        pet().StatePrefix = "";
        sound.commands.clear();
        sound.cellsAtOpen.clear();
        sound.Finish();
        Tick();
        EXPECT_EQ(sound.fileName, p.runtime.appPath + r.file);
        EXPECT_EQ(sound.cellsAtOpen, std::vector<int>{7}) << "the sound comes first";
        EXPECT_EQ(Cell(), r.cell);
        for (int call = 2; call < r.calls; ++call) {
            Tick();
            EXPECT_EQ(pet().State, r.state);
            EXPECT_EQ(Cell(), r.cell);
        }
        sound.Finish();
        Tick();
        EXPECT_EQ(pet().State, r.endState);
        EXPECT_EQ(Cell(), r.endCell) << "the end state is drawn in the same tick";
        EXPECT_EQ(pet().FrameNo, r.endFrame);
        EXPECT_EQ(sound.cellsAtOpen.size(), 1u);
    }
}

TEST_F(LifeTest, RequestDuringAReactionRestartsIt) {
    Put("tickled right", 30);
    Tick(2);
    pet().Interaction = 1;
    Tick(); // the first laugh still plays: the second is dropped, the picture shown again
    EXPECT_EQ(pet().State, "tickled right");
    EXPECT_EQ(pet().FrameNo, 2);
    EXPECT_EQ(sound.played.size(), 1u);
    Tick(2);
    EXPECT_EQ(pet().State, "tickled right") << "the restart gives it four more ticks";
    Tick();
    EXPECT_EQ(pet().State, "facing right");
}

TEST_F(LifeTest, FrontSlapEndingTickMakesACryForItsRemark) {
    Put("slapped front", 30, 4);
    sound.Finish();
    Draws({{20, 22}, {2, 4}});
    Tick();
    EXPECT_EQ(pet().State, "facing front");
    EXPECT_EQ(Cell(), 1);
    EXPECT_EQ(sound.fileName, p.runtime.appPath + "\\cdata\\\\pain3.wav");
}
