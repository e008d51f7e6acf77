#pragma once
// The missiles of the particle pool: the Lop's thrown head (Missile), the ice missile that
// freezes the first flimb it meets into a frozen-flimb trap, and the fireball that burns a
// flimb or thaws a frozen one. Their particles live in the simulation pool.
#include "world/Particle.h"

#include <cstdint>

struct Flimb;
class Trap;

struct Missile {
    // The particle's death, then unless flags2 bit 0: the blast sound, a Lop crater (mask
    // 16) whose pixels scatter, the head broken into spray, the game mode told, and debris
    // where the crater reaches past a wall edge.
    static void Die(Particle& p, ParticleStep& step);
};

struct IceMissile {
    // The particle's update; then the first flimb in the world on its path other than its
    // owner is frozen into a frozen-flimb trap and the missile ends.
    static void Update(Particle& p, ParticleStep& step);
    // The particle's death; the ice sprite bursts into shards; the game mode is told.
    static void Die(Particle& p, ParticleStep& step);
};

struct Fireball {
    // The particle's update; then the first flimb on its path other than its owner burns
    // (type 19), else the first frozen-flimb trap whose rectangle holds it thaws.
    static void Update(Particle& p, ParticleStep& step);
    // The particle's death; its frame bursts through the receptacle emitter; the mode is told.
    static void Die(Particle& p, ParticleStep& step);
};

// The Lop's missile for a flimb: a persistent simulation particle of kind 4 + group,
// falling and moving physically, exploding on death, no bounces, thrown from
// trunc(15 x scale) ahead and trunc(35 x scale) up of the feet (turned to gravity) at 20
// ahead and 40 up (10 and 20 for a small flimb), spinning -10 or +10 degrees a update.
// Booked; null when the pool has no room.
Particle* LaunchLop(Flimb& flimb);
// Sets a particle up as that missile (nothing allocated or booked).
void SetUpLopMissile(Particle& p, const Flimb& flimb);
// A test throw with no delay and no explosion, flown ahead on a copy for up to 50 updates:
// where it comes down. False when it is still flying (or there is no landscape).
bool SimulateLopThrow(const Flimb& flimb, int32_t& x, int32_t& y);

// What an ice missile gives the frozen-flimb trap that takes a flimb's place.
struct FrozenFlimbSettings {
    float rotation = 0.0f; // the flimb's gravity as a trap rotation (down 0, right 90, up 180, left 270)
    int32_t energy = 0;
    uint8_t group = 0;
    int32_t facing = 1;  // +1 / -1 by the walking direction
    uint8_t frozen = 1;  // made by a freeze
    int32_t timer = 200;
    int32_t state = 2;
    float flimbSize = 1.0f;
    float x = 0.0f, y = 0.0f;
};

// The frozen-flimb traps (trap kind 17) as the missiles use them.
class FrozenFlimbTraps {
public:
    virtual ~FrozenFlimbTraps() = default;
    // Makes the trap with the settings, loads its graphics and registers it; null when none
    // can be made.
    virtual Trap* Freeze(const FrozenFlimbSettings& settings) = 0;
    // Sets the trap's thaw flag; a trap without a group (255) takes the group and reloads
    // its graphics.
    virtual void Thaw(Trap& trap, uint8_t ownerGroup) = 0;
};
// The frozen-flimb traps the missiles use: the installed ones (tests), else the game's, made
// by the trap factory (Trap::Create (17)) and set up through the trap base.
FrozenFlimbTraps* FrozenTraps();
// Installs others (null: the game's again).
void SetFrozenFlimbTraps(FrozenFlimbTraps* traps);
