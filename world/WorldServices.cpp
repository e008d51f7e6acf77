#include "world/WorldServices.h"

#include "app/GameException.h"
#include "world/Landscape.h"

#include <memory>
#include <new>
#include <vector>

bool particleRebuild = false;

namespace {

struct Particle {
    float x = 0, y = 0, vx = 0, vy = 0;
    int life = 0;
};

constexpr size_t kParticleCapacity = 8192;

std::unique_ptr<Landscape>& TheLandscape()
{
    static std::unique_ptr<Landscape> landscape;
    return landscape;
}

std::vector<Particle>& Particles()
{
    static std::vector<Particle> particles;
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

void SpawnDebugParticle(int32_t /*x*/, int32_t /*y*/, uint32_t /*colour*/) {}

void SpawnParticlesFromImage(AnimSurface* /*image*/, int /*frame*/, int32_t /*x*/, int32_t /*y*/,
                             uint8_t /*direction*/, float /*scaleX*/, float /*scaleY*/)
{
}

void InitParticles()
{
    try {
        Particles().assign(kParticleCapacity, Particle{});
    } catch (const std::bad_alloc&) {
        throw GameException("Couldn't allocate enough memory for the particle buffer");
    }
}

void ReleaseParticles()
{
    std::vector<Particle>().swap(Particles());
}

void UpdateParticles()
{
    for (Particle& p : Particles()) {
        if (p.life <= 0)
            continue;
        p.x += p.vx;
        p.y += p.vy;
        --p.life;
    }
}

void RebuildParticleVertices()
{
    particleRebuild = false;
}

int LiveParticleCount()
{
    int live = 0;
    for (const Particle& p : Particles())
        live += p.life > 0 ? 1 : 0;
    return live;
}
