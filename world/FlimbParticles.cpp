#include "world/FlimbParticles.h"

#include "app/Random.h"
#include "app/SimMath.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "world/ParticleEmitters.h"
#include "world/ParticleKinds.h"
#include "world/ParticleManager.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"

#include <cmath>

namespace {

FlimbDustEmitter& Dust(BashEmitter& emitter)
{
    return static_cast<FlimbDustEmitter&>(emitter);
}

// The flimbs' particles are the drawing's own: they draw from the drawing generator.
int Range(int low, int high)
{
    return low + DrawRand() % (high - low + 1);
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
    p.spin = static_cast<float>(DrawRand() % 30);
    p.alpha = static_cast<uint8_t>(127 + DrawRand() % 128);
    if (DrawRand() & 1)
        p.flags |= kParticleMirrorX;
    if (DrawRand() & 1)
        p.flags |= kParticleFlipY;
    p.colour = colour & 0x00FFFFFFu;
    return p;
}

} // namespace

bool ParticlePoolHasRoom(bool persistent)
{
    const ParticleManager* manager = Particles();
    return manager && manager->HasRoom(persistent, ParticleRole::Visual);
}

bool EmitParticle(const ParticleRequest& request)
{
    ParticleManager* manager = Particles();
    const bool simulation = (request.flags & (kParticleStamps | kParticleKept)) != 0 || IsMissileKind(request.kind);
    Particle* p = manager ? manager->AllocParticle(request.persistent,
                                                   simulation ? ParticleRole::Simulation : ParticleRole::Visual)
                          : nullptr;
    if (!p)
        return false;
    p->kind = request.kind;
    p->SetPosition(request.x, request.y, request.scale);
    p->vx = request.vx;
    p->vy = request.vy;
    p->vz = request.growth;
    p->gravity = request.gravity;
    p->flags = request.flags;
    p->flags2 = request.flags2;
    p->alpha = request.alpha;
    p->bounces = request.bounces;
    p->elasticity = request.elasticity;
    p->delay = request.delay;
    p->life = request.life;
    p->spin = request.spin;
    p->colour = request.colour & 0x00FFFFFFu;
    manager->CountParticle(*p);
    return p->alive != 0;
}

void AtomizeFlimbSprite(const Flimb& flimb, bool evenFrames, bool persistent, BashEmitter* emitter, int stepX,
                        int stepY)
{
    if (!PreviewRunning())
        AtomizeLand(&flimb, evenFrames, persistent, emitter, stepX, stepY);
}

void BreakOverlayIntoParticles(const Flimb& flimb)
{
    if (flimb.overlay && !PreviewRunning())
        SpawnFromAnimation(*flimb.overlay, float(flimb.x), float(flimb.y), flimb.scale, 0.0f, flimb.walkSpeed < 0,
                           nullptr);
}

void BurstNovaSprite(const Flimb& flimb, int pattern)
{
    if (PreviewRunning())
        return;
    // Outwards from the middle of the body.
    const float half = std::trunc(24.0f * flimb.scale);
    float cx = float(flimb.x), cy = float(flimb.y);
    switch (flimb.gravity & 3) {
    case 1: cy += half; break;
    case 2: cx += half; break;
    case 3: cx -= half; break;
    default: cy -= half; break;
    }
    AreaEffectParams burst(EmitBurst, cx, cy, 0.0f, 0.0f, 0.0f, flimb.gravity, 2, 2);
    burst.burstPattern = static_cast<uint8_t>(pattern);
    AtomizeLand(&flimb, true, false, &burst, 2, 2);
}

bool LaunchLopMissile(Flimb& flimb)
{
    return !PreviewRunning() && LaunchLop(flimb) != nullptr;
}

FlimbDustEmitter DustEmitterOf(const Flimb& flimb, BashEmitter::Callback callback)
{
    FlimbDustEmitter dust;
    dust.callback = callback;
    dust.visual = 1;
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
    DrawRandom().Seed(CurrentUpdateCounter() * static_cast<uint32_t>(x) + static_cast<uint32_t>(y));
    ParticleRequest p = DustAt(dust, x, y, colour);
    // 0..2 pixels per update away from the flimb along its walking axis.
    const float speed = static_cast<float>(DrawRand() % 3);
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
    const Landscape* land = ParticleLand();
    if (land && land->HitTestPoint(x, y - 3) == 0)
        normalAngle = 90;
    else if (land && land->HitTestPoint(x, y + 3) == 0)
        normalAngle = 270;
    else if (land && land->HitTestPoint(x - 3, y) == 0)
        normalAngle = 180;
    DrawRandom().Seed(CurrentUpdateCounter());
    for (int i = 0; i < 16; ++i) {
        ParticleRequest p;
        p.kind = 12;
        p.x = static_cast<float>(x + Range(-2, 2));
        p.y = static_cast<float>(y + Range(-2, 2));
        // 30..100 degrees from the surface, turned towards the open side.
        const int fromSurface = DrawRand() % 71 + 30;
        const int angle = normalAngle - 90 + fromSurface;
        p.vx = 4.0f * CosDeg(angle);
        p.vy = -4.0f * SinDeg(angle);
        p.growth = static_cast<float>(Range(3, 7)) / 100.0f;
        p.flags |= kParticlePhysical;
        p.flags2 |= kParticle2LightGravity;
        p.life = static_cast<uint16_t>(Range(2, 4));
        p.colour = i < 8 ? 0xB85C00u : 0xFFCCAAu;
        EmitParticle(p);
    }
    ParticleRequest smoke;
    smoke.kind = 12;
    smoke.x = static_cast<float>(x);
    smoke.y = static_cast<float>(y);
    smoke.flags |= kParticlePhysical;
    smoke.growth = -static_cast<float>(Range(5, 9)) / 100.0f;
    smoke.colour = 0xCCCCFFu;
    smoke.life = static_cast<uint16_t>(Range(3, 5));
    EmitParticle(smoke);
}
