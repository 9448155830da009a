#include "life_fixture.h"
#include "pet/idleposes.h"

namespace {
struct DecisionRow {
    const char* name;
    const char* from;
    int frame;
    float left;
    std::vector<std::pair<int, int>> draws; // every draw of the tick, in order
    const char* to;
    int ticks;
    const char* dir;       // drift left at the end of the tick
    const char* lastState; // nullptr: not checked
};

// Draws of a walk chosen in the middle of the screen: downwards, 5 twips a tick.
const std::pair<int, int> kDown{1, 3}, kStep5{5, 40};
} // namespace

TEST_F(LifeTest, DecisionsFollowTheStateTable) {
    const float noRight = 10068, noLeft = 5292, mid = kMidLeft;
    // clang-format off
    const std::vector<DecisionRow> rows = {
        {"front draw 1", "facing front", 1, mid, {{1, 3}, kDown, kStep5, {7, 50}}, "walking right", 27, "downwards", nullptr},
        {"front draw 2", "facing front", 1, mid, {{2, 3}, kDown, kStep5, {7, 50}}, "walking left", 27, "downwards", nullptr},
        {"front draw 0", "facing front", 1, mid, {{0, 3}, {0, 22}}, "facing front", 0, "none", nullptr},
        {"front 1, no room", "facing front", 1, noRight, {{1, 3}, {0, 22}}, "facing front", 0, "none", nullptr},
        {"front 2, no room", "facing front", 1, noLeft, {{2, 3}, {0, 22}}, "facing front", 0, "none", nullptr},
        {"right draw 1", "facing right", 1, mid, {{1, 2}, kDown, kStep5, {7, 50}}, "walking right", 27, "downwards", nullptr},
        {"right draw 0", "facing right", 1, mid, {{0, 2}, {7, 50}, {0, 22}}, "facing front", 27, "none", nullptr},
        {"right 1, no room", "facing right", 1, noRight, {{1, 2}, {7, 50}, {0, 22}}, "facing front", 27, "none", nullptr},
        {"left draw 1", "facing left", 1, mid, {{1, 2}, kDown, kStep5, {7, 50}}, "walking left", 27, "downwards", nullptr},
        {"left draw 0: shorter", "facing left", 1, mid, {{0, 2}, {7, 40}, {0, 22}}, "facing front", 17, "none", nullptr},
        {"left 1, no room", "facing left", 1, noLeft, {{1, 2}, {7, 40}, {0, 22}}, "facing front", 17, "none", nullptr},
        {"walk right, 1", "walking right", 1, mid, {{0, 5}, {7, 50}, {0, 22}}, "facing front", 27, "none", "walking right"},
        {"walk right, 3", "walking right", 6, mid, {{2, 5}, {7, 50}, kDown, kStep5}, "walking left", 27, "downwards", "walking right"},
        {"walk right, 4", "walking right", 1, mid, {{3, 5}, {7, 50}, {0, 23}}, "facing right", 27, "none", "cleared"},
        {"walk right, 3 no room, 5", "walking right", 1, noLeft, {{2, 5}, {9, 50}, {4, 5}, {7, 50}, {0, 23}}, "facing right", 27, "none", "cleared"},
        {"walk right, 2, then 1", "walking right", 1, mid, {{1, 5}, {9, 50}, {2, 3}, {9, 40}, {0, 5}, {7, 50}, {0, 22}}, "facing front", 27, "none", "walking right"},
        {"walk right, 2, then 3", "walking right", 1, mid, {{1, 5}, {9, 50}, {2, 3}, {9, 40}, {2, 5}, {7, 50}, kDown, kStep5}, "walking left", 27, "downwards", "walking right"},
        {"walk left, 2", "walking left", 1, mid, {{1, 5}, {7, 50}, kDown, kStep5}, "walking right", 27, "downwards", "walking left"},
        {"walk left, 5", "walking left", 6, mid, {{4, 5}, {7, 50}, {0, 23}}, "facing left", 27, "none", "cleared"},
        {"walk left, 2 no room, 4", "walking left", 1, noRight, {{1, 5}, {9, 50}, {3, 5}, {7, 50}, {0, 23}}, "facing left", 27, "none", "cleared"},
        {"walk left, 3, then 1", "walking left", 1, mid, {{2, 5}, {9, 50}, {2, 3}, {9, 40}, {0, 5}, {7, 50}, {0, 22}}, "facing front", 27, "none", "walking left"},
        {"walk between frames waits", "walking right", 3, mid, {}, "walking right", 0, "upwards", nullptr},
        {"reaction: no decision", "tickled right", 2, mid, {}, "tickled right", 0, "none", nullptr},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Put(r.from, 1, r.frame);
        pet().Move(r.left, kMidTop);
        pet().VerticalDir = "upwards";
        pet().StepY = 9;
        pet().LastState = "";
        p.random.script.clear();
        for (const auto& [k, n] : r.draws)
            p.random.Push(k, n);
        const int before = p.random.draws;
        Tick();
        EXPECT_EQ(pet().State, r.to);
        EXPECT_EQ(pet().ActionTicks, r.ticks);
        EXPECT_EQ(pet().VerticalDir, r.dir);
        const float drift = std::string(r.dir) == "downwards" ? 5.0f
                            : std::string(r.dir) == "upwards" ? -9.0f
                                                              : 0.0f;
        EXPECT_EQ(pet().Top(), kMidTop + drift);
        EXPECT_EQ(p.random.draws - before, static_cast<int>(r.draws.size()));
        if (r.lastState) {
            EXPECT_EQ(pet().LastState, r.lastState);
        }
    }
}

TEST_F(LifeTest, IdlePicturesShowTheCellBeforeTheRemark) {
    struct Row {
        const char* state;
        int k, n, cell;
        bool remark;
    };
    const std::vector<Row> rows = {
        {"facing front", 19, 22, 0, false},  {"facing front", 20, 22, 1, true},
        {"facing front", 21, 22, 2, true},   {"facing right", 19, 23, 27, false},
        {"facing right", 20, 23, 28, true},  {"facing right", 21, 23, 29, false},
        {"facing right", 22, 23, 30, false}, {"facing left", 20, 23, 32, true},
        {"facing left", 22, 23, 34, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.state) + " " + std::to_string(r.k));
        Put(r.state, 30);
        sound.Finish();
        sound.cellsAtOpen.clear();
        p.random.Push(r.k, r.n);
        p.random.Push(3, 4);
        Tick();
        EXPECT_EQ(Cell(), r.cell);
        if (r.remark) {
            ASSERT_EQ(sound.cellsAtOpen.size(), 1u);
            EXPECT_EQ(sound.cellsAtOpen[0], r.cell);
            EXPECT_EQ(sound.fileName, p.runtime.appPath + "\\cdata\\\\say4.wav");
        } else {
            EXPECT_TRUE(sound.cellsAtOpen.empty());
            EXPECT_EQ(pet().Choice, r.k + 1);
            p.random.script.clear();
        }
    }
}

// The table that both the tick and the forecast of quiet ticks read: for each standing state,
// the cell each choice shows and which choices speak.
TEST(IdlePoses, EachStandingStateDrawsItsPlainCellMostlyAndAFewPosesSomeWithARemark) {
    struct Row {
        const char* state;
        int plain, choices, lastCell;
        std::vector<int> speaking;
    };
    const std::vector<Row> rows = {
        {"facing front", 0, 22, 2, {21, 22}},
        {"facing right", 27, 23, 30, {21}},
        {"facing left", 31, 23, 34, {21}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.state);
        const IdlePoses* poses = IdlePoses::Of(r.state);
        ASSERT_NE(poses, nullptr);
        ASSERT_EQ(poses->Count, r.choices);
        std::vector<int> speaking;
        for (int16_t choice = 1; choice <= poses->Count; ++choice) {
            EXPECT_EQ(poses->CellFor(choice), choice <= 20 ? r.plain : r.plain + choice - 20);
            EXPECT_EQ(poses->IsPlain(choice), choice <= 20);
            if (poses->Speaks(choice)) speaking.push_back(choice);
        }
        EXPECT_EQ(poses->CellFor(poses->Count), r.lastCell);
        EXPECT_EQ(speaking, r.speaking);
    }
    for (const char* state : {"sleeping", "walking right", "tickled front", ""})
        EXPECT_EQ(IdlePoses::Of(state), nullptr) << state;
}

TEST_F(LifeTest, HiddenPetDoesNotLive) {
    pet().Hide();
    Put("facing front", 1, 1, 1);
    Tick(5);
    EXPECT_EQ(pet().ActionTicks, 1);
    EXPECT_EQ(pet().Energy, 1);
    EXPECT_EQ(p.random.draws, 0);
}

TEST_F(LifeTest, RequestsTurnEachStateIntoItsReaction) {
    struct Row {
        const char* from;
        int request;
        const char* to;
    };
    const std::vector<Row> rows = {
        {"facing right", 1, "tickled right"}, {"walking right", 1, "tickled right"},
        {"facing left", 1, "tickled left"},   {"walking left", 1, "tickled left"},
        {"facing front", 1, "tickled front"}, {"sleeping", 1, "sleeping"},
        {"facing right", 2, "slapped right"}, {"walking right", 2, "slapped right"},
        {"facing left", 2, "slapped left"},   {"walking left", 2, "slapped left"},
        {"facing front", 2, "slapped front"}, {"sleeping", 2, "slapped front"},
        {"tickled left", 2, "tickled left"},  {"slapped front", 1, "slapped front"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.from) + " " + std::to_string(r.request));
        Put(r.from, 30, 3);
        pet().WakeLevel = 700; // keeps a sleeping pet asleep
        pet().Interaction = static_cast<int16_t>(r.request);
        Tick();
        EXPECT_EQ(pet().State, r.to);
        EXPECT_EQ(pet().Interaction, 0);
        // A reaction has drawn its first frame; a used-up tickle leaves the restarted count.
        EXPECT_EQ(pet().FrameNo, std::string(r.to) == "sleeping" ? 1 : 2);
        sound.Finish();
    }
}

TEST_F(LifeTest, RequestWaitsForTimeAndTheLatestOneWins) {
    Put("facing front", 1);
    pet().Interaction = 1;
    Tick(); // time runs out and the walk draw fails: the tickle waits
    EXPECT_EQ(pet().Interaction, 1);
    EXPECT_EQ(pet().State, "facing front");
    pet().Interaction = 2;
    Draws({{1, 3}, {0, 3}, {0, 40}, {10, 50}});
    Tick(); // a walk is granted and the slap is taken in the same tick
    EXPECT_EQ(pet().State, "slapped right");
    EXPECT_EQ(pet().ActionTicks, 30);
    EXPECT_EQ(pet().Interaction, 0);
    EXPECT_EQ(Cell(), 28);
}

TEST_F(LifeTest, SleepLastsFrom201To350Ticks) {
    for (const auto& [k, ticks] : std::vector<std::pair<int, int>>{{0, 201}, {299, 350}}) {
        SCOPED_TRACE(ticks);
        Put("facing front", 30, 6, 1);
        pet().VerticalDir = "upwards";
        Draws({{k, 300}, {39, 40}});
        Tick();
        EXPECT_EQ(pet().State, "sleeping");
        EXPECT_EQ(Cell(), 3);
        EXPECT_EQ(pet().FrameNo, 0);
        EXPECT_EQ(pet().Energy, 0);
        EXPECT_EQ(pet().WakeLevel, 400 + k);
        EXPECT_EQ(pet().ActionTicks, 49);
        EXPECT_EQ(pet().VerticalDir, "none");
        int slept = 0;
        while (pet().State == "sleeping" && slept < 400) {
            Draws({{5, 50}, {21, 22}});
            Tick();
            ++slept;
            if (pet().State == "sleeping") {
                EXPECT_EQ(pet().ActionTicks, 49);
                p.random.script.clear();
            }
        }
        EXPECT_EQ(slept, ticks);
        EXPECT_EQ(pet().State, "facing front");
        EXPECT_EQ(pet().FrameNo, 1);
        EXPECT_EQ(pet().ActionTicks, 25);
        EXPECT_EQ(Cell(), 2) << "the waking tick draws its idle picture";
        sound.Finish();
    }
}

TEST_F(LifeTest, OnlyAPetFacingFrontFallsAsleep) {
    Put("walking right", 1, 1, 0);
    Tick(); // energy -1; the walk ends facing front
    EXPECT_EQ(pet().State, "facing front");
    EXPECT_EQ(pet().Energy, -1);
    Tick();
    EXPECT_EQ(pet().State, "sleeping");
    EXPECT_EQ(pet().Energy, 0);

    Put("facing right", 30, 1, -5);
    Tick();
    EXPECT_EQ(pet().State, "facing right");
    EXPECT_EQ(pet().Energy, -6);
}

TEST_F(LifeTest, SlapsCountOnlyBelowTheWakeLevel) {
    struct Row {
        int wakeLevel, energy; // energy before the tick, which spends 1
        bool counted;
    };
    for (const auto& r : std::vector<Row>{
             {0, 5, false}, {0, 1, false}, {0, 0, true}, {500, 501, false}, {500, 500, true}}) {
        SCOPED_TRACE(std::to_string(r.wakeLevel) + "/" + std::to_string(r.energy));
        Put("facing right", 30, 1, r.energy);
        pet().WakeLevel = static_cast<int16_t>(r.wakeLevel);
        pet().SlapCount = 0;
        pet().Interaction = 2;
        Tick();
        EXPECT_EQ(pet().SlapCount, r.counted ? 1 : 0);
        sound.Finish();
    }
}

TEST_F(LifeTest, ThirdCountedSlapRefillsEnergy) {
    Put("facing right", 30, 1, -2);
    pet().SlapCount = 1; // an earlier slap still counts
    pet().Interaction = 2;
    Draws({{0, 4}});
    Tick();
    EXPECT_EQ(pet().SlapCount, 2);
    pet().Interaction = 2;
    Draws({{150, 300}}); // the cry finds the first still playing: no draw for it
    Tick();
    EXPECT_EQ(pet().Energy, 450);
    EXPECT_EQ(pet().SlapCount, 0);
    EXPECT_EQ(pet().FrameNo, 2);
    EXPECT_EQ(pet().State, "slapped right");
    EXPECT_TRUE(p.random.script.empty());

    // Asleep with a wake level, the slap wakes it and counts.
    Put("sleeping", 30, 0, 100);
    pet().WakeLevel = 500;
    pet().Interaction = 2;
    Tick();
    EXPECT_EQ(pet().State, "slapped front");
    EXPECT_EQ(pet().Energy, 102);
    EXPECT_EQ(pet().SlapCount, 1);
}

// Ticks said to be quiet change nothing that can be seen or heard: over a long life of random
// draws, from every state the pet comes to, including sleep. (The timer sleeps through them.)
TEST_F(LifeTest, TicksSaidToBeQuietChangeNothingSeenOrHeard) {
    uint32_t seed = 12345;
    for (int i = 0; i < 40000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        p.random.script.push_back(static_cast<float>(seed >> 8) / 16777216.0f);
    }
    struct Look {
        int cell;
        float left, top;
        size_t sounds;
        std::string state; // for the message only
        bool operator==(const Look& o) const {
            return cell == o.cell && left == o.left && top == o.top && sounds == o.sounds;
        }
    };
    const auto look = [&] {
        return Look{Cell(), pet().Left(), pet().Top(), sound.commands.size(), pet().State};
    };
    int quietLeft = 0, quiet = 0, asleepQuiet = 0;
    for (int tick = 0; tick < 6000; ++tick) {
        if (quietLeft == 0) {
            quietLeft = pet().QuietTicksAhead();
            quiet += quietLeft;
            if (quietLeft > 0 && pet().State == "sleeping") asleepQuiet += quietLeft;
        }
        const Look before = look();
        Tick();
        sound.Finish();
        if (quietLeft > 0) {
            --quietLeft;
            ASSERT_TRUE(look() == before) << "tick " << tick << " in " << before.state;
        }
    }
    EXPECT_GT(quiet, 1000) << "standing and sleeping pets have quiet ticks";
    EXPECT_GT(asleepQuiet, 100);
}

TEST_F(LifeTest, NoQuietTicksAreKnownWhileARequestWaitsOrWhenHidden) {
    for (int i = 0; i < 100; ++i)
        p.random.script.push_back(0.1f);
    Tick(); // the plain pose
    ASSERT_GT(pet().QuietTicksAhead(), 0);
    pet().Interaction = 1;
    EXPECT_EQ(pet().QuietTicksAhead(), 0);
    pet().Interaction = 0;
    pet().Hide();
    EXPECT_EQ(pet().QuietTicksAhead(), 0);
}
