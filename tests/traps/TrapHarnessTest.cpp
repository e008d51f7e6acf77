// The shared trap harness: its recorders see what leaves the world, and the controller's
// spawning seam makes flimbs the way the traps ask for them.
#include "game/GameController.h"
#include "game/GameServices.h"
#include "media/SoundManager.h"
#include "session/SessionServices.h"
#include "tests/support/TrapHarness.h"
#include "world/Flimb.h"

#include <gtest/gtest.h>

namespace {

class TrapHarnessTest : public TrapHarness {};

TEST_F(TrapHarnessTest, RecordsSoundsModeOperationsRequestsAndMessages)
{
    LoadMap({"........", "########"}, {}, 64, 32);
    PlayEffectAt(33, 10, 20);
    soundManager.PlayEffect(12, 1.0f);
    FlimbSpawnArgs args;
    args.x = 5;
    args.y = 1;
    args.group = 2;
    args.originTrap = 9;
    args.count = 4;
    Flimb* flimb = SpawnFlimb(args);
    ASSERT_NE(flimb, nullptr);
    SendHighlight(flimb->id);
    Controller().messages.Add("hello", -1);
    EXPECT_EQ(sounds, (std::vector<std::string>{"33 at 10,20", "12 vol 1.00"}));
    ASSERT_EQ(mode.size(), 2u);
    EXPECT_EQ(mode[0], "next-id 0 2 9 4");
    EXPECT_EQ(mode[1], "created " + std::to_string(flimb->id));
    EXPECT_EQ(session->requests, (std::vector<std::string>{"highlight " + std::to_string(flimb->id)}));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"-1: hello"}));
}

TEST_F(TrapHarnessTest, SpawnSizesFlimbsFromTheSignedSizeClass)
{
    LoadMap({"........", "########"}, {}, 64, 32);
    struct Case {
        int8_t size;
        float scale;
    };
    for (const Case c : {Case{0, 0.5f}, Case{1, 1.0f}, Case{-2, 2.0f}, Case{3, 3.0f}}) {
        FlimbSpawnArgs args;
        args.size = c.size;
        args.attributes = kAttrMarked;
        Flimb* flimb = SpawnFlimb(args);
        ASSERT_NE(flimb, nullptr);
        EXPECT_FLOAT_EQ(flimb->scale, c.scale) << int(c.size);
        EXPECT_EQ(flimb->type, kSpawn);
        EXPECT_TRUE(flimb->attributes & kAttrMarked);
    }
}

} // namespace
