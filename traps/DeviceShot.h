#pragma once
// The missile a manned device fires: an ice missile or a fireball, a simulation particle
// that flies from a start point at a fixed velocity, bounces as often as it is told and
// spares the flimb that fired it.
#include "world/Particle.h"

#include <cstdint>

struct Flimb;

struct DeviceShot {
    ParticleBehaviour behaviour = ParticleBehaviour::IceMissile; // IceMissile or Fireball
    Flimb* shooter = nullptr;                                    // never hit by its own shot
    uint8_t gravity = 0;
    uint8_t bounces = 0;
    float spin = 0.0f; // degrees per update
    int32_t x = 0, y = 0;
    float vx = 0.0f, vy = 0.0f;
};

// The ice missile's spin: -60 .. -31 degrees per update from the simulation generator.
float IceMissileSpin();
// Launches the shot (counted in the particle statistics); null when the pool has no room.
Particle* FireDeviceShot(const DeviceShot& shot);
// Whether a shot could be had from the pool now.
bool DeviceShotHasRoom();
