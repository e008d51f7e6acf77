// The checkpoint post: reached once by a flimb of its group (event 0, sound 2, the light on,
// the automatic checkpoint asked for with its notice), never again; in a networked match no
// checkpoint and no notice; an event without a flimb reaches it the same way.
#include "tests/support/TrapHarness.h"

#include "game/GameController.h"
#include "media/AnimSurface.h"
#include "session/ClientCommandState.h"
#include "session/SessionServices.h"
#include "traps/CheckpointTrap.h"
#include "world/Flimb.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class CheckpointTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadMap(AsciiMap(100, std::string(200, '.')));
        CommandState().checkpoint = false;
    }
    void TearDown() override
    {
        CommandState().checkpoint = false;
        TrapHarness::TearDown();
    }
    CheckpointTrap* AddPost(int32_t group = 255)
    {
        auto* post = Add<CheckpointTrap>(CheckpointTrap::kKind, 100.0f, 40.0f);
        EXPECT_NE(post, nullptr);
        if (post)
            post->group = group;
        return post;
    }
    long Notices() const
    {
        return std::count(session->requests.begin(), session->requests.end(), "chat -2 0 Auto-Checkpoint set!");
    }
};

// The first touch reaches the post: event 0, sound 2 at the post, the light "on", the
// automatic checkpoint and its notice. A second flimb changes nothing.
TEST_F(CheckpointTrapTest, ReachedOnceByTheFirstFlimb)
{
    CheckpointTrap* post = AddPost();
    ASSERT_NE(post->lightSprite, nullptr);
    EXPECT_NE(std::string(post->lightSprite->GetName()).find("off.png"), std::string::npos);
    ASSERT_NE(post->sprite, nullptr) << "the head";
    Listen(*post, 0);
    PlaceAt(100, 50);
    Run(1);
    EXPECT_EQ(post->reached, 1);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), "2 at 100,40"), 1);
    EXPECT_TRUE(AutoCheckpointRequested());
    EXPECT_EQ(Notices(), 1);
    EXPECT_NE(std::string(post->lightSprite->GetName()).find("on.png"), std::string::npos);

    CommandState().checkpoint = false;
    PlaceAt(101, 50);
    Run(3);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), "2 at 100,40"), 1);
    EXPECT_FALSE(AutoCheckpointRequested());
    EXPECT_EQ(Notices(), 1);
}

// A post of group 2 ignores flimbs of other groups.
TEST_F(CheckpointTrapTest, APostOfAGroupWaitsForItsFlimbs)
{
    CheckpointTrap* post = AddPost(2);
    PlaceAt(100, 50, 0);
    PlaceAt(100, 50, 3);
    Run(2);
    EXPECT_EQ(post->reached, 0);
    PlaceAt(100, 50, 2);
    Run(1);
    EXPECT_EQ(post->reached, 1);
}

// In a networked match the post lights up and fires its event, but asks for no checkpoint
// and shows no notice.
TEST_F(CheckpointTrapTest, NoCheckpointInANetworkedMatch)
{
    Controller().sessionKind = kSessionNetworked;
    CheckpointTrap* post = AddPost();
    Listen(*post, 0);
    PlaceAt(100, 50);
    Run(1);
    EXPECT_EQ(post->reached, 1);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_FALSE(AutoCheckpointRequested());
    EXPECT_EQ(Notices(), 0);
}

// Another trap's event without a flimb reaches the post the same way; its event 0 carries
// no flimb. Once reached its animation plays out and stops at frame 0.
TEST_F(CheckpointTrapTest, AnEventWithoutAFlimbReachesItAndTheAnimationSettles)
{
    CheckpointTrap* post = AddPost();
    Listen(*post, 0);
    post->frame = 5; // reached in the middle of its animation
    post->Activate(nullptr);
    EXPECT_EQ(post->reached, 1);
    EXPECT_TRUE(AutoCheckpointRequested());
    Run(1);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(post->frame, 6);
    Run(40);
    EXPECT_EQ(post->frame, 0);
    EXPECT_EQ(post->animating, 0);
}

} // namespace
