#include "world/FlimbParticles.h"

#include "app/Random.h"
#include "app/SimMath.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"

#include <cmath>

namespace {

FlimbDustEmitter& Dust(BashEmitter& emitter)
{
    return static_cast<FlimbDustEmitter&>(emitter);
}

int Range(int low, int high)
{
    return low + SimRand() % (high - low + 1);
}

// The look every digging and exploding particle shares: kind 0, spin 0..29, alpha
// 127..254, a random mirror and flip, the flimb's gravity, the pixel's colour.
ParticleRequest DustAt(const FlimbDustEmitter& dust, int x, int y, uint32_t colour)
{
    ParticleRequest p;
    p.kind = 0;
    p.x = static_cast<float>(x);
    p.y = static_cast<float>(y);
    p.gravity = dust.gravity;
    p.spin = static_cast<float>(SimRand() % 30);
    p.alpha = static_cast<uint8_t>(127 + SimRand() % 128);
    if (SimRand() & 1)
        p.flags |= kParticleMirrorX;
    if (SimRand() & 1)
        p.flags |= kParticleFlipY;
    p.colour = colour & 0x00FFFFFFu;
    return p;
}

} // namespace

// The pool is empty until the particles exist.
bool ParticlePoolHasRoom(bool /*persistent*/)
{
    return false;
}

bool EmitParticle(const ParticleRequest& /*request*/)
{
    return false;
}

void AtomizeFlimbSprite(const Flimb& /*flimb*/, bool /*evenFrames*/, bool /*persistent*/, BashEmitter* /*emitter*/,
                        int /*stepX*/, int /*stepY*/)
{
}

void BreakOverlayIntoParticles(const Flimb& /*flimb*/) {}

void BurstNovaSprite(const Flimb& /*flimb*/, int /*pattern*/) {}

bool LaunchLopMissile(Flimb& /*flimb*/)
{
    return false;
}

bool SimulateLopThrow(const Flimb& /*flimb*/, int32_t& /*x*/, int32_t& /*y*/)
{
    return false;
}

FlimbDustEmitter DustEmitterOf(const Flimb& flimb, BashEmitter::Callback callback)
{
    FlimbDustEmitter dust;
    dust.callback = callback;
    dust.x = flimb.x;
    dust.y = flimb.y;
    dust.gravity = flimb.gravity;
    dust.walkSign = static_cast<int8_t>(flimb.walkSpeed < 0 ? -1 : 1);
    dust.walksAlongX = flimb.gravity < 2;
    return dust;
}

void ClobDust(BashEmitter& emitter, int x, int y, uint32_t colour)
{
    if (!ParticlePoolHasRoom(true) || PreviewRunning())
        return;
    const FlimbDustEmitter& dust = Dust(emitter);
    SimSrand(CurrentUpdateCounter() * static_cast<uint32_t>(x) + static_cast<uint32_t>(y));
    ParticleRequest p = DustAt(dust, x, y, colour);
    // 0..2 pixels per update away from the flimb along its walking axis.
    const float speed = static_cast<float>(SimRand() % 3);
    const int32_t along = dust.walksAlongX ? x - dust.x : y - dust.y;
    const float away = along < 0 ? -speed : speed;
    (dust.walksAlongX ? p.vx : p.vy) = away;
    p.persistent = true;
    p.flags |= kParticleFalls | kParticlePhysical;
    p.bounces = 10;
    p.delay = 2;
    p.life = 7;
    EmitParticle(p);
}

void GulpDust(BashEmitter& emitter, int x, int y, uint32_t colour)
{
    if (!ParticlePoolHasRoom(false) || PreviewRunning())
        return;
    const FlimbDustEmitter& dust = Dust(emitter);
    ParticleRequest p = DustAt(dust, x, y, colour);
    // A unit vector from the pixel towards the flimb.
    const float dx = static_cast<float>(dust.x - x), dy = static_cast<float>(dust.y - y);
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > 0.0f) {
        p.vx = dx / length;
        p.vy = dy / length;
    }
    p.flags |= kParticlePhysical;
    p.bounces = 10;
    p.delay = 1;
    p.life = 10;
    EmitParticle(p);
}

void NovaDust(BashEmitter& emitter, int x, int y, uint32_t colour)
{
    if (!ParticlePoolHasRoom(false) || PreviewRunning())
        return;
    const FlimbDustEmitter& dust = Dust(emitter);
    ParticleRequest p = DustAt(dust, x, y, colour);
    p.vx = dust.vx + static_cast<float>(Range(-5, 4));
    p.vy = dust.vy + static_cast<float>(Range(-5, 4));
    p.flags |= kParticleFalls | kParticlePhysical | kParticleSlowBounce;
    p.flags2 |= kParticle2LightGravity;
    p.bounces = 10;
    p.elasticity = static_cast<uint8_t>(Range(55, 74));
    p.life = static_cast<uint16_t>(Range(25, 34));
    EmitParticle(p);
}

void NovaFountain(BashEmitter& emitter, int x, int y, uint32_t colour)
{
    if (!ParticlePoolHasRoom(false) || PreviewRunning())
        return;
    const FlimbDustEmitter& dust = Dust(emitter);
    ParticleRequest p = DustAt(dust, x, y, colour);
    // Outwards from the explosion point and upwards, at a random speed.
    const float dx = static_cast<float>(x - dust.x), dy = static_cast<float>(y - dust.y);
    const float length = std::sqrt(dx * dx + dy * dy);
    const float speed = static_cast<float>(Range(4, 12));
    if (length > 0.0f)
        p.vx = dx / length * speed;
    p.vy = -speed;
    p.flags |= kParticleFalls | kParticlePhysical;
    p.flags2 |= kParticle2LightGravity;
    p.bounces = static_cast<uint8_t>(Range(5, 9));
    p.elasticity = 90;
    p.life = 50;
    EmitParticle(p);
}

void ThrowDebris(int32_t x, int32_t y)
{
    if (!ParticlePoolHasRoom(false) || PreviewRunning())
        return;
    // The open side: the first empty of three probes (up, down, left); else the right.
    int normalAngle = 0; // degrees of the surface's outward normal, 0 = +x, 90 = up
    const Landscape* land = GameLandscape();
    if (land && land->HitTestPoint(x, y - 3) == 0)
        normalAngle = 90;
    else if (land && land->HitTestPoint(x, y + 3) == 0)
        normalAngle = 270;
    else if (land && land->HitTestPoint(x - 3, y) == 0)
        normalAngle = 180;
    SimSrand(CurrentUpdateCounter());
    for (int i = 0; i < 16; ++i) {
        ParticleRequest p;
        p.kind = 12;
        p.x = static_cast<float>(x + Range(-2, 2));
        p.y = static_cast<float>(y + Range(-2, 2));
        // 30..100 degrees from the surface, turned towards the open side.
        const int fromSurface = SimRand() % 71 + 30;
        const int angle = normalAngle - 90 + fromSurface;
        p.vx = 4.0f * CosDeg(angle);
        p.vy = -4.0f * SinDeg(angle);
        p.growth = static_cast<float>(Range(3, 7)) / 100.0f;
        p.flags2 |= kParticle2LightGravity;
        p.life = static_cast<uint16_t>(Range(2, 4));
        p.colour = i < 8 ? 0xB85C00u : 0xFFCCAAu;
        EmitParticle(p);
    }
    ParticleRequest smoke;
    smoke.kind = 12;
    smoke.x = static_cast<float>(x);
    smoke.y = static_cast<float>(y);
    smoke.growth = -static_cast<float>(Range(5, 9)) / 100.0f;
    smoke.colour = 0xCCCCFFu;
    smoke.life = static_cast<uint16_t>(Range(3, 5));
    EmitParticle(smoke);
}
