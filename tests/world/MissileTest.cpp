// Missiles: the Lop's thrown head and its crater, the test throw of the combat check, the
// ice missile that freezes a flimb into a frozen-flimb trap, and the fireball that burns a
// flimb or thaws a frozen one.
#include "../support/GameFiles.h"
#include "../support/ParticleFixture.h"
#include "../support/RecordingTrap.h"

#include "../support/BlastRecorder.h"

#include "app/XmlUtil.h"
#include "modes/ModeServices.h"
#include "traps/Trap.h"
#include "world/FlimbTable.h"
#include "world/Missiles.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// Records what the missiles ask of the frozen-flimb traps; Freeze makes and registers a
// recording trap of kind 17.
class RecordingFrozenTraps : public FrozenFlimbTraps {
public:
    Trap* Freeze(const FrozenFlimbSettings& settings) override
    {
        frozen.push_back(settings);
        auto trap = std::make_unique<RecordingTrap>(17, journal);
        trap->x = settings.x;
        trap->y = settings.y;
        Trap* made = trap.get();
        RegisterTrap(std::move(trap));
        return made;
    }
    void Thaw(Trap& trap, uint8_t ownerGroup) override { thawed.push_back({int32_t(trap.id), ownerGroup}); }

    std::vector<FrozenFlimbSettings> frozen;
    std::vector<std::pair<int32_t, uint8_t>> thawed;
    std::vector<std::string> journal;
};

class MissileTest : public ParticleFixture {
protected:
    void SetUp() override
    {
        ParticleFixture::SetUp();
        SetFrozenFlimbTraps(&traps);
        InstallBlastRecorder(blasts);
    }
    void TearDown() override
    {
        DeleteAllTraps(); // the recording traps write to the fixture's journal
        ClearCurrentGameMode();
        SetFrozenFlimbTraps(nullptr);
        ParticleFixture::TearDown();
    }
    Flimb* Place(int x, int y, uint8_t group, int facing = 1, uint8_t gravity = 0)
    {
        return AddFlimb(int16_t(x), int16_t(y), int16_t(nextId_++), group, kWalk, gravity, 5000, 0, facing);
    }
    Particle* Throw(ParticleBehaviour behaviour, Flimb* owner, float x, float y, float vx, float vy)
    {
        return Make(ParticleRole::Simulation, [&](Particle& p) {
            p.behaviour = behaviour;
            p.kind = behaviour == ParticleBehaviour::Fireball ? kParticleFireball : kParticleIce;
            p.flags |= kParticlePhysical;
            p.owner = owner;
            p.SetPosition(x, y, 1.0f);
            p.vx = vx, p.vy = vy;
            p.delay = 0;
        }, true);
    }

    RecordingFrozenTraps traps;
    std::vector<RecordedBlast> blasts;
    int nextId_ = 1;
};

AsciiMap Field(int width, int height, int groundRow)
{
    AsciiMap map(size_t(height), std::string(size_t(width), '.'));
    for (int y = groundRow; y < height; ++y)
        map[size_t(y)] = std::string(size_t(width), '1');
    return map;
}

} // namespace

TEST_F(MissileTest, TheLopThrowsItsHeadAheadAndUp)
{
    UseMap(Field(200, 120, 100));
    struct Case {
        uint8_t gravity;
        int facing;
        float scale;
        float x, y, vx, vy, spin;
    };
    // The feet at (100, 60): trunc(15 s) ahead and trunc(35 s) up, 20 ahead and 40 up
    // (10 and 20 for a small flimb), spinning against the way it walks.
    const Case cases[] = {
        {0, 1, 1.0f, 115, 25, 20, -40, -10},
        {0, -1, 1.0f, 85, 25, -20, -40, 10},
        {1, 1, 1.0f, 115, 95, 20, 40, -10},
        {2, 1, 1.0f, 135, 75, 40, 20, -10},
        {3, -1, 1.0f, 65, 45, -40, -20, 10},
        {0, 1, 0.5f, 107, 43, 10, -20, -10},
        {0, 1, 2.0f, 130, -10, 20, -40, -10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.gravity) << " " << c.facing << " " << c.scale);
        manager.ResetPool();
        manager.SetEnabled(true);
        Flimb* flimb = Place(100, 60, 5, c.facing, c.gravity);
        flimb->scale = c.scale;
        Particle* p = LaunchLop(*flimb);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->behaviour, ParticleBehaviour::Missile);
        EXPECT_EQ(p->kind, kParticleLopHead + 5);
        EXPECT_EQ(p->owner, flimb);
        EXPECT_EQ(p->gravity, c.gravity);
        EXPECT_EQ(p->flags & (kParticleFalls | kParticlePhysical), kParticleFalls | kParticlePhysical);
        EXPECT_EQ((p->flags & kParticleMirrorX) != 0, c.facing < 0);
        EXPECT_EQ(p->flags2 & kParticle2NoExplosion, 0);
        EXPECT_EQ(p->bounces, 0);
        EXPECT_EQ(p->x, c.x);
        EXPECT_EQ(p->y, c.y);
        EXPECT_EQ(p->z, c.scale);
        EXPECT_EQ(p->vx, c.vx);
        EXPECT_EQ(p->vy, c.vy);
        EXPECT_EQ(p->spin, c.spin);
        // A persistent particle of the simulation pool, booked.
        EXPECT_EQ(manager.SimulationPool().CountOf(p->kind * 2), 1);
        EXPECT_EQ(manager.PersistentAllocations(), 1u);
    }
}

TEST_F(MissileTest, ALopCraterGoldenWithScatterSprayAndDebrisAtAWall)
{
    ScopedGameFiles files;
    ScopedConsoleInt full("enableparticles", 1);
    // Ground from row 70; the right edge is a wall, a flimb of group 2 throws towards it.
    EdgeModes edges;
    edges.right = TileStore::kEdgeWall;
    UseMap(Field(160, 100, 70), edges);
    const int32_t untouched = land->ComputeChecksum();
    Flimb* lopper = Place(70, 69, 2, 1);
    lopper->scale = 0.5f;
    ASSERT_NE(LaunchLop(*lopper), nullptr);
    const uint32_t simulationBefore = SimRandom().State();
    int updates = 0;
    while (manager.SimulationPool().CountOf((kParticleLopHead + 2) * 2) > 0 && updates < 40) {
        Step();
        ++updates;
    }
    ASSERT_LT(updates, 40) << "the head never came down";
    EXPECT_LT(land->ComputeChecksum(), untouched);
    EXPECT_EQ(land->ComputeChecksum(), 250528);
    ASSERT_EQ(blasts.size(), 1u);
    EXPECT_EQ(blasts[0].owner, lopper->id);
    EXPECT_EQ(blasts[0].kind, kParticleLopHead + 2);
    // The crater (a disc of 10 pixels at size 0) is centred on the impact, by the wall.
    const int bx = int(blasts[0].x), by = int(blasts[0].y);
    EXPECT_GT(bx, 150);
    EXPECT_EQ(land->HitTestPoint(bx, by), 0);
    // Scatter from the crater, spray from the head, debris off the wall: all the drawing's
    // own, in the visual pool, and none of them moved the simulation generator.
    int dots = 0, pixels = 0;
    manager.VisualPool().ForEachLiveIncludingCurrent([&](const Particle& p) {
        dots += p.kind == kParticleDot;
        pixels += p.kind == kParticlePixel;
    });
    EXPECT_GT(dots, 10);
    EXPECT_GE(pixels, 16); // the debris burst
    (void)simulationBefore;

    // The same throw without full detail digs the same crater and leaves the simulation
    // generator where the detailed one left it.
    const uint32_t detailedState = SimRandom().State();
    const int32_t detailedChecksum = land->ComputeChecksum();
    ScopedConsoleInt none("enableparticles", 0);
    manager.ResetPool();
    manager.SetEnabled(true);
    UseMap(Field(160, 100, 70), edges);
    world.world.clock.updateCounter -= uint32_t(updates);
    SimRandom().SetState(simulationBefore);
    ASSERT_NE(LaunchLop(*lopper), nullptr);
    Step(updates);
    EXPECT_EQ(land->ComputeChecksum(), detailedChecksum);
    EXPECT_EQ(SimRandom().State(), detailedState);
    int visual = 0;
    manager.VisualPool().ForEachLiveIncludingCurrent([&](const Particle&) { ++visual; });
    EXPECT_EQ(visual, 0);
}

TEST_F(MissileTest, ATestThrowComesDownWithoutTouchingAnything)
{
    UseMap(Field(600, 120, 100));
    Flimb* lopper = Place(60, 99, 0, 1);
    const int32_t checksum = land->ComputeChecksum();
    const uint32_t state = SimRandom().State();
    int32_t x = 0, y = 0;
    ASSERT_TRUE(SimulateLopThrow(*lopper, x, y));
    // Thrown ahead; it lands on the ground, nothing dug, nothing made, nothing drawn.
    EXPECT_GT(x, 75);
    EXPECT_GE(y, 90);
    EXPECT_LE(y, 100);
    EXPECT_EQ(land->ComputeChecksum(), checksum);
    EXPECT_EQ(SimRandom().State(), state);
    EXPECT_TRUE(manager.SimulationPool().ActiveBlocks().empty());
    EXPECT_FALSE(manager.SimulationPool().HasCurrent(true));
    EXPECT_TRUE(blasts.empty());
    // Into the open sky it is still flying after 50 updates.
    UseMap(Field(300, 120, 120), EdgeModes{TileStore::kEdgeWrap, TileStore::kEdgeWrap, TileStore::kEdgeWrap,
                                           TileStore::kEdgeWrap});
    EXPECT_FALSE(SimulateLopThrow(*lopper, x, y));
}

TEST_F(MissileTest, AnIceMissileFreezesTheFirstFlimbOnItsPathThatIsNotItsOwner)
{
    ScopedGameFiles files;
    ScopedConsoleInt full("enableparticles", 1);
    UseMap(Field(300, 120, 100));
    Flimb* owner = Place(40, 99, 1);
    Flimb* first = Place(120, 99, 3, -1, 0);
    first->energy = 777;
    first->scale = 1.0f;
    Flimb* second = Place(135, 99, 4);
    // Flying level through the owner's and both flimbs' bodies, 20 pixels an update.
    Particle* ice = Throw(ParticleBehaviour::IceMissile, owner, 30, 80, 20, 0);
    ASSERT_NE(ice, nullptr);
    for (int i = 0; i < 8 && ice->alive; ++i)
        Step();
    EXPECT_EQ(ice->alive, 0u);
    ASSERT_EQ(traps.frozen.size(), 1u);
    const FrozenFlimbSettings& s = traps.frozen[0];
    EXPECT_EQ(s.rotation, 0.0f);
    EXPECT_EQ(s.energy, 777);
    EXPECT_EQ(s.group, 3);
    EXPECT_EQ(s.facing, -1);
    EXPECT_EQ(s.frozen, 1);
    EXPECT_EQ(s.timer, 200);
    EXPECT_EQ(s.state, 2);
    EXPECT_EQ(s.x, 120.0f);
    EXPECT_EQ(s.y, 99.0f);
    EXPECT_FALSE(first->InWorld());
    EXPECT_TRUE(owner->InWorld());
    EXPECT_TRUE(second->InWorld());
    EXPECT_EQ(GetTrapsOfKind(17).size(), 1u);
    // The ice bursts into shards; the mode is told.
    int shards = 0;
    manager.VisualPool().ForEachLiveIncludingCurrent([&](const Particle& p) { shards += p.kind == kParticleDot; });
    EXPECT_GT(shards, 10);
    ASSERT_EQ(blasts.size(), 1u);
    EXPECT_EQ(blasts[0].kind, kParticleIce);
    EXPECT_EQ(blasts[0].owner, owner->id);

    // The gravity angle of the trap: down 0, right 90, up 180, left 270.
    const float angles[4] = {0.0f, 180.0f, 270.0f, 90.0f};
    for (uint8_t gravity = 1; gravity < 4; ++gravity) {
        Flimb* target = Place(200, 50, 0, 1, gravity);
        Particle* shot = Throw(ParticleBehaviour::IceMissile, nullptr, 200, 20, 0, 20);
        ASSERT_NE(shot, nullptr);
        for (int i = 0; i < 4 && shot->alive; ++i)
            Step();
        ASSERT_EQ(traps.frozen.size(), size_t(1 + gravity));
        EXPECT_EQ(traps.frozen.back().rotation, angles[gravity]);
        EXPECT_FALSE(target->InWorld());
    }
}

TEST_F(MissileTest, AFireballBurnsAFlimbElseThawsTheFrozenTrapItIsIn)
{
    ScopedGameFiles files;
    UseMap(Field(300, 120, 110));
    Flimb* owner = Place(40, 99, 6);
    Flimb* target = Place(120, 99, 2);
    Particle* fire = Throw(ParticleBehaviour::Fireball, owner, 30, 80, 20, 0);
    ASSERT_NE(fire, nullptr);
    for (int i = 0; i < 8 && fire->alive; ++i)
        Step();
    EXPECT_EQ(fire->alive, 0u);
    EXPECT_EQ(target->type, kBurn);
    EXPECT_NE(owner->type, kBurn);
    ASSERT_EQ(blasts.size(), 1u);
    EXPECT_EQ(blasts[0].kind, kParticleFireball);

    // No flimb on its way: the frozen-flimb trap whose rectangle holds it thaws, with the
    // owner's group.
    auto frozen = std::make_unique<RecordingTrap>(17, traps.journal);
    frozen->bounds = gfx::RECT{200, 40, 240, 90};
    const int32_t frozenId = int32_t(frozen->id);
    RegisterTrap(std::move(frozen));
    auto elsewhere = std::make_unique<RecordingTrap>(17, traps.journal);
    elsewhere->bounds = gfx::RECT{0, 0, 10, 10};
    RegisterTrap(std::move(elsewhere));
    Particle* second = Throw(ParticleBehaviour::Fireball, owner, 150, 60, 20, 0);
    ASSERT_NE(second, nullptr);
    for (int i = 0; i < 6 && second->alive; ++i)
        Step();
    EXPECT_EQ(second->alive, 0u);
    ASSERT_EQ(traps.thawed.size(), 1u);
    EXPECT_EQ(traps.thawed[0].first, frozenId);
    EXPECT_EQ(traps.thawed[0].second, 6);
    EXPECT_EQ(blasts.size(), 2u);
}

TEST_F(MissileTest, WithoutInstalledTrapsTheFactoryMakesTheFrozenFlimbTrapAndAFireballThawsIt)
{
    ScopedGameFiles files;
    SetFrozenFlimbTraps(nullptr); // the game's: Trap::Create (17), set up through the trap base
    UseMap(Field(300, 120, 100));
    Flimb* owner = Place(40, 99, 5);
    Flimb* target = Place(200, 50, 2, -1, 1); // gravity up: rotation 180
    target->energy = 4321;
    target->scale = 0.5f;
    Particle* ice = Throw(ParticleBehaviour::IceMissile, owner, 200, 20, 0, 20);
    ASSERT_NE(ice, nullptr);
    for (int i = 0; i < 8 && ice->alive; ++i)
        Step();
    ASSERT_EQ(GetTrapsOfKind(17).size(), 1u);
    Trap* trap = GetTrapsOfKind(17)[0];
    EXPECT_FALSE(target->InWorld());
    EXPECT_EQ(trap->rotation, 180.0f);
    EXPECT_EQ(trap->x, 200.0f);
    EXPECT_EQ(trap->y, 50.0f);
    EXPECT_EQ(trap->Group(), 2);
    EXPECT_EQ(trap->FlimbEnergySetting(), 4321);
    // What the level file keeps of it.
    XmlDocument doc = XmlNewDocument("trap");
    trap->Save(XmlRoot(doc.get()));
    EXPECT_EQ(XmlGetChildInt(XmlRoot(doc.get()), "spawn_energy", -1), 4321);
    EXPECT_EQ(XmlGetChildFloat(XmlRoot(doc.get()), "flimb_size", -1.0f), 0.5f);
    EXPECT_EQ(XmlGetChildInt(XmlRoot(doc.get()), "group", -1), 2);

    // A group-less frozen flimb hit by a fireball takes the thrower's group and thaws.
    trap->SetGroup(255);
    const gfx::RECT box = trap->GetBounds();
    Particle* fire = Throw(ParticleBehaviour::Fireball, owner, float(box.left + box.right) / 2 - 20,
                           float(box.top + box.bottom) / 2, 20, 0);
    ASSERT_NE(fire, nullptr);
    for (int i = 0; i < 4 && fire->alive; ++i)
        Step();
    EXPECT_EQ(fire->alive, 0u);
    EXPECT_EQ(trap->Group(), 5);
    EXPECT_EQ(trap->activated, 1);
}
