// The creature and collectible kinds: frozen flimb, ball, particle, copier, qdot and
// receptacle. Flimbs stand still (their walking handlers do nothing) unless a test says so.
#include "game/GameController.h"
#include "modes/ModeServices.h"
#include "tests/support/TrapHarness.h"
#include "traps/BallTrap.h"
#include "traps/CopierTrap.h"
#include "traps/FrozenFlimbTrap.h"
#include "traps/ParticleTrap.h"
#include "traps/QdotTrap.h"
#include "world/Flimb.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class CreatureHarness : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        for (uint8_t type : {kWalk, kFall, kCopySpawn, kSpawn, kEntangle})
            SetFlimbTypeHandler(type, [](Flimb&) {});
        Floor(150);
    }
    void TearDown() override
    {
        ResetFlimbTypeHandlers();
        TrapHarness::TearDown();
    }
    // An empty 400 x 300 world with solid ground from row `top` down.
    void Floor(int top)
    {
        AsciiMap rows(300, std::string(400, '.'));
        for (size_t y = size_t(top); y < rows.size(); ++y)
            rows[y] = std::string(400, '#');
        LoadMap(rows);
    }
    static void Tick() { ++World().clock.updateCounter; }
    int Heard(int effect) const
    {
        const std::string prefix = std::to_string(effect) + " at";
        return int(std::count_if(sounds.begin(), sounds.end(), [&](const std::string& s) { return s.rfind(prefix, 0) == 0; }));
    }
    int Fired(const Trap& trap, int event) const { return Fired(trap.id, event); }
    int Fired(uint32_t trapId, int event) const
    {
        const std::string note = std::to_string(trapId) + ":" + std::to_string(event);
        return int(std::count(events.begin(), events.end(), note));
    }
};

// ---- Frozen flimb --------------------------------------------------------------------------

using FrozenFlimbTrapTest = CreatureHarness;

// Event 0 fires once, at the first thaw update; the flimb comes 50 updates after the touch
// with the trap's size (0 stands for 0.5) and, for a group-less trap, the thawer's group.
TEST_F(FrozenFlimbTrapTest, ThawSpawnsFiftyUpdatesAfterTheTouch)
{
    struct Case {
        float size;
        uint8_t group;
        float scale;
        uint8_t spawnedGroup;
    };
    for (const Case& c : {Case{0.5f, 255, 0.5f, 3}, Case{2.0f, 1, 2.0f, 1}}) {
        auto* ice = Add<FrozenFlimbTrap>(17, 100.0f, 149.0f);
        ASSERT_NE(ice, nullptr);
        ice->flimbSize = c.size;
        ice->SetGroup(c.group);
        Listen(*ice, 0);
        events.clear();
        PlaceAt(100, 149, 3);
        const int before = FlimbCount();
        Run(1);
        EXPECT_EQ(ice->thawed, 1);
        EXPECT_EQ(ice->Group(), c.spawnedGroup);
        Run(49);
        EXPECT_EQ(FlimbCount(), before) << "not before the 50th update";
        EXPECT_EQ(Fired(*ice, 0), 1);
        Run(1);
        ASSERT_EQ(FlimbCount(), before + 1);
        const Flimb& spawned = World().flimbs[size_t(World().flimbCount - 1)];
        EXPECT_EQ(spawned.scale, c.scale);
        EXPECT_EQ(spawned.group, c.spawnedGroup);
        EXPECT_EQ(spawned.type, kWalk);
        EXPECT_EQ(Fired(*ice, 0), 1);
        const int32_t iceId = int32_t(ice->id);
        Run(1);
        EXPECT_EQ(FindTrapById(iceId), nullptr) << "destroyed at the next trap pass";
        ClearWorldFlimbs(World());
    }
}

// A fall counts the pixels fallen; landing after 95 or more shatters the ice, 94 not.
TEST_F(FrozenFlimbTrapTest, LandingAfterNinetyFivePixelsShatters)
{
    auto* falling = Add<FrozenFlimbTrap>(17, 300.0f, 20.0f);
    falling->allow_fall = 1;
    falling->Update();
    falling->Update();
    falling->Update();
    EXPECT_EQ(falling->fallDistance, int32_t(falling->y - 20.0f));
    for (int32_t fallen : {95, 94}) {
        auto* ice = Add<FrozenFlimbTrap>(17, 100.0f, 149.0f);
        ice->allow_fall = 1;
        ice->fallDistance = fallen;
        ice->Update();
        EXPECT_EQ(ice->alive, fallen >= 95 ? 0 : 1) << fallen;
        EXPECT_EQ(ice->fallDistance, 0);
    }
}

// A flimb exploding within 125 pixels shatters it while the thaw counter is below 25.
TEST_F(FrozenFlimbTrapTest, ExplosionShattersOnlyBelowTwentyFive)
{
    Flimb* nova = PlaceAt(160, 149, 2);
    for (uint8_t counter : {24, 25}) {
        auto* ice = Add<FrozenFlimbTrap>(17, 100.0f, 149.0f);
        Listen(*ice, 1);
        ice->frame = counter;
        ice->OnFlimbExploded(nova);
        EXPECT_EQ(ice->alive, counter < 25 ? 0 : 1) << int(counter);
    }
    auto* far = Add<FrozenFlimbTrap>(17, 360.0f, 20.0f);
    far->OnFlimbExploded(nova);
    EXPECT_EQ(far->alive, 1) << "beyond 125 pixels";
}

// Sizes from the panel go to 0.5, 1 or 2; a group from a file outside 0..7 (not 255) reads 0.
TEST_F(FrozenFlimbTrapTest, SizesAndGroupsAreNormalised)
{
    for (auto [typed, size] : {std::pair{0.7f, 0.5f}, {1.0f, 1.0f}, {1.5f, 2.0f}})
        EXPECT_EQ(FrozenFlimbTrap::NormalisedSize(typed), size);
    auto* nine = dynamic_cast<FrozenFlimbTrap*>(
        AddTrapXml("<trap><type>FrozenFlimb</type><x>10</x><y>10</y><group>9</group></trap>"));
    ASSERT_NE(nine, nullptr);
    EXPECT_EQ(nine->group, 0);
    EXPECT_TRUE(log->Contains("has group 9; taken as 0"));
    auto* any = dynamic_cast<FrozenFlimbTrap*>(
        AddTrapXml("<trap><type>FrozenFlimb</type><x>10</x><y>10</y><group>255</group></trap>"));
    EXPECT_EQ(any->group, 255);
}

// ---- Ball ------------------------------------------------------------------------------------

using BallTrapTest = CreatureHarness;

// A clockwise ball crawls right along the floor, wraps round the ledge and down its wall.
TEST_F(BallTrapTest, WrapsALedgeClockwise)
{
    AsciiMap rows(300, std::string(400, '.'));
    for (size_t y = 100; y < 150; ++y)
        rows[y] = std::string(100, '#') + std::string(300, '.');
    LoadMap(rows);
    auto* ball = Add<BallTrap>(18, 97.0f, 99.0f);
    ball->ballSpeed = 1;
    ball->Update();
    EXPECT_EQ(ball->x, 98.0f);
    EXPECT_EQ(ball->side, BallTrap::kBelow);
    for (int i = 0; i < 3; ++i)
        ball->Update();
    EXPECT_EQ(ball->side, BallTrap::kBehind);
    for (int i = 0; i < 20; ++i)
        ball->Update();
    EXPECT_EQ(ball->x, 100.0f);
    EXPECT_EQ(ball->y, 121.0f);
    EXPECT_EQ(ball->rotation, 270.0f) << "turned to the wall, 10 degrees a step";
}

// In free air it falls a pixel a step towards the gravity of its rotation.
TEST_F(BallTrapTest, FallsInFreeAir)
{
    for (auto [rotation, dy, side] : {std::tuple{0.0f, 4.0f, BallTrap::kBelow}, {180.0f, -4.0f, BallTrap::kAbove}}) {
        auto* ball = Add<BallTrap>(18, 300.0f, 60.0f);
        ball->rotation = rotation;
        ball->side = rotation == 0.0f ? BallTrap::kAbove : BallTrap::kBelow;
        ball->Update();
        EXPECT_EQ(ball->y, 60.0f + dy) << rotation;
        EXPECT_EQ(ball->side, side);
    }
}

// A wall of 4 solid pixels between the centres protects a flimb; 3 do not.
TEST_F(BallTrapTest, AThinWallOfFourPixelsProtects)
{
    for (int width : {4, 3}) {
        Floor(150);
        Fill(2, 106, 100, 105 + width, 149);
        auto* ball = Add<BallTrap>(18, 100.0f, 149.0f);
        Flimb* flimb = PlaceAt(116, 149);
        EXPECT_EQ(ball->Touches(*flimb), width < 4) << width;
        flimb->flags = 0;
    }
}

// A killing ball atomizes a flimb with sound 66 and digests for 10 updates; an exempt flimb
// dies without sound and without the pause.
TEST_F(BallTrapTest, KillsAndPausesButNotForExemptFlimbs)
{
    World().clock.updateCounter = 100;
    auto* ball = Add<BallTrap>(18, 100.0f, 149.0f);
    ball->ballKill = 1;
    ball->ballSpeed = 1;
    Flimb* exempt = PlaceAt(104, 149);
    exempt->attributes |= kAttrQuietEnd;
    ball->Update();
    EXPECT_FALSE(exempt->InWorld());
    EXPECT_EQ(Heard(66), 0);
    EXPECT_EQ(ball->pauseStamp, 0u);

    Flimb* victim = PlaceAt(int(ball->x) + 4, 149);
    Tick();
    ball->Update();
    EXPECT_FALSE(victim->InWorld());
    EXPECT_EQ(Heard(66), 1);
    EXPECT_EQ(ball->pauseStamp, 101u);
    const float still = ball->x;
    for (int i = 1; i < 10; ++i) {
        Tick();
        ball->Update();
        EXPECT_EQ(ball->x, still) << "digesting, update " << i;
    }
    Tick();
    ball->Update();
    EXPECT_NE(ball->x, still) << "crawls on after 10 updates";
}

// ---- Particle --------------------------------------------------------------------------------

class ParticleTrapTest : public CreatureHarness {
protected:
    void TearDown() override
    {
        ClearCurrentGameMode();
        CreatureHarness::TearDown();
    }
    // A particle whose pickup point is where a flimb standing at (100, 149) has its head.
    ParticleTrap* AddParticle(int group = 255)
    {
        auto* particle = Add<ParticleTrap>(19, 100.0f, 122.0f);
        particle->particleGroup = group;
        return particle;
    }
};

// Only a flimb of the particle's group (any group for 255) takes it, by its head point.
TEST_F(ParticleTrapTest, GroupFilter)
{
    for (auto [particleGroup, flimbGroup, taken] : {std::tuple{3, 3, true}, {3, 2, false}, {255, 6, true}}) {
        ASSERT_NE(CreateCurrentGameMode(2), nullptr);
        ParticleTrap* particle = AddParticle(particleGroup);
        Listen(*particle, 0);
        Flimb* flimb = PlaceAt(100, 149, uint8_t(flimbGroup));
        particle->Update();
        EXPECT_EQ(particle->carrier == flimb, taken) << particleGroup << " " << flimbGroup;
        EXPECT_EQ((flimb->flags & ParticleTrap::kCarryingFlag) != 0, taken);
        flimb->flags = 0;
        particle->carrier = nullptr;
        particle->alive = 0;
    }
    EXPECT_EQ(Heard(24), 2);
}

// A carried particle rides its carrier's head at its scale; a dropping carrier (deactivation)
// waits 10 updates before taking it again; a splatting carrier leaves it where it is; a
// removed carrier drops it with sound 25 and event 1.
TEST_F(ParticleTrapTest, CarrierDropAndCoolDown)
{
    ASSERT_NE(CreateCurrentGameMode(2), nullptr);
    ParticleTrap* particle = AddParticle();
    Listen(*particle, 1);
    Flimb* flimb = PlaceAt(100, 149);
    particle->Update();
    ASSERT_EQ(particle->carrier, flimb);
    flimb->x = 140;
    flimb->scale = 2.0f;
    particle->Update();
    EXPECT_EQ(particle->x, 140.0f);
    EXPECT_EQ(particle->scale_x, 2.0f);
    flimb->type = kSplat;
    flimb->x = 160;
    particle->Update();
    EXPECT_EQ(particle->x, 140.0f) << "a splat carrier leaves it";
    flimb->type = kWalk;
    flimb->scale = 1.0f;

    particle->Deactivate();
    EXPECT_EQ(particle->carrier, nullptr);
    EXPECT_EQ(flimb->cooldown, 10);
    EXPECT_EQ(flimb->flags & ParticleTrap::kCarryingFlag, 0);
    particle->Activate(nullptr);
    particle->x = 100.0f;
    particle->y = 122.0f;
    flimb->x = 100;
    particle->Update();
    EXPECT_EQ(particle->carrier, nullptr) << "cooling down";
    flimb->cooldown = 0;
    particle->Update();
    EXPECT_EQ(particle->carrier, flimb);

    NotifyTrapsFlimbRemoved(flimb);
    EXPECT_EQ(particle->carrier, nullptr);
    EXPECT_EQ(Heard(25), 2);
    Run(1);
    EXPECT_EQ(Fired(*particle, 1), 2);
}

// Beyond the bottom of the world (88 pixels) the loss is reported every update.
TEST_F(ParticleTrapTest, LossIsReportedEachUpdate)
{
    ParticleTrap* particle = AddParticle();
    particle->y = 300.0f + 89.0f;
    Listen(*particle, 1);
    Run(2);
    EXPECT_EQ(Fired(*particle, 1), 2);
    EXPECT_EQ(Heard(25), 2);
}

// ---- Copier ----------------------------------------------------------------------------------

class CopierTrapTest : public CreatureHarness {
protected:
    CopierTrap* AddCopier(int32_t perCopy, int32_t copies)
    {
        auto* copier = Add<CopierTrap>(46, 200.0f, 149.0f);
        copier->updatesPerCopy = perCopy;
        copier->numCopies = copies;
        World().clock.updateCounter = 100;
        return copier;
    }
    // Updates until the claws have opened (state 3); the updates it took.
    static int OpenClaws(CopierTrap& copier)
    {
        int updates = 0;
        while (copier.state != CopierTrap::kCopying && updates < 40) {
            Tick();
            copier.Update();
            ++updates;
        }
        return updates;
    }
};

// With updates_per_copy 1 a copy every update; with -1 copies without end.
TEST_F(CopierTrapTest, CopiesEveryUpdateAndWithoutEnd)
{
    for (int32_t copies : {5, -1}) {
        CopierTrap* copier = AddCopier(1, copies);
        Flimb* flimb = PlaceAt(300, 149, 1);
        Tick();
        copier->Update();
        ASSERT_EQ(copier->source, flimb);
        EXPECT_EQ(flimb->type, 20);
        OpenClaws(*copier);
        const int before = FlimbCount();
        for (int i = 0; i < 5; ++i) {
            Tick();
            copier->Update();
            EXPECT_EQ(FlimbCount(), before + i + 1) << copies;
        }
        EXPECT_EQ(copier->numCopies != 0, copies < 0);
        if (copies < 0) {
            for (int i = 0; i < 30; ++i) {
                Tick();
                copier->Update();
            }
            EXPECT_EQ(FlimbCount(), before + 35);
            EXPECT_EQ(copier->source, flimb);
        } else {
            for (int i = 0; i < CopierTrap::kReleaseHold; ++i) {
                Tick();
                copier->Update();
            }
            EXPECT_EQ(copier->source, nullptr) << "let go 14 updates after the last copy";
            EXPECT_EQ(flimb->type, kFall);
        }
        ClearWorldFlimbs(World());
        copier->alive = 0;
        copier->x = -1000.0f;
    }
}

// The right area is searched first, and any flimb in it blocks the left search, even one of
// the wrong gravity.
TEST_F(CopierTrapTest, RightAreaFirstEvenForAWrongGravityFlimb)
{
    CopierTrap* copier = AddCopier(50, 50);
    Flimb* upside = PlaceAt(300, 149, 0, 1);
    PlaceAt(100, 149, 0, 0);
    Tick();
    copier->Update();
    EXPECT_EQ(copier->source, nullptr);
    upside->flags = 0;
    Tick();
    copier->Update();
    ASSERT_NE(copier->source, nullptr);
    EXPECT_EQ(copier->side, -1);
}

// After a claw tip met land, flimbs in the catching areas are ignored for 35 updates.
TEST_F(CopierTrapTest, ThirtyFiveUpdateGuardAfterAClawMetLand)
{
    CopierTrap* copier = AddCopier(50, 50);
    Flimb* flimb = PlaceAt(300, 149, 1);
    Tick();
    copier->Update();
    ASSERT_EQ(copier->source, flimb);
    int32_t tx = 0, ty = 0;
    copier->ClawTip(1, tx, ty);
    Fill(2, tx - 1, ty - 1, tx + 1, ty + 1);
    Tick();
    copier->Update();
    EXPECT_EQ(copier->source, nullptr);
    EXPECT_EQ(flimb->type, kFall);
    EXPECT_EQ(copier->lastRelease, World().clock.updateCounter);
    Fill(0, tx - 1, ty - 1, tx + 1, ty + 1);
    OpenClaws(*copier);
    flimb->type = kWalk;
    const uint32_t released = copier->lastRelease;
    while (copier->state != CopierTrap::kIdle) {
        Tick();
        copier->Update();
    }
    while (World().clock.updateCounter < released + 35) {
        Tick();
        copier->Update();
        EXPECT_EQ(copier->source, nullptr) << World().clock.updateCounter - released;
    }
    Tick();
    copier->Update();
    EXPECT_EQ(copier->source, flimb) << "caught on the 36th update";
}

// Stopped before its first copy, the copier still lets its flimb go 14 updates later.
TEST_F(CopierTrapTest, DeactivatedBeforeTheFirstCopyLetsGo)
{
    CopierTrap* copier = AddCopier(50, 50);
    Flimb* flimb = PlaceAt(300, 149, 1);
    Tick();
    copier->Update();
    copier->Deactivate();
    for (int i = 0; i < 60 && copier->source; ++i) {
        Tick();
        copier->Update();
    }
    EXPECT_EQ(copier->source, nullptr);
    EXPECT_EQ(flimb->type, kFall);
}

// ---- Qdot and receptacle ----------------------------------------------------------------------

using QdotReceptacleTest = CreatureHarness;

// Of two flimbs touching a qdot in one update only the first collects it; another group's
// flimb passes through outside the modes where every group collects.
TEST_F(QdotReceptacleTest, QdotOneCollectorOfTheLocalGroup)
{
    const int local = Controller().localPlayer ? Controller().localPlayer->team : 0;
    auto* stranger = Add<QdotTrap>(49, 300.0f, 130.0f);
    PlaceAt(300, 149, uint8_t((local + 1) % 8));
    stranger->Update();
    EXPECT_EQ(stranger->alive, 1);

    auto* qdot = Add<QdotTrap>(49, 100.0f, 130.0f);
    Listen(*qdot, 0);
    PlaceAt(100, 149, uint8_t(local));
    PlaceAt(101, 149, uint8_t(local));
    const uint32_t qdotId = qdot->id;
    qdot->Update();
    EXPECT_EQ(qdot->alive, 0);
    Run(1); // delivers the event and destroys the qdot
    EXPECT_EQ(Fired(qdotId, 0), 1);
    EXPECT_EQ(Heard(2) + Heard(64), 1);
}

// A receptacle takes a carried particle from its group only (any for 255); a carrier whose
// particle trap is gone leaves it empty.
TEST_F(QdotReceptacleTest, ReceptacleDelivery)
{
    for (auto [group, carrierGroup, fills] : {std::tuple{2, 1, false}, {2, 2, true}, {255, 5, true}}) {
        auto* receptacle = Add<ReceptacleTrap>(51, 100.0f, 149.0f);
        receptacle->group = group;
        auto* particle = Add<ParticleTrap>(19, 100.0f, 122.0f);
        Flimb* carrier = PlaceAt(100, 149, uint8_t(carrierGroup));
        carrier->flags |= ParticleTrap::kCarryingFlag;
        particle->carrier = carrier;
        receptacle->Update();
        EXPECT_EQ(receptacle->filled, fills ? 1 : 0) << group << " " << carrierGroup;
        EXPECT_EQ(particle->alive, fills ? 0 : 1);
        EXPECT_EQ((carrier->flags & ParticleTrap::kCarryingFlag) == 0, fills);
        carrier->flags = 0;
        receptacle->alive = particle->alive = 0;
        receptacle->x = particle->x = -500.0f;
    }
    auto* receptacle = Add<ReceptacleTrap>(51, 300.0f, 149.0f);
    Flimb* orphan = PlaceAt(300, 149);
    orphan->flags |= ParticleTrap::kCarryingFlag;
    receptacle->Update();
    EXPECT_EQ(receptacle->filled, 0);
}

} // namespace
