// The particle pool: blocks, recycling when every block is busy, skip bytes, the fixed
// free-block order, and the manager's booking rule (with detail kept out of the game).
#include "../support/ParticleFixture.h"

#include "modes/ModeServices.h"
#include "world/ParticlePool.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

// Fills every block with ordinary particles, each booked.
void FillOrdinary(ParticlePool& pool)
{
    for (int i = 0; i < ParticlePool::kSlots; ++i) {
        Particle* p = pool.Alloc(false);
        ASSERT_NE(p, nullptr) << i;
        pool.Count(*p);
    }
}

} // namespace

TEST(ParticlePool, APersistentRequestRecyclesTheOldestOrdinaryBlockWhenAllAreBusy)
{
    ParticlePool pool;
    ASSERT_TRUE(pool.Allocate());
    FillOrdinary(pool);
    ASSERT_EQ(pool.ActiveBlocks().size(), size_t(ParticlePool::kBlocks));
    EXPECT_EQ(pool.CountOf(0), ParticlePool::kSlots);
    EXPECT_FALSE(pool.HasRoom(false));
    EXPECT_TRUE(pool.HasRoom(true));
    // An ordinary request gets nothing.
    EXPECT_EQ(pool.Alloc(false), nullptr);

    // A persistent one takes block 0, the oldest: its 50 particles vanish uncounted.
    Particle* kept = pool.Alloc(true);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(pool.BlockOf(kept), 0);
    EXPECT_EQ(pool.CountOf(0), ParticlePool::kSlots - ParticlePool::kBlockSize);
    EXPECT_EQ(pool.ActiveBlocks().size(), size_t(ParticlePool::kBlocks - 1));
    EXPECT_EQ(pool.ActiveBlocks().front().block, 1);
    int stillAlive = 0;
    pool.ForEachLive([&](const Particle&) { ++stillAlive; });
    EXPECT_EQ(stillAlive, ParticlePool::kSlots - ParticlePool::kBlockSize);

    // The persistent block fills before the next one is taken over (block 1).
    for (int i = 1; i < ParticlePool::kBlockSize; ++i)
        ASSERT_EQ(pool.BlockOf(pool.Alloc(true)), 0);
    EXPECT_EQ(pool.BlockOf(pool.Alloc(true)), 1);
    EXPECT_EQ(pool.PersistentAllocations(), uint32_t(ParticlePool::kBlockSize + 1));

    // Persistent blocks are never taken over: with nothing but persistent blocks, none.
    ParticlePool full;
    ASSERT_TRUE(full.Allocate());
    for (int i = 0; i < ParticlePool::kSlots; ++i)
        ASSERT_NE(full.Alloc(true), nullptr);
    EXPECT_FALSE(full.HasRoom(true));
    EXPECT_EQ(full.Alloc(true), nullptr);
    EXPECT_EQ(full.Alloc(false), nullptr);
}

TEST(ParticlePool, SkipBytesJumpDeadSlots)
{
    ParticlePool pool;
    ASSERT_TRUE(pool.Allocate());
    std::vector<Particle*> made;
    for (int i = 0; i < 10; ++i)
        made.push_back(pool.Alloc(false));
    pool.Flush();
    ASSERT_EQ(pool.ActiveBlocks().size(), 1u);
    for (int dead : {1, 2, 3, 5})
        made[size_t(dead)]->alive = 0;

    auto walk = [&] {
        std::vector<int> visited;
        pool.Walk([&](Particle& p) { visited.push_back(int(&p - made[0])); });
        return visited;
    };
    EXPECT_EQ(walk(), (std::vector<int>{0, 4, 6, 7, 8, 9}));
    EXPECT_EQ(made[0]->skip, 4);
    EXPECT_EQ(made[4]->skip, 2);
    EXPECT_EQ(made[9]->skip, 1); // to the end of the used slots

    // A dead slot behind a skip is never looked at again, even if it claimed to live.
    made[2]->alive = 1;
    EXPECT_EQ(walk(), (std::vector<int>{0, 4, 6, 7, 8, 9}));
    // A first slot that dies keeps its skip: the walk goes on from it.
    made[0]->alive = 0;
    made[9]->alive = 0;
    EXPECT_EQ(walk(), (std::vector<int>{4, 6, 7, 8}));
    EXPECT_EQ(made[8]->skip, 2);
}

TEST(ParticlePool, EmptyBlocksReturnInAFixedOrder)
{
    ParticlePool pool;
    ASSERT_TRUE(pool.Allocate());
    // After a reset block 0 comes first, then 1, 2 ...
    std::vector<Particle*> first;
    for (int i = 0; i < 3 * ParticlePool::kBlockSize; ++i)
        first.push_back(pool.Alloc(false));
    EXPECT_EQ(pool.BlockOf(first.front()), 0);
    EXPECT_EQ(pool.BlockOf(first.back()), 2);
    ASSERT_EQ(pool.ActiveBlocks().size(), 3u);

    auto killBlock = [&](int block) {
        for (int i = 0; i < ParticlePool::kBlockSize; ++i)
            first[size_t(block * ParticlePool::kBlockSize + i)]->alive = 0;
    };
    // The block freed last is used first.
    killBlock(1);
    pool.Walk([](Particle&) {});
    EXPECT_EQ(pool.FreeBlocks().back(), 1);
    EXPECT_EQ(pool.BlockOf(pool.Alloc(false)), 1);
    pool.Flush();
    // Blocks freed in one walk go back in walk order: 0, then 2; so 2 is used before 0.
    killBlock(0);
    killBlock(2);
    pool.Walk([](Particle&) {});
    EXPECT_EQ(pool.FreeBlocks().back(), 2);
    EXPECT_EQ(pool.BlockOf(pool.Alloc(false)), 2);
    pool.Flush();
    EXPECT_EQ(pool.BlockOf(pool.Alloc(false)), 0);
    pool.Flush();
    EXPECT_EQ(pool.BlockOf(pool.Alloc(false)), 3);

    // Reset puts every block back, block 0 on top.
    pool.Reset();
    EXPECT_EQ(pool.FreeBlocks().size(), size_t(ParticlePool::kBlocks));
    EXPECT_EQ(pool.BlockOf(pool.Alloc(true)), 0);
    EXPECT_EQ(pool.CountOf(0), 0);
}

using ParticleBooking = ParticleFixture;

// Who is kept: a simulation particle (it stamps, flags bit 3 or 7, or it is a missile)
// always; a visual one only with full detail; nothing while particles are switched off.
TEST_F(ParticleBooking, DetailDecidesOnlyTheDrawingsOwnParticles)
{
    struct Case {
        uint8_t kind;
        uint8_t flags;
        bool simulation;
    };
    const Case cases[] = {
        {kParticleDot, 0, false},
        {kParticleDot, kParticleStamps, true},
        {kParticleDot, kParticleKept, true},
        {kParticleAcidDrop, 0, false},
        {kParticleAcidDrop, kParticleStamps, true},
        {kParticleGlib, kParticleBack, false},
        {kParticlePixel, kParticleKept | kParticleBack, true},
        {kParticleIce, 0, true},
        {kParticleLopHead + 3, 0, true},
        {kParticleFireball, 0, true},
    };
    for (const bool detail : {true, false}) {
        for (const bool switchedOn : {true, false}) {
            for (const Case& c : cases) {
                SCOPED_TRACE(testing::Message() << "kind " << int(c.kind) << " flags " << int(c.flags) << " detail "
                                                << detail << " on " << switchedOn);
                manager.ResetPool();
                manager.SetEnabled(true);
                Particle* p = nullptr;
                {
                    ScopedConsoleInt full("enableparticles", 1);
                    p = manager.AllocParticle(false, c.simulation ? ParticleRole::Simulation : ParticleRole::Visual);
                }
                ASSERT_NE(p, nullptr);
                p->kind = c.kind;
                p->flags = c.flags;
                EXPECT_EQ(p->IsSimulation(), c.simulation);
                ScopedConsoleInt full("enableparticles", detail ? 1 : 0);
                manager.SetEnabled(switchedOn);
                CurrentUpdateCounter() = 70000;
                manager.CountParticle(*p);
                const bool kept = switchedOn && (c.simulation || detail);
                EXPECT_EQ(p->alive != 0, kept);
                const int column = c.kind * 2 + (c.flags & 1);
                const ParticlePool& pool = c.simulation ? manager.SimulationPool() : manager.VisualPool();
                EXPECT_EQ(pool.CountOf(column), kept ? 1 : 0);
                if (kept) {
                    EXPECT_EQ(p->born, uint16_t(70000 & 0xFFFF));
                }
            }
        }
    }
    // Without full detail the visual pool gives nothing at all; the simulation pool does.
    manager.ResetPool();
    manager.SetEnabled(true);
    ScopedConsoleInt off("enableparticles", 0);
    EXPECT_EQ(manager.AllocParticle(false, ParticleRole::Visual), nullptr);
    EXPECT_FALSE(manager.HasRoom(false, ParticleRole::Visual));
    EXPECT_NE(manager.AllocParticle(false, ParticleRole::Simulation), nullptr);
    // Switched off: nothing from either.
    manager.SetEnabled(false);
    EXPECT_EQ(manager.AllocParticle(true, ParticleRole::Simulation), nullptr);
}

// The switch: ResetPool clears it, the match start sets it.
TEST_F(ParticleBooking, ResetPoolSwitchesParticlesOffAndEmptiesBothPools)
{
    UseMap({"........", "........", "........", "########"});
    ScopedConsoleInt full("enableparticles", 1);
    for (const ParticleRole role : {ParticleRole::Simulation, ParticleRole::Visual})
        ASSERT_NE(Make(role, [](Particle& p) { p.SetPosition(3, 1, 1.0f); p.flags = kParticlePhysical; p.vy = 0; }),
                  nullptr);
    Step();
    EXPECT_EQ(manager.LiveSimulationParticles(), 1);
    EXPECT_EQ(manager.LiveVisualParticles(), 1);
    manager.ResetPool();
    EXPECT_FALSE(manager.IsEnabled());
    EXPECT_EQ(manager.SimulationPool().ActiveBlocks().size(), 0u);
    EXPECT_EQ(manager.VisualPool().FreeBlocks().size(), size_t(ParticlePool::kBlocks));
    // While off nothing moves or is made.
    Step();
    EXPECT_EQ(manager.LiveSimulationParticles(), 0);
    EXPECT_EQ(manager.AllocParticle(false, ParticleRole::Simulation), nullptr);
    // Every game of the level switches them on at the match start.
    MarkMatchStarted();
    EXPECT_TRUE(manager.IsEnabled());
}

// A snapshot keeps copies of the live simulation particles (for a restart or a replay).
TEST_F(ParticleBooking, SnapshotCopiesTheLiveSimulationParticles)
{
    ScopedConsoleInt full("enableparticles", 1);
    for (int i = 0; i < 3; ++i)
        Make(ParticleRole::Simulation, [i](Particle& p) { p.SetPosition(float(10 + i), 5, 1.0f); });
    Make(ParticleRole::Visual, [](Particle& p) { p.SetPosition(40, 5, 1.0f); });
    Particle* dead = Make(ParticleRole::Simulation, [](Particle& p) { p.SetPosition(50, 5, 1.0f); });
    dead->alive = 0;
    manager.Snapshot(true);
    ASSERT_EQ(manager.SavedParticles().size(), 3u);
    EXPECT_EQ(manager.SavedParticles()[2].x, 12.0f);
    manager.Snapshot(false);
    EXPECT_TRUE(manager.SavedParticles().empty());
}
