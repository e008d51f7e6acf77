// A particle's death: it leaves the counters and, when kept or stamping, its sprite is
// stamped into the terrain: material 1, 7 or 17 for kept particles by flags2 bits 0 and 1,
// removal for stamping ones.
#include "../support/GameFiles.h"
#include "../support/ParticleFixture.h"

#include "world/ParticleKinds.h"

#include <gtest/gtest.h>

#include <string>

using ParticleDeath = ParticleFixture;

TEST_F(ParticleDeath, StampsItsSpriteByFlags)
{
    ScopedGameFiles files;
    struct Case {
        const char* what;
        uint8_t kind;
        uint8_t flags;
        uint8_t flags2;
        float x, y, angle, scale;
        int material; // at the point afterwards
        int32_t checksum;
    };
    // Ground (material 1) from row 12; the particles die in the air above it or inside it.
    const Case cases[] = {
        {"kept: dirt", kParticleDot, kParticleKept, 0, 10, 5, 0, 1.0f, 1, 123148},
        {"kept, flags2 bit 0: bricks", kParticleDot, kParticleKept, kParticle2NoExplosion, 10, 5, 0, 1.0f, 7, 123220},
        {"kept, flags2 bits 0 and 1", kParticleDot, kParticleKept, kParticle2NoExplosion | kParticle2StampMode, 10, 5,
         0, 1.0f, 17, 123340},
        {"stamping: removal", kParticleDot, kParticleStamps, 0, 10, 14, 0, 1.0f, 0, 123124},
        {"a turned drop, removal", kParticleAcidDrop, kParticleStamps, 0, 20, 12, 170, 1.0f, 0, 123106},
        {"a small drop, kept", kParticleAcidDrop, kParticleKept, 0, 20, 4, 0, 0.5f, 1, 123164},
        {"neither: nothing", kParticleDot, 0, 0, 10, 14, 0, 1.0f, 1, 123136},
        {"not counted: nothing", kParticleDot, kParticleStamps, kParticle2Uncounted, 10, 14, 0, 1.0f, 1, 123136},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AsciiMap map(20, std::string(32, '.'));
        for (int y = 12; y < 20; ++y)
            map[size_t(y)] = std::string(32, '1');
        UseMap(map);
        const int32_t before = land->ComputeChecksum();
        Particle* p = Make(ParticleRole::Simulation, [&](Particle& q) {
            q.kind = c.kind;
            q.flags = c.flags | kParticlePhysical;
            q.flags2 = c.flags2;
            q.SetPosition(c.x, c.y, c.scale);
            q.vx = q.vy = 0.0f;
            q.angle = c.angle;
            q.colour = 0x123456;
            q.maxY = 0; // past its limit at the first update
            q.delay = 0;
        });
        ASSERT_NE(p, nullptr);
        const int column = c.kind * 2;
        EXPECT_EQ(manager.SimulationPool().CountOf(column), (c.flags2 & kParticle2Uncounted) ? 0 : 1);
        Step();
        EXPECT_EQ(p->alive, 0u);
        EXPECT_EQ(manager.SimulationPool().CountOf(column), 0);
        EXPECT_EQ(land->HitTestPoint(int(c.x), int(c.y)), c.material);
        EXPECT_EQ(land->ComputeChecksum(), c.checksum);
        EXPECT_EQ(c.checksum == before, c.material == 1 && c.y > 12); // nothing changed only where nothing stamps
        if (c.kind == kParticleDot && (c.flags & kParticleKept)) {
            EXPECT_EQ(land->GetPixelColour(int(c.x), int(c.y)), 0xFF123456u); // the white dot times the colour
        }
    }
}
