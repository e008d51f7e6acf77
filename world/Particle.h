#pragma once
// One particle of the particle pool: dust, debris, drops, shards, the splinters of a broken
// sprite, and the missiles (Lop heads, ice missiles, fireballs), which are particles with an
// update or death of their own.
//
// Particles are plain records that the pool copies whole; a new one is a copy of the
// template (the member defaults below). The behaviour byte picks the update and death a
// particle runs, as a virtual table would: Particle::Update and Particle::Die for plain
// particles, Missile::Die, IceMissile::Update/Die and Fireball::Update/Die for the missiles
// (world/Missiles.h).
//
// Simulation and drawing: particles that change the game (those that stamp themselves into
// the terrain, flags bit 3 or 7, and the missiles) live in the simulation pool and draw from
// SimRandom; all others are the drawing's own, live in the visual pool and draw from
// DrawRandom, so the detail setting never changes the game.
#include <cstdint>
#include <type_traits>

struct Flimb;
class Landscape;
class ParticlePool;
class RandomGenerator;

// flags
enum : uint8_t {
    kParticleBack = 1,        // drawn by the back pass, behind the terrain's front tiles
    kParticleFalls = 2,       // pulled by gravity
    kParticlePhysical = 4,    // velocity, collisions and bounces (else the wave motion)
    kParticleStamps = 8,      // stamped into the landscape when it dies
    kParticleSlowBounce = 16, // loses speed faster on bounces
    kParticleMirrorX = 32,
    kParticleFlipY = 64,
    kParticleKept = 128,      // kept in reduced detail and stamped when it dies
};
// flags2
enum : uint8_t {
    kParticle2NoExplosion = 1, // missiles: no explosion on death; stamping: brick materials
    kParticle2StampMode = 2,   // with kParticle2NoExplosion: material 17 instead of 7
    kParticle2LightGravity = 4,
    kParticle2FixedX = 8,
    kParticle2FixedY = 16,
    kParticle2FixedZ = 32,
    kParticle2DiesFaded = 64,
    kParticle2Uncounted = 128,
};

enum class ParticleBehaviour : uint8_t { Plain = 0, Missile = 1, IceMissile = 2, Fireball = 3 };

constexpr uint16_t kNoParticleLimit = 65535;

// What one particle's update or death works with. The manager fills it per pool.
struct ParticleStep {
    Landscape* land = nullptr;       // collisions, edges and stamping (null: open space)
    ParticlePool* pool = nullptr;    // the particle's pool: its kind counters
    RandomGenerator* random = nullptr; // the pool's generator
    uint32_t updateCounter = 0;
    // The particle's universe: the landscape's width, or one universe's in the Multiverse
    // match; the height is the landscape's.
    int32_t universeWidth = 0;
    // A look-ahead copy (frame-skip drawing, a test throw): it moves, but its death and its
    // encounters change nothing outside the copy.
    bool lookAhead = false;
};

struct Particle {
    uint32_t alive = 1;
    uint8_t skip = 1; // slots to the next live particle of its block (kept by the update pass)
    uint8_t flags = 0;
    uint8_t flags2 = kParticle2NoExplosion | kParticle2DiesFaded;
    int8_t fade = 0; // alpha change per update
    uint8_t kind = 0;
    uint8_t alpha = 255;
    uint8_t stickCount = 0; // contacts it survives before it stops
    uint8_t bounces = 0;
    uint8_t delay = 1; // updates after its birth before it starts moving
    uint8_t elasticity = 0x55; // bounce strength in percent, minus 5
    uint8_t gravity = 0;       // 0 down, 1 up, 2 left, 3 right
    uint8_t frame = 0;
    uint16_t maxY = kNoParticleLimit;
    uint16_t maxX = kNoParticleLimit;
    uint16_t life = 0; // updates, 0 unlimited
    uint16_t born = 0; // update counter at its birth, modulo 65,536
    uint16_t age = 0;  // updates since it started moving, modulo 65,536
    float x = 512.0f, y = 512.0f, z = 1.0f; // z: the drawing scale
    float vx = 0.0f, vy = 1.0f, vz = 0.0f;
    float ax = 0.0f, ay = 0.0f, az = 0.0f;
    uint32_t colour = 0x00FFFFFF; // RGB; the alpha field is the alpha
    float spin = 0.0f;  // degrees per update
    float angle = 0.0f; // degrees, within -360 .. 360
    float waveX = 0.0f, waveY = 0.0f, waveZ = 0.0f;
    float ampX = 0.0f, ampY = 0.0f, ampZ = 0.0f;
    float baseX = 0.0f, baseY = 0.0f, baseZ = 0.0f;
    Flimb* owner = nullptr; // the flimb that threw a missile (not owned)
    int32_t offsetX = 0, offsetY = 0; // the origin of its universe in the landscape
    ParticleBehaviour behaviour = ParticleBehaviour::Plain;

    // Position and drawing scale. In the Multiverse match the landscape is cut into one
    // universe per enabled group (two while no game runs, one when no group is enabled):
    // the particle keeps the left edge of the universe it starts in as offsetX and its x
    // relative to it.
    void SetPosition(float px, float py, float scale);
    // Its point in the landscape.
    float WorldX() const { return x + static_cast<float>(offsetX); }
    float WorldY() const { return y + static_cast<float>(offsetY); }

    // One update by the behaviour: Particle::Update for plain particles and Lop heads.
    void Update(ParticleStep& step);
    // Its end by the behaviour.
    void Die(ParticleStep& step);

    // The plain particle's update and death, which the missiles build on.
    void UpdatePlain(ParticleStep& step);
    void DiePlain(ParticleStep& step);

    // Whether it changes the game: it stamps (flags bit 3 or 7) or it is a missile.
    bool IsSimulation() const;
    // The material its death stamps: 1 for a kept particle without flags2 bit 0, 7 or 17
    // (flags2 bit 1) with it, 0 (removal) for a stamping one; -1 when it stamps nothing.
    int StampMaterial() const;
};

static_assert(std::is_trivially_copyable_v<Particle>, "particles are copied whole");

// The template every new particle starts as.
inline const Particle kTemplateParticle{};
