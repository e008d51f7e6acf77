#include "world/BeamUpEffect.h"

#include "app/Random.h"
#include "world/ParticleKinds.h"
#include "world/ParticleManager.h"
#include "world/WorldClock.h"

namespace {

constexpr uint32_t kBeamColours[] = {0xFFFFFF, 0xC8F0FF, 0x90D8FF};
constexpr int kBeamSpread = 12;  // pixels either side of the point
constexpr int kBeamLife = 30;    // updates

} // namespace

int SpawnBeamUpEffect(float x, float y)
{
    ParticleManager* manager = Particles();
    if (!manager || !manager->IsEnabled() || !ParticleManager::FullDetail())
        return 0;
    RandomGenerator& random = DrawRandom();
    random.Seed(CurrentUpdateCounter() * static_cast<uint32_t>(static_cast<int32_t>(x)) +
                static_cast<uint32_t>(static_cast<int32_t>(y)));
    int made = 0;
    for (int i = 0; i < kBeamUpSparks; ++i) {
        Particle* p = manager->AllocParticle(false, ParticleRole::Visual);
        if (!p)
            break;
        p->kind = kParticleDot;
        const float across = static_cast<float>(random.Next() % (2 * kBeamSpread + 1) - kBeamSpread);
        p->SetPosition(x + across, y - static_cast<float>(random.Next() % 20), 1.0f);
        p->vx = across * 0.05f;
        p->vy = -(2.0f + static_cast<float>(random.Next() % 40) / 10.0f);
        p->colour = kBeamColours[random.Next() % 3];
        p->alpha = static_cast<uint8_t>(160 + random.Next() % 96);
        p->fade = -6;
        p->life = static_cast<uint16_t>(kBeamLife - random.Next() % 10);
        p->delay = static_cast<uint8_t>(1 + random.Next() % 4);
        manager->CountParticle(*p);
        ++made;
    }
    return made;
}
