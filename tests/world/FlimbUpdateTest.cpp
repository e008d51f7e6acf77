// The flimb step of the world update: removals, tallies, the Quantum Time preview and the
// name tags of a networked match.
#include "app/Random.h"
#include "gui/Label.h"
#include "media/AnimSurface.h"
#include "tests/support/RecordingTrap.h"
#include "tests/support/SessionRecorder.h"
#include "tests/support/TestWorld.h"
#include "world/FlimbQueries.h"
#include "world/FlimbTable.h"
#include "world/FlimbUpdate.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class FlimbUpdateTest : public ::testing::Test {
protected:
    Flimb* Add(int16_t x, int16_t id, uint8_t group = 0, uint8_t type = kWalk)
    {
        Flimb* flimb = AddFlimb(x, 100, id, group, type, 0, kFlimbStartEnergy, 0, 1);
        flimb->animation = &frame_;
        return flimb;
    }

    RecordingTrap* AddTrap(int32_t kind)
    {
        auto trap = std::make_unique<RecordingTrap>(kind, journal);
        RecordingTrap* raw = trap.get();
        RegisterTrap(std::move(trap));
        return raw;
    }

    void SetUp() override
    {
        frame_.frameWidth = 32;
        frame_.frameHeight = 48;
        frame_.hotspotX = 16;
        frame_.hotspotY = 46;
        SimSrand(1234);
    }

    std::vector<std::string> journal;
    TestWorld test;
    SessionRecorder session;
    AnimSurface frame_;
};

// Flimb 2 leaves the world in its step.
void LeaveIfTwo(Flimb& flimb)
{
    if (flimb.id == 2)
        UncountFlimb(flimb);
}

TEST_F(FlimbUpdateTest, AFlimbLeavingInItsStepIsRemovedInThatPass)
{
    SetFlimbTypeHandler(kWalk, LeaveIfTwo);
    Flimb* one = Add(10, 1);
    Flimb* two = Add(20, 2);
    Flimb* saved = Add(30, 3);
    saved->flags2 |= kFlimbSaved;
    UncountFlimb(*saved); // taken in by an exit before the update
    one->linkedId = 2;
    two->linkedId = 1;
    two->flags |= kFlimbSelected;
    World().selected = two;
    AddTrap(1);

    UpdateFlimbs();
    EXPECT_TRUE(two->IsFree());
    EXPECT_TRUE(saved->IsFree());
    EXPECT_FALSE(one->IsFree());
    EXPECT_EQ(World().selected, nullptr);
    EXPECT_EQ(one->linkedId, -1);
    EXPECT_EQ(World().clock.flimbsInPlay, 1);
    EXPECT_EQ(World().tallies[0][kTallyInWorld], 1) << "only the flimbs still in the world after their step";
    EXPECT_EQ(World().tallies[0][kTallyAlive], 1);
    EXPECT_EQ(Controller().stats[0].lost, 1) << "the flimb saved by an exit is not lost";
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "1 forget-flimb"), 2);
    EXPECT_EQ(session.requests, std::vector<std::string>{"highlight 2"});
    EXPECT_FALSE(World().countingSuspended);

    journal.clear();
    UpdateFlimbs();
    EXPECT_TRUE(journal.empty()) << "a free record is skipped";
}

TEST_F(FlimbUpdateTest, PreviewStepsGrowByThreeUpTo150)
{
    RecordingTrap* contact = AddTrap(1); // counts the preview steps: one contact test each
    Flimb* flimb = Add(10, 1);
    World().selected = flimb;
    World().preview.state = 1;
    std::vector<int> steps;
    for (int update = 0; update < 53; ++update) {
        journal.clear();
        UpdateFlimbs();
        steps.push_back(static_cast<int>(std::count(journal.begin(), journal.end(), "1 contact")));
    }
    EXPECT_EQ(steps[0], 1);
    EXPECT_EQ(steps[1], 4);
    EXPECT_EQ(steps[2], 7);
    EXPECT_EQ(steps[49], 148);
    EXPECT_EQ(steps[50], 150);
    EXPECT_EQ(steps[52], 150);
    EXPECT_EQ(World().preview.state, 2);
    EXPECT_TRUE(World().preview.soundPlayed);
    EXPECT_EQ(World().preview.source, flimb);
    EXPECT_TRUE(IsPreviewFlimb(&World().preview.copy));
    EXPECT_FALSE(World().preview.copy.IsSelected());
    EXPECT_TRUE(World().preview.copy.attributes & kAttrQuietEnd);
    (void)contact;

    World().selected = nullptr;
    UpdateFlimbs();
    EXPECT_EQ(World().preview.state, 0);
    EXPECT_EQ(World().preview.steps, 1);
    EXPECT_EQ(World().preview.source, nullptr);
}

TEST_F(FlimbUpdateTest, PreviewIsOffForSteeredFlimbsAndDiggers)
{
    for (const auto& [type, attributes] : {std::pair<uint8_t, uint8_t>{kWalk, kAttrSteered}, {kClob, 0}, {kNova, 0}}) {
        Flimb* flimb = Add(10, static_cast<int16_t>(type + 1), 0, type);
        flimb->attributes = attributes;
        World().selected = flimb;
        World().preview.state = 1;
        UpdateFlimbs();
        EXPECT_EQ(World().preview.state, 0) << int(type);
        EXPECT_FALSE(World().preview.soundPlayed);
    }
}

// What a busy flimb does in a step: draws from the generator, moves, asks the server and
// leaves the world (the step counts typeAge after its handler).
void BusyStep(Flimb& flimb)
{
    flimb.x = static_cast<int16_t>(flimb.x + SimRand() % 3);
    SendUpdateFlimbType(flimb.id, kFall, 255, 0);
    if (flimb.typeAge >= 8)
        UncountFlimb(flimb);
}

TEST_F(FlimbUpdateTest, PreviewChangesNoSimulationState)
{
    SetFlimbTypeHandler(kWalk, BusyStep);
    std::vector<uint64_t> hashes[2];
    std::vector<std::string> requests[2];
    for (int withPreview = 0; withPreview < 2; ++withPreview) {
        TestWorld fresh;
        SetFlimbTypeHandler(kWalk, BusyStep);
        SessionRecorder recorder;
        SimSrand(99);
        auto contact = std::make_unique<RecordingTrap>(1, journal);
        contact->touches = true;
        RegisterTrap(std::move(contact));
        Flimb* selected = AddFlimb(10, 100, 1, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
        AddFlimb(50, 100, 2, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
        selected->flags |= kFlimbSelected;
        World().selected = selected;
        World().preview.state = withPreview ? 1 : 0;
        for (int update = 0; update < 6; ++update) {
            UpdateFlimbs();
            hashes[withPreview].push_back(WorldStateHash());
        }
        requests[withPreview] = recorder.requests;
    }
    EXPECT_EQ(hashes[0], hashes[1]);
    EXPECT_EQ(requests[0], requests[1]) << "the preview copy sends nothing";
    // typeAge starts at 5; the selected flimb leaves after its fourth step. The copy takes
    // 1 step, then 2 of 4 and 1 of 7 before it too leaves the world and the preview stops.
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "1 touched"), 1 + 2 + 1);
}

TEST_F(FlimbUpdateTest, NameTagsShowOtherPlayersOverTheirVisibleFlimbs)
{
    Controller().sessionKind = kSessionNetworked;
    PlayerRecord& local = test.AddLocalPlayer();
    local.ownFlimbId = 1;
    auto bob = std::make_unique<PlayerRecord>();
    bob->name = "bob";
    bob->ownFlimbId = 2;
    Controller().players.push_back(std::move(bob));
    GameViewHooks hooks;
    hooks.makeGameViewCurrent = [](void*&) { return true; };
    hooks.visibleWorldRect = [] { return gfx::RECT{0, 0, 500, 500}; };
    SetGameViewHooks(hooks);

    Flimb* own = Add(10, 1, 0);
    Flimb* bobs = Add(20, 2, 5);
    Flimb* nobodys = Add(30, 3, 0);
    Flimb* outside = Add(600, 4, 0);
    Flimb* unselected = Add(40, 5, 0);
    for (Flimb* flimb : {own, bobs, nobodys, outside})
        flimb->flags |= kFlimbSelected;
    outside->id = 2; // bob's, but out of view
    UpdateFlimbs();
    EXPECT_EQ(own->tag, nullptr);
    ASSERT_NE(bobs->tag, nullptr);
    auto* label = dynamic_cast<Label*>(bobs->tag);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetText(), "bob");
    EXPECT_EQ(label->Colour(), 0xFFFFFF00u) << "group 5's colour";
    EXPECT_EQ(label->tag, kNameTagMark);
    EXPECT_EQ(nobodys->tag, nullptr);
    EXPECT_EQ(outside->tag, nullptr);
    EXPECT_EQ(unselected->tag, nullptr);

    Controller().sessionKind = kSessionLocal;
    DestroyFlimbTag(*bobs);
    UpdateFlimbs();
    EXPECT_EQ(bobs->tag, nullptr) << "no name tags in a local match";
}

} // namespace
