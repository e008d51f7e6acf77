// One particle update (ParticleManager::Update) of 10,000 live particles with their quads
// written: half move physically, falling and bouncing on the replay check's 2048 x 1024
// landscape, half follow the wave motion. Particles that come to rest are replaced between
// iterations (not timed), so every timed update has 10,000.
#include "app/Random.h"
#include "tools/replaycheck/MatchRecipe.h"
#include "world/Landscape.h"
#include "world/ParticleManager.h"
#include "world/WorldState.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kLive = 10000;

struct Scene {
    Scene() : use(world), particles(manager)
    {
        recipe::BuildLandscape(land);
        manager.Init();
        manager.SetLandscape(&land);
        manager.SetEnabled(true);
    }
    ~Scene() { manager.Shutdown(); }

    void TopUp()
    {
        manager.Flush();
        int live = manager.LiveSimulationParticles() + manager.LiveVisualParticles();
        for (; live < kLive; ++live) {
            const bool physical = (live & 1) == 0;
            Particle* p = manager.AllocParticle(false, physical ? ParticleRole::Simulation : ParticleRole::Visual);
            if (!p)
                break;
            p->kind = uint8_t(random.Next() % 14);
            p->flags = uint8_t(random.Next() & 1);
            const float x = float(random.Next() % recipe::kWidth);
            const float y = float(200 + random.Next() % 500);
            p->SetPosition(x, y, 1.0f);
            if (physical) {
                p->flags |= kParticleFalls | kParticlePhysical;
                p->flags2 |= kParticle2LightGravity;
                p->vx = float(random.Next() % 21 - 10);
                p->vy = float(random.Next() % 21 - 10);
                p->bounces = 200;
                p->elasticity = 85;
            } else {
                p->baseX = x, p->baseY = y, p->baseZ = 1.0f;
                p->ampX = 30.0f, p->ampY = 20.0f;
                p->vx = 7.0f, p->vy = 11.0f;
                p->ax = p->ay = 0.999f;
                p->az = 1.0f;
            }
            p->spin = float(random.Next() % 30);
            p->colour = 0x808080u | uint32_t(random.Next());
            manager.CountParticle(*p);
        }
        manager.Flush();
    }

    WorldState world;
    ScopedWorld use;
    Landscape land;
    ParticleManager manager;
    ScopedParticles particles;
    RandomGenerator random{7};
};

void BM_ParticleUpdate10000(benchmark::State& state)
{
    auto scene = std::make_unique<Scene>();
    scene->TopUp();
    scene->manager.Update();
    for (auto _ : state) {
        state.PauseTiming();
        scene->TopUp();
        ++scene->world.clock.updateCounter;
        state.ResumeTiming();
        scene->manager.Update();
    }
    state.counters["live"] = double(scene->manager.LiveSimulationParticles() + scene->manager.LiveVisualParticles());
    state.counters["drawn"] = double(scene->manager.DrawnParticles());
}
BENCHMARK(BM_ParticleUpdate10000)->Unit(benchmark::kMicrosecond);

} // namespace
