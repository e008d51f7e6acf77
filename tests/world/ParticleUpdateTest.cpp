// One particle update (Particle::Update): delay, frames, edges, acceleration and fading,
// gravity, the wave motion, physical motion with bounces, lifetime and limits.
#include "../support/ParticleFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A particle that moves physically and does not fall, at a point, at rest.
Particle Still(float x, float y)
{
    Particle p = kTemplateParticle;
    p.flags = kParticlePhysical;
    p.SetPosition(x, y, 1.0f);
    p.vx = p.vy = 0.0f;
    p.delay = 0;
    return p;
}

AsciiMap EmptyMap(int width, int height)
{
    return AsciiMap(size_t(height), std::string(size_t(width), '.'));
}

} // namespace

using ParticleUpdate = ParticleFixture;

TEST_F(ParticleUpdate, NothingHappensUntilTheDelayHasRunModulo65536)
{
    UseMap(EmptyMap(32, 32));
    struct Case {
        uint32_t bornAt;
        uint32_t firstMove; // the first counter at which it moves
    };
    // Born late in the 16-bit range, the counter past 65,536: still waits exactly 3.
    for (const Case c : {Case{100, 103}, Case{65534, 65537}, Case{200000, 200003}}) {
        SCOPED_TRACE(c.bornAt);
        Particle p = Still(5, 5);
        p.vx = 1.0f;
        p.delay = 3;
        p.born = uint16_t(c.bornAt);
        for (uint32_t counter = c.bornAt; counter < c.firstMove; ++counter) {
            ParticleStep step = HandStep(counter);
            p.Update(step);
            EXPECT_EQ(p.x, 5.0f) << counter;
            EXPECT_EQ(p.age, 0);
        }
        ParticleStep step = HandStep(c.firstMove);
        p.Update(step);
        EXPECT_EQ(p.x, 6.0f);
        EXPECT_EQ(p.age, 1);
    }
}

TEST_F(ParticleUpdate, EdgesOpenWallAndWrap)
{
    const int32_t O = TileStore::kEdgeOpen, W = TileStore::kEdgeWall, R = TileStore::kEdgeWrap;
    struct Case {
        EdgeModes edges;
        float x, y;
        bool alive;
        float afterX, afterY;
    };
    const Case cases[] = {
        // Open edges: more than 199 past the bottom or right, more than 200 before the top or left.
        {{O, O, O, O}, 10, 31 + 199, true, 10, 230},
        {{O, O, O, O}, 10, 31 + 200, false, 10, 231},
        {{O, O, O, O}, 31 + 199, 10, true, 230, 10},
        {{O, O, O, O}, 31 + 200, 10, false, 231, 10},
        {{O, O, O, O}, 10, -200, true, 10, -200},
        {{O, O, O, O}, 10, -201, false, 10, -201},
        {{O, O, O, O}, -200, 10, true, -200, 10},
        {{O, O, O, O}, -201, 10, false, -201, 10},
        // A wall keeps it where it is.
        {{W, W, W, W}, 500, -300, true, 500, -300},
        // Wrapping edges move it by the size.
        {{R, R, R, R}, 35, -4, true, 3, 28},
        {{O, O, R, O}, -2, 10, true, 30, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        UseMap(EmptyMap(32, 32), c.edges);
        Particle p = Still(c.x, c.y);
        ParticleStep step = HandStep(10);
        p.Update(step);
        EXPECT_EQ(p.alive != 0, c.alive);
        EXPECT_EQ(p.x, c.afterX);
        EXPECT_EQ(p.y, c.afterY);
    }
}

TEST_F(ParticleUpdate, GravityPullsFiveOrTwoAlongItsDirection)
{
    UseMap(EmptyMap(64, 64));
    struct Case {
        uint8_t gravity;
        uint8_t flags;
        uint8_t flags2;
        float vx, vy;
    };
    const uint8_t fall = kParticlePhysical | kParticleFalls;
    const Case cases[] = {
        {0, fall, 0, 0, 5},
        {1, fall, 0, 0, -5},
        {2, fall, 0, -5, 0},
        {3, fall, 0, 5, 0},
        {0, fall, kParticle2LightGravity, 0, 2},
        {3, fall, kParticle2LightGravity, 2, 0},
        {0, fall | kParticleKept, kParticle2LightGravity, 0, 5}, // kept: full gravity
        {0, fall, kParticle2FixedX, 0, 0},                       // a fixed axis: no pull
        {0, kParticlePhysical, 0, 0, 0},                         // does not fall
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.gravity) << " " << int(c.flags) << " " << int(c.flags2));
        Particle p = Still(30, 30);
        p.gravity = c.gravity;
        p.flags = c.flags;
        p.flags2 = c.flags2;
        ParticleStep step = HandStep(5);
        p.Update(step);
        EXPECT_EQ(p.vx, c.vx);
        EXPECT_EQ(p.vy, c.vy);
        EXPECT_EQ(p.x, 30 + c.vx);
        EXPECT_EQ(p.y, 30 + c.vy);
    }
}

TEST_F(ParticleUpdate, SpinAccelerationFadeAndFrames)
{
    UseMap(EmptyMap(64, 64));
    Particle p = Still(30, 30);
    p.born = 7;
    p.spin = 100.0f;
    p.angle = 300.0f;
    p.ax = 1.0f;
    p.fade = -100;
    p.kind = kParticleFireball;
    p.frame = 25;
    // In its birth update nothing but the frame changes.
    ParticleStep birth = HandStep(7);
    p.Update(birth);
    EXPECT_EQ(p.angle, 300.0f);
    EXPECT_EQ(p.alpha, 255);
    EXPECT_EQ(p.frame, 0); // the fireball's counter wraps at 26
    ParticleStep step = HandStep(8);
    p.Update(step);
    EXPECT_EQ(p.angle, 40.0f); // kept within -360 .. 360
    EXPECT_EQ(p.vx, 1.0f);
    EXPECT_EQ(p.x, 31.0f);
    EXPECT_EQ(p.alpha, 155);
    p.Update(step);
    EXPECT_EQ(p.alpha, 55);
    p.Update(step);
    EXPECT_EQ(p.alpha, 0);
    EXPECT_EQ(p.alive, 0u); // dies faded out (flags2 bit 6 of the template)
    // Without that bit it lives on at alpha 0; other kinds wrap their counter at 100.
    Particle q = Still(30, 30);
    q.flags2 = 0;
    q.fade = -128;
    q.frame = 99;
    q.born = 1;
    q.Update(step);
    q.Update(step);
    EXPECT_EQ(q.alpha, 0);
    EXPECT_EQ(q.alive, 1u);
    EXPECT_EQ(q.frame, 1);
}

TEST_F(ParticleUpdate, TheWaveMotionShrinksUntilItDies)
{
    UseMap(EmptyMap(64, 64));
    Particle p = Still(0, 0);
    p.flags = 0; // not physical: the wave motion
    p.flags2 = kParticle2FixedZ; // z keeps still (and with a fixed axis nothing accelerates)
    p.baseX = 20.0f, p.ampX = 8.0f, p.vx = 90.0f, p.ax = 0.5f;
    p.baseY = 30.0f, p.ampY = 8.0f, p.vy = 0.0f, p.ay = 0.5f;
    p.baseZ = 1.0f, p.ampZ = 0.0f, p.az = 1.0f;
    ParticleStep step = HandStep(3);
    const float expectX[] = {28.0f, 20.0f, 18.0f};
    const float expectY[] = {38.0f, 34.0f, 32.0f};
    for (int i = 0; i < 3; ++i) {
        p.Update(step);
        EXPECT_NEAR(p.x, expectX[i], 1e-4f) << i;
        EXPECT_NEAR(p.y, expectY[i], 1e-4f) << i;
        EXPECT_EQ(p.alive, 1u);
    }
    // Amplitudes 1 then 0.5: below 1 on both axes, it dies.
    p.Update(step);
    EXPECT_EQ(p.alive, 0u);
}

TEST_F(ParticleUpdate, BouncesOffFloorsWallsAndCorners)
{
    // A floor from row 40, a ceiling over rows 0 and 1, a wall from column 45 and a slope
    // (x + y >= 60) between them.
    AsciiMap map = EmptyMap(48, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            if (y >= 40 || y <= 1 || x >= 45 || x + y >= 60)
                map[size_t(y)][size_t(x)] = '1';
    UseMap(map);
    const uint32_t counter = 1234;
    RandomGenerator draws(counter);
    const float along = float(30 + draws.Next() % 11 - 5) / 100.0f;
    const float across = float(30 + draws.Next() % 11 - 5) / 100.0f;
    struct Case {
        const char* what;
        float x, y, vx, vy;
        float expectVx, expectVy;
    };
    const Case cases[] = {
        {"floor", 10.5f, 32.5f, 2.0f, 10.0f, 2.0f * across, -10.0f * along},
        {"ceiling", 10.5f, 5.5f, 2.0f, -10.0f, 2.0f * across, 10.0f * along},
        {"wall", 38.5f, 10.5f, 10.0f, -1.0f, -10.0f * along, -1.0f * across},
        // Falling onto the slope: the velocity turns by 90 degrees, down becomes left.
        {"slope", 30.5f, 20.5f, 0.0f, 12.0f, -12.0f * along, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Particle p = Still(c.x, c.y);
        p.vx = c.vx, p.vy = c.vy;
        p.elasticity = 30;
        p.bounces = 2;
        ParticleStep step = HandStep(counter);
        p.Update(step);
        EXPECT_EQ(p.alive, 1u);
        EXPECT_EQ(p.bounces, 1);
        EXPECT_NEAR(p.vx, c.expectVx, 1e-5f);
        EXPECT_NEAR(p.vy, c.expectVy, 1e-5f);
        // It stays at the last free point before the surface.
        EXPECT_EQ(land->HitTestPoint(int(p.x), int(p.y)), 0);
        const float dx = p.x - c.x, dy = p.y - c.y;
        EXPECT_LE(dx * dx + dy * dy, c.vx * c.vx + c.vy * c.vy);
    }
}

TEST_F(ParticleUpdate, WithoutABounceItSticksOrDies)
{
    AsciiMap map = EmptyMap(32, 32);
    map[20] = std::string(32, '#');
    UseMap(map);
    struct Case {
        const char* what;
        uint8_t flags;
        uint8_t bounces;
        uint8_t stickCount;
        float vy;
        uint8_t elasticity;
        bool alive;
    };
    const Case cases[] = {
        {"no bounces left", kParticlePhysical, 0, 0, 10.0f, 30, false},
        {"sticks once", kParticlePhysical, 0, 1, 10.0f, 30, true},
        {"too slow after the bounce", kParticlePhysical, 3, 0, 1.6f, 30, false},
        {"fast bounce", kParticlePhysical, 3, 0, 40.0f, 95, true},
        {"fast bounce, losing speed", kParticlePhysical | kParticleSlowBounce, 3, 0, 40.0f, 95, false},
        {"kept: comes to rest", kParticlePhysical | kParticleKept, 0, 5, 10.0f, 30, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Particle p = Still(8.5f, 18.5f);
        p.flags = c.flags;
        p.bounces = c.bounces;
        p.stickCount = c.stickCount;
        p.vy = c.vy;
        p.elasticity = c.elasticity;
        ParticleStep step = HandStep(77);
        p.Update(step);
        EXPECT_EQ(p.alive != 0, c.alive);
        if (!c.alive) { // it dies with the velocity it had at the start of the update
            EXPECT_EQ(p.vy, c.vy);
        }
        if (c.stickCount && c.alive) {
            EXPECT_EQ(p.stickCount, c.stickCount - 1);
            EXPECT_EQ(p.vy, 0.0f);
        }
    }
}

TEST_F(ParticleUpdate, LifetimeFadesOverItsSecondHalfThenEnds)
{
    UseMap(EmptyMap(32, 32));
    struct Case {
        uint16_t age;
        bool alive;
        uint8_t alpha;
    };
    // life 40: untouched before age 20, then 255 - (age - 20) / 40 x 255 in 1/16384 steps:
    // 255 at 20, 192 at 30, 134 at 39; gone at 40.
    for (const Case c : {Case{0, true, 200}, Case{19, true, 200}, Case{20, true, 255}, Case{30, true, 192},
                         Case{39, true, 134}, Case{40, false, 200}}) {
        SCOPED_TRACE(c.age);
        Particle p = Still(5, 5);
        p.life = 40;
        p.age = c.age;
        p.alpha = 200;
        p.flags |= kParticleKept;
        ParticleStep step = HandStep(9);
        p.Update(step);
        EXPECT_EQ(p.alive != 0, c.alive);
        EXPECT_EQ(p.alpha, c.alpha);
        EXPECT_EQ(p.age, c.age + 1);
        // A life that runs out ends a kept particle unkept: it is not stamped.
        EXPECT_EQ((p.flags & kParticleKept) != 0, c.alive);
    }
}

TEST_F(ParticleUpdate, PastItsLimitsItDies)
{
    UseMap(EmptyMap(64, 64));
    for (const bool pastX : {false, true}) {
        Particle p = Still(10, 10);
        p.vx = pastX ? 3.0f : 0.0f;
        p.vy = pastX ? 0.0f : 3.0f;
        p.maxX = 12;
        p.maxY = 12;
        ParticleStep step = HandStep(2);
        p.Update(step);
        EXPECT_EQ(p.alive, 0u) << pastX;
        Particle q = Still(10, 10);
        q.maxX = 12;
        q.vx = 2.0f;
        q.Update(step);
        EXPECT_EQ(q.alive, 1u);
    }
}
