#include "life_fixture.h"

#include <cmath>

TEST_F(LifeTest, WalkWithTimeLeftSkipsFrames5And10AndStillStrides) {
    struct Row {
        const char* state;
        float sign;
        std::vector<int> cells;
    };
    for (const auto& r :
         std::vector<Row>{{"walking right", 1, {9, 10, 11, 12, 14, 15, 16, 17, 9}},
                          {"walking left", -1, {18, 19, 20, 21, 23, 24, 25, 26, 18}}}) {
        SCOPED_TRACE(r.state);
        Put(r.state, 50);
        pet().Move(kMidLeft, kMidTop);
        pet().VerticalDir = "none";
        for (size_t i = 0; i < r.cells.size(); ++i) {
            const float before = pet().Left();
            Tick();
            EXPECT_EQ(Cell(), r.cells[i]) << "tick " << i + 1;
            const float stride = i == 4 ? 175.0f : i == 8 ? 190.0f : 0.0f;
            EXPECT_EQ(pet().Left(), before + r.sign * stride) << "tick " << i + 1;
        }
        EXPECT_EQ(pet().Top(), kMidTop);
        EXPECT_EQ(p.random.draws, 0) << "a walk with time left draws nothing";
    }
}

TEST_F(LifeTest, FinishedWalkRunsOnToFrame5Or10ThenDecides) {
    struct Row {
        const char* state;
        int frame;
        std::vector<int> cells;
        float lastStride; // on the third tick
        int stopFrame;
    };
    for (const auto& r : std::vector<Row>{{"walking right", 3, {11, 12, 13}, 0, 6},
                                          {"walking left", 3, {20, 21, 22}, 0, 6},
                                          {"walking right", 8, {16, 17, 27}, 190, 1},
                                          {"walking left", 8, {25, 26, 31}, -190, 1}}) {
        SCOPED_TRACE(std::string(r.state) + " " + std::to_string(r.frame));
        Put(r.state, 1, r.frame);
        pet().Move(kMidLeft, kMidTop);
        p.random.draws = 0;
        for (size_t i = 0; i < 3; ++i) {
            Tick();
            EXPECT_EQ(Cell(), r.cells[i]);
        }
        EXPECT_EQ(pet().Left(), kMidLeft + r.lastStride);
        EXPECT_EQ(pet().FrameNo, r.stopFrame);
        EXPECT_EQ(pet().State, r.state);
        EXPECT_EQ(p.random.draws, 0);
        Tick(); // the decision: fallback draws end the walk facing front
        EXPECT_EQ(pet().State, "facing front");
        EXPECT_EQ(Cell(), 0);
    }
}

TEST_F(LifeTest, OtherWalkBeginsAtTheStopFrameWithItsStride) {
    Put("walking right", 0, 6);
    Draws({{2, 5}, {7, 50}, {0, 3}, {0, 40}});
    Tick();
    EXPECT_EQ(pet().State, "walking left");
    EXPECT_EQ(Cell(), 23);
    EXPECT_EQ(pet().Left(), kMidLeft - 175);
    EXPECT_EQ(pet().FrameNo, 7);
}

TEST_F(LifeTest, WalkFramesOutsideTheCycleChangeNothing) {
    for (const int frame : {0, 11, -1}) {
        SCOPED_TRACE(frame);
        pet().ShowCell(7);
        Put("walking left", 0, frame);
        Tick();
        EXPECT_EQ(Cell(), 7);
        EXPECT_EQ(pet().Left(), kMidLeft);
        EXPECT_EQ(pet().FrameNo, frame);
    }
}

TEST_F(LifeTest, RoomTestsAreStrictAndNotMirrorImages) {
    struct Row {
        float left;
        int side; // the facing-front draw: 1 right, 2 left
        bool walks;
    };
    const float rightEdge = p.runtime.screenWidth - 2 * kSize; // 10068
    const std::vector<Row> rows = {
        {rightEdge, 1, false},
        {std::nextafter(rightEdge, 0.0f), 1, true},
        {2 * kSize, 2, false},
        {std::nextafter(2 * kSize, 1e9f), 2, true},
        // A gap of one and a half widths is room on the right but not on the left.
        {1.5f * kSize, 2, false},
        {p.runtime.screenWidth - 2.5f * kSize, 1, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.left);
        Put("facing front", 1);
        pet().Move(r.left, kMidTop);
        p.random.script.clear();
        Draws({{r.side, 3}});
        Tick();
        EXPECT_EQ(pet().State, !r.walks      ? "facing front"
                               : r.side == 1 ? "walking right"
                                             : "walking left");
    }
}

TEST_F(LifeTest, DriftIsNoneOrAwayFromAnEdge) {
    struct Row {
        float top;
        std::pair<int, int> draw;
        const char* dir;
    };
    const float bottom = p.runtime.screenHeight - kSize; // 8874
    const std::vector<Row> rows = {
        {0, {0, 2}, "downwards"},    {0, {1, 2}, "none"},
        {-300, {0, 2}, "downwards"}, {bottom, {0, 2}, "upwards"},
        {bottom, {1, 2}, "none"},    {bottom + 500, {0, 2}, "upwards"},
        {1, {0, 3}, "none"},         {1, {1, 3}, "downwards"},
        {1, {2, 3}, "upwards"},      {std::nextafter(bottom, 0.0f), {2, 3}, "upwards"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::to_string(r.top) + " " + r.dir);
        Put("facing front", 1);
        pet().Move(kMidLeft, r.top);
        p.random.script.clear();
        Draws({{1, 3}, r.draw, {25, 40}, {10, 50}});
        const int before = p.random.draws;
        Tick();
        EXPECT_EQ(pet().State, "walking right");
        EXPECT_EQ(pet().VerticalDir, r.dir);
        EXPECT_EQ(pet().StepY, 25);
        EXPECT_EQ(pet().Choice, r.draw.second == 3 ? r.draw.first + 1 : r.draw.first);
        EXPECT_EQ(pet().ActionTicks, 30);
        EXPECT_EQ(p.random.draws - before, 4);
        const float drift = std::string(r.dir) == "downwards" ? 25.0f
                            : std::string(r.dir) == "upwards" ? -25.0f
                                                              : 0.0f;
        EXPECT_EQ(pet().Top(), r.top + drift) << "drift applies on the deciding tick";
    }
}

TEST_F(LifeTest, SideSlapEndsInAWalkWithoutDrift) {
    Put("walking right", 30, 3);
    pet().VerticalDir = "downwards";
    pet().StepY = 25;
    pet().Interaction = 2;
    Tick();
    EXPECT_EQ(pet().State, "slapped right");
    EXPECT_EQ(pet().VerticalDir, "none");
    Tick(3);
    EXPECT_EQ(pet().State, "walking right");
    EXPECT_EQ(Cell(), 9) << "walk frame 1 drawn on the reaction's last tick";
    EXPECT_EQ(pet().FrameNo, 2);
    Tick(2);
    EXPECT_EQ(pet().Top(), kMidTop);
    EXPECT_EQ(pet().StepY, 25);
    EXPECT_EQ(pet().ActionTicks, 24) << "the reaction granted no time of its own";
}
