// What the flimbs make of the particle pool: sprites atomized into pixels, the Lop's
// missile from the Lop handler, the combat check's test throw, and a Nova whose world is
// the same with full particle detail or without.
#include "app/Random.h"
#include "modes/MatchOptions.h"
#include "tests/support/FlimbFixture.h"
#include "tests/support/ScopedConsoleInt.h"
#include "world/FlimbParticles.h"
#include "world/ParticleManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

class ParticleFlimbsTest : public FlimbFixture {
protected:
    void SetUp() override
    {
        FlimbFixture::SetUp();
        ResetMatchOptions();
        manager.Init();
        manager.SetEnabled(true);
        use_.emplace(manager);
    }
    void TearDown() override
    {
        use_.reset();
        manager.Shutdown();
        ResetMatchOptions();
        FlimbFixture::TearDown();
    }
    std::vector<Particle> Live(const ParticlePool& pool) const
    {
        std::vector<Particle> live;
        pool.ForEachLiveIncludingCurrent([&](const Particle& p) { live.push_back(p); });
        return live;
    }

    ParticleManager manager;

private:
    std::optional<ScopedParticles> use_;
};

} // namespace

TEST_F(ParticleFlimbsTest, ASpriteAtomizesIntoPixelsOfItsColours)
{
    LoadMap({}, {}, 256, 128);
    ScopedConsoleInt full("enableparticles", 1);
    Flimb* flimb = Place(100, 80, kWalk, 2);
    ASSERT_NE(flimb->animation, nullptr);
    AtomizeFlimbSprite(*flimb, false, false, nullptr, 2, 2);
    const std::vector<Particle> ordinary = Live(manager.VisualPool());
    ASSERT_GT(ordinary.size(), 20u);
    for (const Particle& p : ordinary) {
        EXPECT_EQ(p.kind, kParticlePixel);
        EXPECT_EQ(p.life, 25);
        EXPECT_EQ(p.vy, 0.0f); // across gravity only
        EXPECT_LE(std::fabs(p.vx), 5.0f);
        EXPECT_TRUE(p.flags & kParticlePhysical);
        EXPECT_TRUE(p.flags2 & kParticle2LightGravity);
        // Within the sprite's box above the feet.
        EXPECT_GE(p.y, 80.0f - 48.0f);
        EXPECT_LE(p.y, 82.0f);
    }
    EXPECT_TRUE(Live(manager.SimulationPool()).empty());
    // Persistent: every pixel, life 250, the persistent column.
    manager.ResetPool();
    manager.SetEnabled(true);
    AtomizeFlimbSprite(*flimb, false, true, nullptr, 1, 1);
    const std::vector<Particle> persistent = Live(manager.VisualPool());
    EXPECT_GT(persistent.size(), ordinary.size() * 3);
    EXPECT_EQ(persistent.front().life, 250);
    EXPECT_EQ(manager.VisualPool().PersistentAllocations(), persistent.size());
    // A quiet end, or no detail: nothing.
    for (const bool quiet : {true, false}) {
        manager.ResetPool();
        manager.SetEnabled(true);
        ScopedConsoleInt detail("enableparticles", quiet ? 1 : 0);
        Flimb* other = Place(150, 80, kWalk, 1);
        if (quiet)
            other->SetAttribute(kAttrQuietEnd);
        AtomizeFlimbSprite(*other, true, false, nullptr, 2, 2);
        EXPECT_TRUE(Live(manager.VisualPool()).empty()) << quiet;
    }
}

TEST_F(ParticleFlimbsTest, TheLopHandlerThrowsAMissileThatDigsACrater)
{
    LoadMap({}, {}, 512, 160);
    Fill(1, 0, 120, 511, 159);
    Flimb* lopper = Place(100, 119, kWalk, 3);
    lopper->SetType(kLop);
    const int32_t before = Land().ComputeChecksum();
    bool thrown = false;
    const int updates = RunUntil(80, [&] {
        int heads = 0;
        manager.SimulationPool().ForEachLiveIncludingCurrent([&](const Particle& p) {
            heads += p.behaviour == ParticleBehaviour::Missile;
            thrown = true;
        });
        return thrown && heads == 0;
    });
    ASSERT_LE(updates, 80);
    EXPECT_NE(Land().ComputeChecksum(), before);
    EXPECT_EQ(lopper->type, kWalk);
}

TEST_F(ParticleFlimbsTest, ACombatFlimbThrowsAtAnEnemyComingToWhereItsThrowLands)
{
    LoadMap({}, {}, 640, 160);
    Fill(1, 0, 120, 639, 159);
    Flimb* thrower = Place(100, 119, kWalk, 0, 0, 1);
    int32_t x = 0, y = 0;
    ASSERT_TRUE(SimulateLopThrow(*thrower, x, y));
    // An enemy walking towards the landing point from beyond it (the thrower walks on too:
    // the combat check starts at typeAge 16, when the two are near enough).
    Place(x + 150, 119, kWalk, 4, 0, -1);
    thrower->autoBehaviour = 2;
    const int updates = RunUntil(40, [&] { return thrower->type == kLop; });
    EXPECT_LE(updates, 40);
    // Without an enemy coming, no throw.
    LoadMap({}, {}, 640, 160);
    Fill(1, 0, 120, 639, 159);
    ClearWorldFlimbs(World());
    Flimb* alone = Place(100, 119, kWalk, 0, 0, 1);
    alone->autoBehaviour = 2;
    EXPECT_EQ(RunUntil(40, [&] { return alone->type == kLop; }), 41);
}

TEST_F(ParticleFlimbsTest, ANovaLeavesTheSameWorldWithOrWithoutDetail)
{
    std::vector<uint64_t> hashes;
    std::vector<int> drawn;
    for (const int detail : {1, 0}) {
        ScopedConsoleInt full("enableparticles", detail);
        world_.reset();
        world_.emplace();
        nextId_ = 1;
        manager.ResetPool();
        manager.SetEnabled(true);
        SimSrand(7);
        LoadMap({}, {}, 256, 160);
        Fill(1, 0, 100, 255, 159);
        Place(120, 99, kWalk, 1)->SetType(kNova);
        Place(60, 99, kWalk, 2)->SetType(kClob);
        Run(40);
        hashes.push_back(WorldStateHash());
        drawn.push_back(manager.LiveVisualParticles());
    }
    EXPECT_EQ(hashes[0], hashes[1]);
    EXPECT_GT(drawn[0], 0);
    EXPECT_EQ(drawn[1], 0);
}
