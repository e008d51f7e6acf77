// Emitters and break-ups: what each emitter makes, which generator it draws from (a bash
// with a visual emitter leaves SimRandom alone), images and files broken into particles,
// bad names and steps refused, and the universes of the Multiverse match.
#include "../support/GameFiles.h"
#include "../support/ParticleFixture.h"

#include "game/GameController.h"
#include "modes/ModeServices.h"
#include "world/BeamUpEffect.h"
#include "world/ParticleEmitters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

// Every live particle of a pool, active and current blocks.
std::vector<Particle> LiveOf(const ParticlePool& pool)
{
    std::vector<Particle> live;
    pool.ForEachLiveIncludingCurrent([&](const Particle& p) { live.push_back(p); });
    return live;
}

} // namespace

using ParticleEmitter = ParticleFixture;

TEST_F(ParticleEmitter, EachEmitterMakesItsParticle)
{
    UseMap(AsciiMap(64, std::string(64, '.')));
    ScopedConsoleInt full("enableparticles", 1);
    struct Check {
        const char* what;
        BashEmitter::Callback emitter;
        bool persistent;
        std::function<void(const Particle&, float dx, float dy)> check;
    };
    // The record's point (20, 30) and velocity (2, -4); the pixel at (26, 22).
    const Check checks[] = {
        {"spray", EmitSpray, false,
         [](const Particle& p, float, float) {
             EXPECT_LE(std::fabs(p.vx - 2.0f), 5.0f);
             EXPECT_LE(std::fabs(p.vy + 4.0f), 5.0f);
             EXPECT_EQ(p.flags & kParticleKept, 0);
             EXPECT_TRUE(p.flags2 & kParticle2LightGravity);
             EXPECT_GE(p.bounces, 3);
             EXPECT_LE(p.bounces, 5);
             EXPECT_EQ(p.life, 500);
             EXPECT_GE(p.elasticity, 25);
             EXPECT_LE(p.elasticity, 35);
             EXPECT_EQ(p.delay, 7); // the record's
         }},
        {"spray, persistent", EmitSpray, true,
         [](const Particle& p, float, float) {
             EXPECT_TRUE(p.flags & kParticleKept);
             EXPECT_FALSE(p.flags2 & kParticle2LightGravity);
         }},
        {"towards", EmitTowards, false,
         [](const Particle& p, float dx, float dy) {
             const float length = std::sqrt(dx * dx + dy * dy);
             EXPECT_NEAR(p.vx, dx / length * 8.0f, 1e-4f);
             EXPECT_LE(std::fabs(p.vy - dy / length * 8.0f), 1.0001f);
             EXPECT_EQ(p.bounces, 5);
             EXPECT_GE(p.elasticity, 10);
             EXPECT_LE(p.elasticity, 14);
             EXPECT_EQ(p.delay, 0);
             EXPECT_TRUE(p.flags2 & kParticle2LightGravity);
         }},
        {"scatter", EmitScatter, false,
         [](const Particle& p, float dx, float dy) {
             EXPECT_LE(std::fabs(p.vx - (2.0f + dx) * 0.5f), 3.0f);
             EXPECT_LE(std::fabs(p.vy - (-4.0f + dy) * 0.5f), 3.0f);
             EXPECT_TRUE(p.flags & kParticleSlowBounce);
             EXPECT_EQ(p.bounces, 99);
             EXPECT_GE(p.life, 30);
             EXPECT_LE(p.life, 39);
             EXPECT_GE(p.elasticity, 50);
             EXPECT_LE(p.elasticity, 69);
         }},
        {"shard", EmitShard, false,
         [](const Particle& p, float dx, float dy) {
             EXPECT_GE(p.vx, 2.0f + dx - 2.0f);
             EXPECT_LE(p.vx, 2.0f + dx + 1.0f);
             EXPECT_GE(p.vy, -4.0f + dy - 2.0f);
             EXPECT_LE(p.vy, -4.0f + dy + 1.0f);
             EXPECT_EQ(p.bounces, 5);
             EXPECT_FALSE(p.flags2 & kParticle2LightGravity);
         }},
        {"receptacle", EmitReceptacle, false,
         [](const Particle& p, float dx, float dy) {
             const float length = std::sqrt(dx * dx + dy * dy);
             EXPECT_NEAR(p.vx, dx / length * 12.0f, 1e-4f);
             EXPECT_NEAR(p.vy, dy / length * 12.0f, 1e-4f);
             EXPECT_FALSE(p.flags & kParticleFalls);
             EXPECT_EQ(p.alpha, 64);
             EXPECT_EQ(p.fade, -3);
             EXPECT_EQ(p.bounces, 10);
         }},
    };
    for (const Check& c : checks) {
        SCOPED_TRACE(c.what);
        for (int round = 0; round < 40; ++round) {
            manager.ResetPool();
            manager.SetEnabled(true);
            AreaEffectParams record(c.emitter, 20.0f, 30.0f, 2.0f, -4.0f, 0.0f, 3, 1, 1, c.persistent);
            record.delay = 7;
            ParticleRandom(record.Role()).Seed(uint32_t(round * 7919));
            c.emitter(record, 26, 22, 0xFF336699u);
            const ParticlePool& pool = c.persistent ? manager.SimulationPool() : manager.VisualPool();
            const std::vector<Particle> live = LiveOf(pool);
            ASSERT_EQ(live.size(), 1u);
            const Particle& p = live[0];
            EXPECT_EQ(p.kind, kParticleDot);
            EXPECT_EQ(p.x, 26.0f);
            EXPECT_EQ(p.y, 22.0f);
            EXPECT_EQ(p.z, 1.0f);
            EXPECT_EQ(p.gravity, 3);
            EXPECT_EQ(p.colour, 0x336699u);
            EXPECT_TRUE(p.flags & kParticlePhysical);
            EXPECT_EQ((p.flags & kParticleFalls) != 0, c.emitter != EmitReceptacle);
            if (c.emitter != EmitReceptacle) {
                EXPECT_LT(p.spin, 30.0f);
                EXPECT_GE(p.alpha, 127);
                EXPECT_LE(p.alpha, 254);
            }
            c.check(p, 6.0f, -8.0f);
        }
    }
}

TEST_F(ParticleEmitter, AKeptSprayLandsAsItsRecordSays)
{
    UseMap(AsciiMap(64, std::string(64, '.')));
    ScopedConsoleInt full("enableparticles", 1);
    // Kept spray stamps material 7, or bridge material 17 for a bridge record; a spray that
    // is not kept stamps nothing.
    struct Case {
        bool persistent;
        uint8_t bridge;
        int material;
    };
    for (const Case c : {Case{true, 0, 7}, Case{true, 1, 17}, Case{false, 1, -1}}) {
        SCOPED_TRACE(int(c.bridge));
        manager.ResetPool();
        manager.SetEnabled(true);
        AreaEffectParams record(EmitSpray, 20.0f, 30.0f, 0.0f, 0.0f, 0.0f, 0, 1, 1, c.persistent);
        record.bridge = c.bridge;
        EmitSpray(record, 26, 22, 0xFF336699u);
        const std::vector<Particle> live = LiveOf(c.persistent ? manager.SimulationPool() : manager.VisualPool());
        ASSERT_EQ(live.size(), 1u);
        EXPECT_EQ(live[0].StampMaterial(), c.material);
    }
}

TEST_F(ParticleEmitter, ABashReseedsOnlyTheGeneratorOfItsEmitter)
{
    ScopedConsoleInt full("enableparticles", 1);
    AsciiMap map(32, std::string(32, '1'));
    struct Case {
        const char* what;
        BashEmitter::Callback emitter;
        bool persistent;
        bool movesSimulation;
    };
    const Case cases[] = {
        {"no emitter", nullptr, false, false},
        {"a visual emitter", EmitScatter, false, false},
        {"a simulation emitter (kept spray)", EmitSpray, true, true},
    };
    std::vector<int32_t> checksums;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UseMap(map);
        manager.ResetPool();
        manager.SetEnabled(true);
        SimRandom().Seed(4242);
        DrawRandom().Seed(99);
        AreaEffectParams record(c.emitter, 16.0f, 16.0f, 0.0f, 0.0f, 0.0f, 0, 3, 3, c.persistent);
        BashMaskPtr mask = AllocateBashMask(9, 9);
        std::fill(mask->pixels, mask->pixels + 81, 0xFFFFFFFFu);
        land->Bash(BashRect{10, 10, 19, 19}, mask.get(), 0, false, kAllMaterials, BashOptions{}, MaskReader{}, 0xFF808080u,
                   c.emitter ? &record : nullptr, false, false, nullptr, false, false);
        checksums.push_back(land->ComputeChecksum());
        EXPECT_EQ(SimRandom().State() != RandomGenerator(4242).State(), c.movesSimulation);
        EXPECT_EQ(DrawRandom().State() != RandomGenerator(99).State(), c.emitter && !c.persistent);
        // Cleared pixels on the 3 x 3 grid each made one particle, in the emitter's pool.
        const size_t made = c.emitter ? 9u : 0u;
        EXPECT_EQ(LiveOf(manager.SimulationPool()).size(), c.persistent ? made : 0u);
        EXPECT_EQ(LiveOf(manager.VisualPool()).size(), c.persistent ? 0u : made);
    }
    // The terrain is the same whatever rode on the bash.
    EXPECT_EQ(checksums[0], checksums[1]);
    EXPECT_EQ(checksums[0], checksums[2]);
}

TEST_F(ParticleEmitter, ImagesBreakIntoPixelsEveryStepAndThroughACallback)
{
    UseMap(AsciiMap(64, std::string(64, '.')));
    ScopedConsoleInt full("enableparticles", 1);
    // 4 x 2: alpha 255 but for one pixel of 128 (not above it) and one transparent.
    std::vector<uint32_t> pixels = {0xFF102030u, 0x80FFFFFFu, 0xFF405060u, 0x00000000u,
                                    0xFF708090u, 0xFFA0B0C0u, 0xFFD0E0F0u, 0xFF000000u};
    BashMask image;
    image.width = 4, image.height = 2, image.pitch = 16, image.pixels = pixels.data();
    ImageBreakUp breakUp;
    breakUp.image = &image;
    breakUp.hotX = 1, breakUp.hotY = 1;
    breakUp.x = 30, breakUp.y = 40;
    breakUp.delay = 4;
    breakUp.tint = 0x7F7F7F + 0x100000; // red + 16
    SpawnFromImage(breakUp, nullptr);
    const std::vector<Particle> made = LiveOf(manager.VisualPool());
    ASSERT_EQ(made.size(), 6u);
    EXPECT_EQ(made[0].kind, kParticlePixel);
    EXPECT_EQ(made[0].x, 29.0f); // pixel (0, 0) with the hot spot (1, 1) on (30, 40)
    EXPECT_EQ(made[0].y, 39.0f);
    EXPECT_EQ(made[0].colour, 0x202030u);
    EXPECT_EQ(made[5].colour, 0x100000u);
    EXPECT_EQ(made[0].delay, 4);
    for (const Particle& p : made) {
        EXPECT_TRUE(p.flags & kParticleFalls);
        EXPECT_GE(p.bounces, 1);
        EXPECT_LE(p.bounces, 3);
        EXPECT_LE(std::fabs(p.vx), 5.0f);
    }

    // Through a callback, every second pixel of every row.
    std::vector<std::pair<int, int>> calls;
    struct Recorder : AreaEffectParams {
        std::vector<std::pair<int, int>>* calls = nullptr;
    } record;
    record.callback = [](BashEmitter& e, int x, int y, uint32_t) {
        static_cast<Recorder&>(e).calls->push_back({x, y});
    };
    record.calls = &calls;
    record.stepX = 2;
    record.stepY = 1;
    SpawnFromImage(breakUp, &record);
    EXPECT_EQ(calls, (std::vector<std::pair<int, int>>{{29, 39}, {31, 39}, {29, 40}, {31, 40}}));

    // A step of 0 is refused, not looped on.
    LogCapture log;
    record.stepX = 0;
    calls.clear();
    SpawnFromImage(breakUp, &record);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(log.Contains("Image break-up refused: step 0 x 1"));
    // A persistent record without a callback: every other pixel in the persistent column.
    manager.ResetPool();
    manager.SetEnabled(true);
    AreaEffectParams persistent(nullptr, 0, 0, 0, 0, 0, 0, 1, 1, true);
    SpawnFromImage(breakUp, &persistent);
    EXPECT_EQ(manager.VisualPool().PersistentAllocations(), 4u); // (0,0) (2,0) (1,1) (3,1)
    EXPECT_EQ(LiveOf(manager.VisualPool()).size(), 6u);
    // Without full detail nothing is made.
    manager.ResetPool();
    manager.SetEnabled(true);
    ScopedConsoleInt none("enableparticles", 0);
    SpawnFromImage(breakUp, nullptr);
    EXPECT_TRUE(LiveOf(manager.VisualPool()).empty());
}

TEST_F(ParticleEmitter, FilesBelowGraphicsOnly)
{
    UseMap(AsciiMap(64, std::string(64, '.')));
    ScopedConsoleInt full("enableparticles", 1);
    ScopedGameFiles files(false);
    files.AddPng("Graphics\\Particles\\two.png", 2, 1, {0xFFFFFFFFu, 0xFF00FF00u});
    files.AddFile("Graphics\\Particles\\broken.png", "not a png");
    struct Case {
        const char* path;
        bool broken;
        const char* logged;
    };
    const Case cases[] = {
        {"Particles\\two.png", false, nullptr},
        {"Particles\\none.png", true, "Failed to load Liqufiy image [Graphics\\Particles\\none.png]"},
        {"Particles\\broken.png", true, "Failed to load Liqufiy image [Graphics\\Particles\\broken.png]"},
        {"..\\..\\etc\\passwd", true, "Liqufiy image refused"},
        {"C:\\evil.png", true, "Liqufiy image refused"},
        {"", true, "Liqufiy image refused"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        manager.ResetPool();
        manager.SetEnabled(true);
        LogCapture log;
        EXPECT_EQ(SpawnFromFile(c.path, 10, 10, nullptr), !c.broken);
        EXPECT_EQ(LiveOf(manager.VisualPool()).size(), c.broken ? 0u : 2u);
        if (c.logged) {
            EXPECT_TRUE(log.Contains(c.logged)) << log.Copy();
        }
    }
}

TEST_F(ParticleEmitter, MultiverseUniversesFromTheEnabledGroups)
{
    UseMap(AsciiMap(10, std::string(300, '.')));
    struct Case {
        int mode;
        int32_t runState;
        int enabledGroups;
        float x;
        int32_t offset;
    };
    const Case cases[] = {
        {0, kRunRunning, 3, 250, 0},    // not the Multiverse match: one landscape
        {4, kRunRunning, 3, 250, 200},  // three universes of 100
        {4, kRunRunning, 2, 250, 150},  // two of 150
        {4, kRunNone, 5, 250, 150},     // no game running: two
        {4, kRunRunning, 0, 250, 0},    // no enabled group: one universe, not a division by 0
        {4, kRunRunning, 3, 310, 200},  // past the edge: the last universe
        {4, kRunRunning, 3, -20, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << " " << c.enabledGroups << " " << c.x);
        ASSERT_TRUE(CreateCurrentGameMode(c.mode));
        Controller().runState = c.runState;
        for (int g = 0; g < 8; ++g)
            Controller().groups[size_t(g)].inUse = g < c.enabledGroups ? 1 : 0;
        Particle p = kTemplateParticle;
        p.SetPosition(c.x, 7, 1.0f);
        EXPECT_EQ(p.offsetX, c.offset);
        EXPECT_EQ(p.x, c.x - float(c.offset));
        EXPECT_EQ(p.WorldX(), c.x);
        ClearCurrentGameMode();
    }
}

// The beam-up beside an exit: sparks of the drawing's own, rising and fading, the same for the
// same update and point, none without full detail, and the simulation generator untouched.
TEST_F(ParticleEmitter, BeamUpSparksRiseFromThePointAndLeaveTheSimulationAlone)
{
    UseMap(AsciiMap(64, std::string(64, '.')));
    CurrentUpdateCounter() = 40;
    const uint32_t simulation = SimRandom().State();
    {
        ScopedConsoleInt none("enableparticles", 0);
        EXPECT_EQ(SpawnBeamUpEffect(30.0f, 50.0f), 0);
    }
    ScopedConsoleInt full("enableparticles", 1);
    ASSERT_EQ(SpawnBeamUpEffect(30.0f, 50.0f), kBeamUpSparks);
    EXPECT_EQ(SimRandom().State(), simulation);
    EXPECT_TRUE(LiveOf(manager.SimulationPool()).empty());
    const std::vector<Particle> first = LiveOf(manager.VisualPool());
    ASSERT_EQ(first.size(), size_t(kBeamUpSparks));
    for (const Particle& p : first) {
        EXPECT_LT(p.vy, 0.0f) << "rises";
        EXPECT_LT(p.fade, 0) << "fades";
        EXPECT_GT(p.life, 0);
        EXPECT_NEAR(p.WorldX(), 30.0f, 12.0f);
        EXPECT_LE(p.WorldY(), 50.0f);
    }
    manager.ResetPool();
    manager.SetEnabled(true);
    SpawnBeamUpEffect(30.0f, 50.0f);
    const std::vector<Particle> again = LiveOf(manager.VisualPool());
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(again[i].WorldX(), first[i].WorldX());
        EXPECT_EQ(again[i].vy, first[i].vy);
    }
    manager.SetEnabled(false);
    EXPECT_EQ(SpawnBeamUpEffect(30.0f, 50.0f), 0) << "nothing while the particles are off";
}
