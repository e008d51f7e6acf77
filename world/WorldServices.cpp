#include "world/WorldServices.h"

#include "app/GameException.h"
#include "world/Landscape.h"
#include "world/ParticleEmitters.h"
#include "world/ParticleManager.h"

#include <memory>
#include <new>

bool particleRebuild = false;

namespace {

std::unique_ptr<Landscape>& TheLandscape()
{
    static std::unique_ptr<Landscape> landscape;
    return landscape;
}

std::unique_ptr<ParticleManager>& TheParticles()
{
    static std::unique_ptr<ParticleManager> particles;
    return particles;
}

} // namespace

Landscape* GameLandscape()
{
    return TheLandscape().get();
}

void InitLandscape()
{
    if (TheLandscape())
        return;
    try {
        TheLandscape() = std::make_unique<Landscape>();
    } catch (const std::bad_alloc&) {
        throw GameException("Couldn't allocate the landscape");
    }
    TheLandscape()->InitGlobal();
}

void ReleaseLandscape()
{
    if (!TheLandscape())
        return;
    TheLandscape()->ShutdownGlobal();
    TheLandscape().reset();
}

bool LandscapeExists()
{
    return TheLandscape() != nullptr;
}

uint64_t LandscapeStateHash()
{
    const Landscape* landscape = GameLandscape();
    return landscape ? landscape->StateHash() : 0;
}

int32_t LandscapeWidth()
{
    const Landscape* landscape = GameLandscape();
    return landscape ? landscape->Width() : 0;
}

int32_t LandscapeHeight()
{
    const Landscape* landscape = GameLandscape();
    return landscape ? landscape->Height() : 0;
}

void ClearLandscapePrimitives()
{
    if (Landscape* landscape = GameLandscape())
        landscape->ClearPrimitives();
}

void AddLandscapeChild(Primitive* child)
{
    if (Landscape* landscape = GameLandscape(); landscape && child)
        landscape->AddChild(child);
}

void SpawnDebugParticle(int32_t x, int32_t y, uint32_t colour)
{
    ParticleManager* manager = Particles();
    Particle* p = manager ? manager->AllocParticle(false, ParticleRole::Visual) : nullptr;
    if (!p)
        return;
    p->kind = kParticleIce;
    p->SetPosition(float(x), float(y), 2.0f);
    p->flags |= kParticleFalls | kParticlePhysical;
    p->bounces = 3;
    p->life = 200;
    p->colour = colour & 0x00FFFFFFu;
    manager->CountParticle(*p);
}

void SpawnParticlesFromImage(AnimSurface* image, int frame, int32_t x, int32_t y, uint8_t direction, float scaleX,
                             float scaleY)
{
    if (!image)
        return;
    AreaEffectParams record(EmitReceptacle, float(x), float(y), 0.0f, 0.0f, 0.0f, direction, 2, 2);
    SpawnFromFrame(*image, frame, float(x), float(y), scaleX, scaleY, 0x808080u, &record);
}

void InitParticles()
{
    if (TheParticles())
        return;
    auto manager = std::make_unique<ParticleManager>();
    manager->Init();
    TheParticles() = std::move(manager);
    SetCurrentParticles(TheParticles().get());
}

void ReleaseParticles()
{
    if (!TheParticles())
        return;
    if (Particles() == TheParticles().get())
        SetCurrentParticles(nullptr);
    TheParticles()->Shutdown();
    TheParticles().reset();
}

void UpdateParticles()
{
    if (ParticleManager* manager = Particles())
        manager->Update();
}

void RebuildParticleVertices()
{
    particleRebuild = false;
    if (ParticleManager* manager = Particles())
        manager->RebuildVertices();
}

int ParticleCount()
{
    const ParticleManager* manager = Particles();
    return manager ? manager->LiveSimulationParticles() : 0;
}

void ResetParticles()
{
    if (ParticleManager* manager = Particles())
        manager->ResetPool();
}

void SetParticlesEnabled(bool on)
{
    if (ParticleManager* manager = Particles())
        manager->SetEnabled(on);
}

uint64_t SimulationParticlesHash()
{
    const ParticleManager* manager = Particles();
    return manager ? manager->SimulationHash() : 0;
}
