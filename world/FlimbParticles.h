#pragma once
// What the flimbs ask of the particle pool: single particles described by value, sprite
// break-ups, the Lop's missile. The pool comes with the particles; until it exists it is
// empty, so every request makes nothing ("missiles and debris simply do not appear") and
// the flimbs go on as the rules say. Requests made while a copy of a flimb is stepped ahead
// of time (Quantum Time, a Spin's flight test) are dropped.
#include "world/BashTypes.h"

#include <cstdint>

struct Flimb;

// Particle flag bits (the particle record's two flag bytes).
enum : uint8_t {
    kParticleBack = 1,       // drawn behind the terrain's front tiles
    kParticleFalls = 2,
    kParticlePhysical = 4,   // velocity, collisions and bounces
    kParticleStamps = 8,     // stamped into the landscape when it dies
    kParticleSlowBounce = 16,
    kParticleMirrorX = 32,
    kParticleFlipY = 64,
    kParticleKept = 128,
};
enum : uint8_t {
    kParticle2NoExplosion = 1,
    kParticle2StampMode = 2,
    kParticle2LightGravity = 4,
    kParticle2DiesFaded = 64,
};

// One particle as the flimb code wants it.
struct ParticleRequest {
    uint8_t kind = 0;
    bool persistent = false; // from the persistent column of the pool
    float x = 0, y = 0;
    float vx = 0, vy = 0;
    float scale = 1.0f;
    float growth = 0.0f; // change of scale per update
    uint8_t gravity = 0;
    uint8_t flags = 0;
    uint8_t flags2 = 0;
    uint8_t alpha = 255;
    uint8_t bounces = 0;
    uint8_t elasticity = 0x55;
    uint8_t delay = 1;
    uint16_t life = 0; // updates, 0 unlimited
    float spin = 0;    // degrees per update
    uint32_t colour = 0x00FFFFFF;
};

// Whether the pool could take a particle now (of the persistent column with persistent).
// Emitters ask first and do nothing, not even draw from the generator, when it cannot.
bool ParticlePoolHasRoom(bool persistent);
// Books one particle; false when none was made.
bool EmitParticle(const ParticleRequest& request);
// The flimb's current frame broken into particles (every stepX-th pixel of every stepY-th
// row, through the emitter when one is given), its overlay too.
void AtomizeFlimbSprite(const Flimb& flimb, bool evenFrames, bool persistent, BashEmitter* emitter, int stepX,
                        int stepY);
// The overlay the flimb stops wearing, broken into particles.
void BreakOverlayIntoParticles(const Flimb& flimb);
// The Nova's sprite burst: 0 an expanding cloud, 1 a fast ring, 2 a five-pointed star.
void BurstNovaSprite(const Flimb& flimb, int pattern);
// The Lop's missile; false when none flies.
bool LaunchLopMissile(Flimb& flimb);
// A test throw without explosion: where the missile would come down within 50 updates.
// False when no missile can be simulated.
bool SimulateLopThrow(const Flimb& flimb, int32_t& x, int32_t& y);

// --- The flimbs' own emitters ------------------------------------------------------------
// The record the digging and exploding callbacks read.
struct FlimbDustEmitter : BashEmitter {
    int32_t x = 0, y = 0; // the flimb's feet
    uint8_t gravity = 0;
    int8_t walkSign = 1;  // the world sign of the flimb's walking axis
    bool walksAlongX = true;
    float vx = 0, vy = 0; // the velocity handed on (NovaDust)
};
// Callbacks of a removing bash (Part of the flimb behaviour): one particle of kind 0 at
// the removed pixel in its colour.
void ClobDust(BashEmitter& emitter, int x, int y, uint32_t colour);
void GulpDust(BashEmitter& emitter, int x, int y, uint32_t colour);
void NovaDust(BashEmitter& emitter, int x, int y, uint32_t colour);
void NovaFountain(BashEmitter& emitter, int x, int y, uint32_t colour);
// 16 sparks and a puff of smoke thrown from a surface point towards its open side.
void ThrowDebris(int32_t x, int32_t y);
// The emitter record of a flimb.
FlimbDustEmitter DustEmitterOf(const Flimb& flimb, BashEmitter::Callback callback);
