#include "pet_fixture.h"

#include "pet/FormE.h"

namespace {
int CellOf(const Window& w) {
    return static_cast<int>(w.GetPicture().Key() & 0xffff);
}
} // namespace

class EggTest : public PetTest {
  protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
    FormE& egg() { return forms.formE(); }
};

TEST_F(EggTest, EggLiesCentredAtThePetsSizeShapedLikeCell5) {
    EXPECT_EQ(CellOf(egg()), 5);
    EXPECT_EQ(egg().Width(), 2646);
    EXPECT_EQ(egg().Height(), 2646);
    EXPECT_EQ(egg().Left(), (p.runtime.screenWidth - 2646) / 2);
    EXPECT_EQ(egg().Top(), (p.runtime.screenHeight - 2646) / 2);
    EXPECT_EQ(egg().Shape(),
              WindowShaper::OutlineOf(pet().cplate.GraphicCell(5).Image(), qRgb(255, 0, 255)));
    EXPECT_TRUE(egg().Visible());
}

TEST_F(EggTest, DragFollowsFromTheSecondMoveKeepingFractions) {
    egg().Move(6000, 4000);
    egg().Form_MouseMove(1, 0, 100.25f, 200.5f);
    EXPECT_EQ(egg().Left(), 6000) << "the first move only sets the grab point";
    EXPECT_EQ(egg().DragX, 100.25f);
    EXPECT_EQ(egg().DragY, 200.5f);
    egg().Form_MouseMove(1, 0, 130.5f, 180.75f);
    EXPECT_EQ(egg().Left(), 6030.25f);
    EXPECT_EQ(egg().Top(), 3980.25f);
    egg().Form_MouseMove(1, 0, 130.5f, 180.75f);
    EXPECT_EQ(egg().Left(), 6060.5f) << "the grab point stays where it was";

    egg().Form_MouseUp(1, 0, 130.5f, 180.75f);
    EXPECT_EQ(egg().DragX, 100.25f) << "a release alone keeps the grab point";
    for (const int16_t button : {0, 2, 3, 4}) {
        egg().DragX = egg().DragY = 9;
        egg().Form_MouseMove(button, 0, 50, 50);
        EXPECT_EQ(egg().DragX, 0) << button;
        EXPECT_EQ(egg().DragY, 0) << button;
    }
    EXPECT_EQ(egg().Left(), 6060.5f);
}

TEST_F(EggTest, PetHatchesBesideTheEggAtTick10AndTheShellGoesAtTick20) {
    for (int i = 0; i < 9; ++i)
        egg().Timer1_Timer();
    EXPECT_FALSE(pet().Visible());
    egg().Move(3000.5f, 2000);
    egg().Timer1_Timer();
    EXPECT_TRUE(pet().Visible());
    EXPECT_EQ(pet().Left(), 2900.5f);
    EXPECT_EQ(pet().Top(), 2150);
    EXPECT_EQ(CellOf(egg()), 6);
    EXPECT_EQ(egg().Shape(),
              WindowShaper::OutlineOf(pet().cplate.GraphicCell(6).Image(), qRgb(255, 0, 255)));
    EXPECT_EQ(pet().ActionTicks, 40) << "the pet's life starts only now";

    egg().Move(100, 100); // dragging the shell leaves the pet where it is
    for (int i = 0; i < 9; ++i)
        egg().Timer1_Timer();
    EXPECT_TRUE(forms.FormELoaded());
    EXPECT_EQ(pet().Left(), 2900.5f);
    egg().Timer1_Timer();
    EXPECT_FALSE(forms.FormELoaded());
}
