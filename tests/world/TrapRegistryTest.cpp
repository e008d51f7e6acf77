// The trap registries and the trap step of the world update.
#include "game/WorldUpdate.h"
#include "tests/support/RecordingTrap.h"
#include "tests/support/SessionRecorder.h"
#include "tests/support/TestWorld.h"
#include "world/FlimbTable.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string>* stepJournal = nullptr;

class TrapRegistryTest : public ::testing::Test {
protected:
    RecordingTrap* Add(int32_t kind)
    {
        auto trap = std::make_unique<RecordingTrap>(kind, journal);
        RecordingTrap* raw = trap.get();
        RegisterTrap(std::move(trap));
        return raw;
    }

    std::vector<std::string> journal; // outlives the world, whose traps write into it
    TestWorld test;
};

TEST_F(TrapRegistryTest, OneUpdateRunsFlimbsThenKindsThenDeletionsThenActivations)
{
    stepJournal = &journal;
    SetFlimbTypeHandler(kWalk, [](Flimb&) { stepJournal->push_back("flimb"); });
    ASSERT_NE(AddFlimb(10, 10, 1, 0, kWalk, 0, kFlimbStartEnergy, 0, 1), nullptr);

    RecordingTrap* exit = Add(22);        // id 1
    RecordingTrap* first = Add(1);        // id 2
    RecordingTrap* second = Add(1);       // id 3
    RecordingTrap* listener = Add(24);    // id 4, told of removals
    RecordingTrap* undefined = Add(0);    // id 5, never updated
    ASSERT_EQ(undefined->id, 5u);
    bool once = true;
    first->onUpdate = [&](RecordingTrap&) {
        if (!once)
            return;
        once = false;
        QueueTrapDeletion(second);
        QueueTrapDeletion(exit);
        QueueTrapDeletion(second); // queued twice, destroyed once
        QueueTrapActivation(listener, nullptr);
    };
    listener->onActivate = [&](RecordingTrap&) { QueueTrapActivation(first, nullptr); };

    UpdateWorld();
    const std::vector<std::string> firstPass = {"flimb",        "2 update",    "4 update", "4 forget 3",
                                                "3 destroyed",  "4 forget 1",  "1 destroyed", "4 activate"};
    EXPECT_EQ(journal, firstPass);
    EXPECT_EQ(FindTrapById(3), nullptr);
    EXPECT_EQ(FindTrapById(1), nullptr);
    EXPECT_EQ(GetTrapsOfKind(1).size(), 1u);

    journal.clear();
    UpdateWorld();
    const std::vector<std::string> secondPass = {"flimb", "2 update", "4 update", "2 activate"};
    EXPECT_EQ(journal, secondPass) << "an activation queued by an activation waits a pass";
    EXPECT_EQ(World().clock.updateCounter, 2u);
    stepJournal = nullptr;
}

TEST_F(TrapRegistryTest, WithoutTrapsNothingIsLookedUp)
{
    int lookups = 0;
    GameViewHooks hooks;
    hooks.makeGameViewCurrent = [&](void*&) {
        ++lookups;
        return true;
    };
    SetGameViewHooks(hooks);
    Flimb flimb{};
    flimb.Init();
    UpdateTraps();
    TestFlimbAgainstTraps(&flimb);
    EXPECT_EQ(lookups, 0);

    Add(1);
    UpdateTraps();
    EXPECT_EQ(lookups, 1);
}

TEST_F(TrapRegistryTest, DeleteAllTrapsDestroysEachOnceAndResetsIdsAndHighlight)
{
    Add(1);
    Add(21);
    Add(1);
    World().traps.highlightedTrapId = 2;
    SnapshotTraps(true);
    EXPECT_EQ(World().traps.saved.size(), 3u);
    journal.clear();
    DeleteAllTraps();
    EXPECT_EQ(journal, (std::vector<std::string>{"1 destroyed", "2 destroyed", "3 destroyed", "1 destroyed",
                                                 "2 destroyed", "3 destroyed"}))
        << "the registered traps in order, then the saved copies";
    EXPECT_EQ(World().traps.nextTrapId, 1u);
    EXPECT_EQ(World().traps.highlightedTrapId, -1);
    EXPECT_FALSE(AnyTraps());
    EXPECT_TRUE(GetTrapsOfKind(1).empty());
}

TEST_F(TrapRegistryTest, RegistrationLookupsAndUnregistering)
{
    RecordingTrap* a = Add(19);
    RecordingTrap* b = Add(19);
    Flimb carrier{}, other{};
    b->carried = &carrier;
    EXPECT_EQ(FindTrapById(static_cast<int32_t>(a->id)), a);
    EXPECT_EQ(FindTrapById(99), nullptr);
    EXPECT_EQ(FindParticleTrap(&carrier), b);
    EXPECT_EQ(FindParticleTrap(&other), nullptr);
    EXPECT_EQ(FindParticleTrap(nullptr), nullptr);
    EXPECT_EQ(a->registration, 0u);
    EXPECT_EQ(b->registration, 1u);
    EXPECT_TRUE(World().traps.drawListDirty);

    // The copy of a kind list stays as it was while the registries change.
    const std::vector<Trap*> copy = GetTrapsOfKind(19);
    QueueTrapActivation(a, nullptr);
    std::unique_ptr<Trap> owned = UnregisterTrap(a);
    EXPECT_EQ(owned.get(), a);
    EXPECT_EQ(copy.size(), 2u);
    EXPECT_EQ(GetTrapsOfKind(19), std::vector<Trap*>{b});
    EXPECT_EQ(FindTrapById(static_cast<int32_t>(a->id)), nullptr);
    EXPECT_TRUE(World().traps.pendingActivations.empty()) << "its pending activation goes with it";
    EXPECT_EQ(UnregisterTrap(a), nullptr);

    ResetNextTrapId();
    EXPECT_EQ(World().traps.nextTrapId, b->id + 1);
    EXPECT_TRUE(GetTrapsOfKind(55).empty());
}

TEST_F(TrapRegistryTest, ATrapUnregisteredWhileQueuedIsNotDestroyedAgain)
{
    RecordingTrap* queued = Add(1);
    Add(1);
    QueueTrapDeletion(queued);
    std::unique_ptr<Trap> taken = UnregisterTrap(queued);
    taken.reset();
    journal.clear();
    UpdateTraps();
    EXPECT_EQ(journal, std::vector<std::string>{"2 update"});
    EXPECT_TRUE(World().traps.pendingDeletions.empty());
}

TEST_F(TrapRegistryTest, NotificationsReachEveryTrapAliveOrNot)
{
    Add(1)->alive = 0;
    Add(0);
    Flimb flimb{};
    NotifyTrapsFlimbRemoved(&flimb);
    NotifyTrapsFlimbExploded(&flimb);
    RunTrapsAfterLevelLoad();
    StampTrapsIntoLand();
    EXPECT_EQ(journal, (std::vector<std::string>{"1 forget-flimb", "2 forget-flimb", "1 exploded", "2 exploded",
                                                 "1 loaded", "2 loaded", "1 stamp", "2 stamp"}));
}

TEST_F(TrapRegistryTest, PreviewContactWalkTestsAliveTrapsOfContactKinds)
{
    RecordingTrap* teleport = Add(1); // contact
    teleport->touches = true;
    Add(2);                           // no contact
    Add(4)->alive = 0;                // contact, dead
    Flimb flimb{};
    flimb.Init();
    TestFlimbAgainstTraps(&flimb);
    EXPECT_EQ(journal, (std::vector<std::string>{"1 contact", "1 touched"}));
}

TEST_F(TrapRegistryTest, MovingHoverTrapsSendTheirStateAgain)
{
    SessionRecorder session;
    struct Hover : RecordingTrap {
        using RecordingTrap::RecordingTrap;
        bool TakeMotionForResend() override { return moving; }
        bool moving = false;
    };
    auto still = std::make_unique<Hover>(29, journal);
    auto moving = std::make_unique<Hover>(29, journal);
    moving->moving = true;
    RegisterTrap(std::move(still));
    RegisterTrap(std::move(moving));
    ResendHoverTrapStates();
    EXPECT_EQ(session.requests, std::vector<std::string>{"trap 2 0 -1"});
}

TEST(TrapKinds, TableNamesAndSwitches)
{
    EXPECT_STREQ(TrapTypeName(0), "Undefined");
    EXPECT_STREQ(TrapTypeName(22), "Exit");
    EXPECT_STREQ(TrapTypeName(54), "Checkpoint");
    EXPECT_STREQ(TrapTypeName(55), "");
    EXPECT_TRUE(KindTraits(24).notified_of_removal && KindTraits(36).notified_of_removal &&
                KindTraits(39).notified_of_removal);
    EXPECT_TRUE(KindTraits(13).extra_pass);
    EXPECT_FALSE(KindTraits(34).updated);
    EXPECT_TRUE(KindTraits(21).match_editable && KindTraits(22).match_editable);
    int contactKinds = 0;
    for (int kind = 0; kind < 55; ++kind)
        contactKinds += KindTraits(kind).contact;
    EXPECT_EQ(contactKinds, 15);
    EXPECT_FALSE(KindTraits(-1).updated);
}

} // namespace
