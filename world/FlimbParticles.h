#pragma once
// What the flimbs ask of the particle pool (world/ParticleManager.h): single particles
// described by value, sprite break-ups, the Lop's missile (world/Missiles.h). None of the
// flimbs' particles stamps itself into the terrain, so all are the drawing's own: they are
// made only with full detail, draw from DrawRandom, and their emitters are marked visual so
// that a bash reseeds DrawRandom for them. Requests made while a copy of a flimb is stepped
// ahead of time (Quantum Time, a Spin's flight test) are dropped.
#include "world/BashTypes.h"
#include "world/Missiles.h"
#include "world/Particle.h"

#include <cstdint>

struct Flimb;

// One particle as the flimb code wants it.
struct ParticleRequest {
    uint8_t kind = 0;
    bool persistent = false; // from the persistent column of the pool
    float x = 0, y = 0;
    float vx = 0, vy = 0;
    float scale = 1.0f;
    float growth = 0.0f; // change of scale per update (the particle's vz)
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

// Whether the pool could take one of the flimbs' particles now (of the persistent column
// with persistent): false without full detail. Emitters ask first and do nothing, not even
// draw from the generator, when it cannot.
bool ParticlePoolHasRoom(bool persistent);
// Books one particle (in the simulation pool when it stamps, else in the visual one);
// false when none was made.
bool EmitParticle(const ParticleRequest& request);
// The flimb's current frame broken into particles (every stepX-th pixel of every stepY-th
// row, through the emitter when one is given), its overlay too.
void AtomizeFlimbSprite(const Flimb& flimb, bool evenFrames, bool persistent, BashEmitter* emitter, int stepX,
                        int stepY);
// The overlay the flimb stops wearing, broken into particles.
void BreakOverlayIntoParticles(const Flimb& flimb);
// The Nova's sprite burst: 0 an expanding cloud, 1 a fast ring, 2 a five-pointed star.
void BurstNovaSprite(const Flimb& flimb, int pattern);
// The Lop's missile (LaunchLop); false when none flies. SimulateLopThrow (world/Missiles.h)
// is the test throw of the computer-controlled combat.
bool LaunchLopMissile(Flimb& flimb);

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
// The emitter record of a flimb (a visual emitter).
FlimbDustEmitter DustEmitterOf(const Flimb& flimb, BashEmitter::Callback callback);
