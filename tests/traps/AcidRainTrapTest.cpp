// Acid rain: the drop interval, the sweep across the nozzle with its jitter, the drop's
// settings for each direction, and identical drops from identical updates.
#include "tests/support/ParticleFixture.h"
#include "traps/AcidRainTrap.h"
#include "world/Particle.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

struct Drop {
    float x, y, spin, vx, vy;
    uint8_t flags, gravity, bounces;
    bool operator==(const Drop&) const = default;
};

class AcidRainTrapTest : public ParticleFixture {
protected:
    void SetUp() override
    {
        ParticleFixture::SetUp();
        UseMap(AsciiMap(300, std::string(300, '.')));
        rain.x = 100.0f;
        rain.y = 100.0f;
    }
    // Runs the trap for updates 1..count (no particle moves) and returns the drops, oldest
    // first, with the updates that made them.
    std::vector<Drop> Run(int count, std::vector<uint32_t>* at = nullptr)
    {
        std::vector<Drop> drops;
        for (int n = 1; n <= count; ++n) {
            World().clock.updateCounter = uint32_t(n);
            const size_t before = Live().size();
            rain.Update();
            const std::vector<Drop> now = Live();
            if (now.size() > before) {
                drops.push_back(now.back());
                if (at)
                    at->push_back(uint32_t(n));
            }
        }
        return drops;
    }
    std::vector<Drop> Live() const
    {
        std::vector<Drop> drops;
        manager.SimulationPool().ForEachLiveIncludingCurrent([&](const Particle& p) {
            drops.push_back({p.x, p.y, p.spin, p.vx, p.vy, p.flags, p.gravity, p.bounces});
        });
        return drops;
    }

    AcidRainTrap rain;
};

} // namespace

// With a period of p a drop falls when the update is above the last drop + p: every second
// update for p = 1; never at update 0.
TEST_F(AcidRainTrapTest, DropInterval)
{
    for (const auto& [period, want] : std::vector<std::pair<int32_t, std::vector<uint32_t>>>{
             {1, {2, 4, 6, 8}}, {3, {4, 8}}}) {
        manager.ResetPool();
        manager.SetEnabled(true);
        rain.lastDrop = 0;
        rain.updatesPerDrop = period;
        std::vector<uint32_t> at;
        Run(8, &at);
        EXPECT_EQ(at, want) << "period " << period;
    }
    manager.ResetPool();
    manager.SetEnabled(true);
    rain.updatesPerDrop = -5; // straight from a file
    rain.lastDrop = 0;
    World().clock.updateCounter = 0;
    rain.Update();
    EXPECT_TRUE(Live().empty());
}

// Drops sweep -45, 0, +45 across the nozzle 50 pixels out along the trap's direction, with
// a jitter of -2..2 and a sideways speed across the fall axis.
TEST_F(AcidRainTrapTest, SweepAndDirections)
{
    struct Case {
        float rotation;
        float alongX, alongY; // the nozzle offset
        bool acrossX;          // the sweep runs along x
        uint8_t gravity;
    };
    for (const Case& c : {Case{0, 0, 50, true, 0}, Case{90, 50, 0, false, 3}, Case{180, 0, -50, true, 1},
                          Case{270, -50, 0, false, 2}}) {
        manager.ResetPool();
        manager.SetEnabled(true);
        rain.rotation = c.rotation;
        rain.lastDrop = 0;
        rain.sweep = -45;
        const std::vector<Drop> drops = Run(8);
        ASSERT_EQ(drops.size(), 4u);
        const float sweeps[4] = {-45, 0, 45, -45};
        for (size_t i = 0; i < drops.size(); ++i) {
            const Drop& d = drops[i];
            const float wantX = 100 + c.alongX + (c.acrossX ? sweeps[i] : 0);
            const float wantY = 100 + c.alongY + (c.acrossX ? 0 : sweeps[i]);
            EXPECT_LE(std::abs(d.x - wantX), 2.0f) << c.rotation << " drop " << i;
            EXPECT_LE(std::abs(d.y - wantY), 2.0f) << c.rotation << " drop " << i;
            EXPECT_EQ(d.gravity, c.gravity);
            EXPECT_EQ(c.acrossX ? d.vy : d.vx, 0.0f);
            EXPECT_LE(std::abs(c.acrossX ? d.vx : d.vy), 13.0f);
            EXPECT_EQ(d.flags & (kParticleFalls | kParticlePhysical | kParticleStamps | kParticleKept),
                      kParticleFalls | kParticlePhysical | kParticleStamps);
            EXPECT_EQ(d.bounces, 1);
        }
    }
}

// The generator is seeded with the update number: two runs make the same drops; random
// bounces give 1 or 2; adding drops are kept rather than stamping.
TEST_F(AcidRainTrapTest, TwoRunsMakeIdenticalDrops)
{
    rain.dropBounces = -1;
    rain.addLand = 1;
    const std::vector<Drop> first = Run(40);
    manager.ResetPool();
    manager.SetEnabled(true);
    rain.lastDrop = 0;
    rain.sweep = -45;
    const std::vector<Drop> second = Run(40);
    ASSERT_EQ(first.size(), 20u);
    EXPECT_EQ(first, second);
    bool one = false, two = false;
    for (const Drop& d : first) {
        EXPECT_TRUE(d.bounces == 1 || d.bounces == 2);
        one |= d.bounces == 1;
        two |= d.bounces == 2;
        EXPECT_EQ(d.flags & (kParticleStamps | kParticleKept), kParticleKept);
    }
    EXPECT_TRUE(one && two);
}
