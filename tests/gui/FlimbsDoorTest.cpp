#include "SkinnedWindowFixture.h"

#include "gui/FlimbsDoor.h"

namespace {

using FlimbsDoorTest = SkinnedWindowFixture;

// Advances the door by frames of `step` ms.
void RunDoor(FlimbsDoor& door, uint32_t milliseconds, uint32_t step = 10)
{
    SetGuiFrameElapsed(step);
    for (uint32_t passed = 0; passed < milliseconds; passed += step)
        door.Update();
    SetGuiFrameElapsed(0);
}

TEST_F(FlimbsDoorTest, QuitDoorTakesItsLeavesSizeAndOpensFullyIn500MsAfterItsDelay)
{
    QuitFlimbsDoor door;
    EXPECT_FLOAT_EQ(door.LeafWidth(), 128.0f);
    EXPECT_FLOAT_EQ(door.LeafHeight(), 256.0f);
    float w = 0, h = 0;
    ASSERT_TRUE(door.GetSize(&w, &h));
    EXPECT_FLOAT_EQ(w, Primitive::ToVirtualX(256));
    EXPECT_FLOAT_EQ(h, Primitive::ToVirtualY(256));
    EXPECT_EQ(door.LeafFrame(), 0);

    door.SetOpening(100, 200);
    RunDoor(door, 200);
    EXPECT_EQ(door.Fraction(), 0.0f); // still waiting
    EXPECT_TRUE(door.Animating());
    RunDoor(door, 250);
    const float half = door.Fraction();
    EXPECT_GT(half, 0.3f);
    EXPECT_LT(half, 0.7f);
    RunDoor(door, 240);
    EXPECT_GT(door.Fraction(), 0.99f);
    EXPECT_TRUE(door.Animating());
    RunDoor(door, 10);
    EXPECT_EQ(door.Fraction(), 1.0f);
    EXPECT_FALSE(door.Animating());
    EXPECT_EQ(door.LeafFrame(), QuitFlimbsDoor::kFrames - 1);

    // Frames longer than the delay carry the rest into the motion: same end, same time.
    QuitFlimbsDoor coarse;
    coarse.SetOpening(90, 30);
    RunDoor(coarse, 500, 53); // 530 ms in 53 ms frames
    EXPECT_EQ(coarse.Fraction(), 0.9f);
    EXPECT_FALSE(coarse.Animating());
}

TEST_F(FlimbsDoorTest, OpenReaimsWithoutAJoltAndBadOpeningsAreClamped)
{
    QuitFlimbsDoor door;
    door.SetOpening(100, 0);
    RunDoor(door, 200);
    const float before = door.Fraction();
    door.Open(0); // back to shut from where it is, still moving outwards at first
    EXPECT_EQ(door.Fraction(), before);
    RunDoor(door, 10);
    EXPECT_GT(door.Fraction(), before);
    RunDoor(door, 490);
    EXPECT_EQ(door.Fraction(), 0.0f);
    EXPECT_FALSE(door.Animating());

    for (const float bad : {-50.0f, 250.0f, std::nanf("")}) {
        door.SetOpening(bad, 0);
        RunDoor(door, 500);
        EXPECT_GE(door.Fraction(), 0.0f) << bad;
        EXPECT_LE(door.Fraction(), 1.0f) << bad;
    }
}

TEST_F(FlimbsDoorTest, OpeningDrawsTheLeavesApart)
{
    QuitFlimbsDoor door;
    PlacePixels(door, 300, 100, 256, 256);
    EXPECT_FLOAT_EQ(door.LeafWidth(), 128.0f);
    DrawFrame([&] { door.Draw(); });
    EXPECT_NE(Pixel(420, 200), 0u); // both leaves meet in the middle
    EXPECT_NE(Pixel(436, 200), 0u);
    EXPECT_EQ(Pixel(290, 200), 0u);
    EXPECT_EQ(Pixel(560, 200), 0u);

    door.SetOpening(100, 0);
    RunDoor(door, 500);
    DrawFrame([&] { door.Draw(); });
    EXPECT_EQ(CountLit(302, 100, 554, 356), 0); // the doorway is clear
    EXPECT_NE(Pixel(250, 200), 0u);             // the left leaf, one leaf width to the left
    EXPECT_NE(Pixel(600, 200), 0u);             // the right leaf, to the right
}

TEST_F(FlimbsDoorTest, MissingLeafImagesGiveTheFallbackAndTheDoorStillWorks)
{
    FlimbsDoor door("Graphics\\Menu\\NoSuchDoor", "left.png", "right.png", 14);
    EXPECT_GT(door.LeafWidth(), 0.0f);
    EXPECT_GT(door.LeafHeight(), 0.0f);
    door.SetOpening(100, 0);
    RunDoor(door, 500);
    EXPECT_EQ(door.Fraction(), 1.0f);
    DrawFrame([&] { door.Draw(); });
}

} // namespace
