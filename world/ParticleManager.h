#pragma once
// The particle pool of the game: owns the particles, advances them once per game update,
// writes the visible ones into one dynamic vertex buffer and draws them kind by kind, in a
// back pass (behind the terrain's front tiles) and a front pass.
//
// Two pools of 800 blocks x 50 slots: the simulation pool holds the particles that change
// the game (they stamp themselves into the terrain, or they are missiles) and is always
// kept; the visual pool holds everything else and keeps particles only while full detail
// ("enableparticles") is on. The simulation pool draws from SimRandom, the visual pool from
// DrawRandom: nothing the player's detail setting or frame rate decides reaches the game.
//
// Nothing is kept, updated or drawn while the particles switch is off: ResetPool (every
// level start) clears it and the match start sets it, alike in every game of a level.
//
// One manager is current (Particles()): the game's, made by InitParticles, or a test's.
// Main thread only.
#include "world/BashTypes.h"
#include "world/Particle.h"
#include "world/ParticlePool.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class BitmapBaseSurface;
class Landscape;
class RandomGenerator;
namespace gfx {
class Device;
class VertexBuffer;
} // namespace gfx

// Which pool a new particle belongs to.
enum class ParticleRole : uint8_t { Simulation, Visual };

// A quad corner as the vertex buffer holds it: position, diffuse colour, one texture
// coordinate (stride 24).
struct ParticleVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(ParticleVertex) == 24, "the particle vertex stride is 24 bytes");

class ParticleManager {
public:
    static constexpr int kVerticesPerParticle = 6;
    // Room for every slot of both pools.
    static constexpr uint32_t kVertexCapacity = 2u * ParticlePool::kSlots * kVerticesPerParticle;
    static constexpr int kColumns = ParticlePool::kColumns;

    ParticleManager();
    ~ParticleManager();
    ParticleManager(const ParticleManager&) = delete;
    ParticleManager& operator=(const ParticleManager&) = delete;

    // Allocates both pools (throws GameException "Couldn't allocate enough memory for the
    // particle buffer" when they cannot be had); with a graphics device it also loads the
    // 14 sprites, registers itself as a device object and creates the vertex buffer.
    void Init();
    // Empties both pools, clears the counters, the statistics and the particles switch.
    void ResetPool();
    // ResetPool, releases the sprites, frees the pools and the vertex buffer.
    void Shutdown();

    // A new particle of the pool (a copy of the template), or null: pool exhausted (see
    // ParticlePool::Alloc), particles switched off, or a visual particle without full detail.
    Particle* AllocParticle(bool persistent, ParticleRole role);
    // Whether AllocParticle would give a particle now.
    bool HasRoom(bool persistent, ParticleRole role) const;
    // Books a new particle: while the particles switch is on and it is kept (a simulation
    // particle always, a visual one with full detail) it is born now and counted; otherwise
    // it is dead from the start. Every emitter ends with this.
    void CountParticle(Particle& p);

    // One game update: Flush, then every live particle advances (simulation pool first) and
    // the visible ones are written as quads. Nothing while the switch is off.
    void Update();
    // Rewrites the quads of the particles as they are, advancing none.
    void RebuildVertices();
    // The back pass (particles with flags bit 0) and the front pass. In an in-between drawn
    // frame (the frame-skip switch, InBetweenFrame of world/ViewServices.h) the back pass
    // first rewrites the quads halfway to where each particle will be one update later,
    // worked out on a copy: drawing never advances the real particles.
    void Draw();
    void DrawFront();
    // Moves the partly filled current blocks of both pools to their active lists.
    void Flush();
    // Empties the saved particles and, when on, copies every live simulation particle.
    void Snapshot(bool on);
    const std::vector<Particle>& SavedParticles() const { return saved_; }

    // The particles switch.
    void SetEnabled(bool on) { enabled_ = on; }
    bool IsEnabled() const { return enabled_; }
    // Full detail: the console variable "enableparticles".
    static bool FullDetail();

    // The landscape particles move in and stamp into: the game's unless one is set.
    void SetLandscape(Landscape* land) { land_ = land; }
    Landscape* Land() const;

    // Statistics of the last update: live particles of each pool, quads written.
    int32_t LiveSimulationParticles() const { return liveSimulation_; }
    int32_t LiveVisualParticles() const { return liveVisual_; }
    int32_t DrawnParticles() const { return drawn_; }
    uint32_t PersistentAllocations() const;
    // Quads written to a column (kind x 2 + back bit) and its first vertex.
    int32_t ColumnVertices(int column) const { return written_[size_t(column)] * kVerticesPerParticle; }
    uint32_t ColumnFirstVertex(int column) const { return first_[size_t(column)]; }

    ParticlePool& SimulationPool() { return simulation_; }
    ParticlePool& VisualPool() { return visual_; }
    const ParticlePool& SimulationPool() const { return simulation_; }
    const ParticlePool& VisualPool() const { return visual_; }
    // The pool a particle lives in (null for one of neither).
    ParticlePool* PoolOf(const Particle* p);
    // The step an update of the pool's particles runs with.
    ParticleStep StepFor(ParticlePool& pool);

    // The simulation particles and the switch, for the world state hash.
    uint64_t SimulationHash() const;

    // The pixels of a kind's sprite sheet (decoded once, for break-ups); null when missing.
    const BashMask* SpritePixels(int kind);

    // The vertex buffer (null without a device).
    gfx::VertexBuffer* VertexBuffer() const { return vertexBuffer_; }

    // As a device object (registered by Init): the vertex buffer is released when the
    // device is lost and made again (and rewritten) after the reset.
    void OnDeviceLost();
    void OnDeviceRestored();

private:
    struct QuadPass;
    void CreateVertexBuffer();
    void ReleaseVertexBuffer();
    void LoadSprites();
    void ReleaseSprites();
    // Advances (advance) and writes the quads (or only writes them, halfway ahead with
    // halfway); the statistics are kept on an advancing pass.
    void Pass(bool advance, bool halfway);
    void SetDrawStates(gfx::Device* device);
    void DrawColumns(int backBit);

    ParticlePool simulation_;
    ParticlePool visual_;
    class DeviceLink;
    std::unique_ptr<DeviceLink> deviceLink_;
    std::array<std::unique_ptr<BitmapBaseSurface>, kParticleKindCount> sprites_;
    std::array<BashMaskPtr, kParticleKindCount> spritePixels_;
    gfx::VertexBuffer* vertexBuffer_ = nullptr;
    Landscape* land_ = nullptr;
    bool enabled_ = false;
    std::vector<Particle> saved_;
    std::array<uint32_t, kColumns> first_{};
    std::array<int32_t, kColumns> written_{};
    int32_t liveSimulation_ = 0;
    int32_t liveVisual_ = 0;
    int32_t drawn_ = 0;
};

// The current particle manager (null when there is none).
ParticleManager* Particles();
// Makes a manager current (null: none).
void SetCurrentParticles(ParticleManager* manager);

// Makes a manager current for the object's life, then the previous one again.
class ScopedParticles {
public:
    explicit ScopedParticles(ParticleManager& manager);
    ~ScopedParticles();
    ScopedParticles(const ScopedParticles&) = delete;
    ScopedParticles& operator=(const ScopedParticles&) = delete;

private:
    ParticleManager* previous_;
};

// The generator particles of a role draw from: SimRandom or DrawRandom.
RandomGenerator& ParticleRandom(ParticleRole role);
// The landscape particles use: the current manager's, else the game's.
Landscape* ParticleLand();
// The width of one universe of the landscape: the whole width, or in the Multiverse match
// the width divided by the universes (ParticleUniverses).
int32_t ParticleUniverseWidth(const Landscape* land);
// Universes of the Multiverse match: the enabled groups (two while no game runs, at least
// one); 1 in every other mode.
int32_t ParticleUniverses();
