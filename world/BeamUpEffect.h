#pragma once
// The beam-up effect beside an exit that took a flimb: a column of sparks rising from the
// point and fading out. Its particles are the drawing's own (the visual pool, full detail
// only); they are made from DrawRandom seeded with update counter x X + Y, so every game
// shows the same sparks and the simulation generator is never touched.
#include <cstdint>

constexpr int kBeamUpSparks = 24;

// Returns the number of sparks made (0 when the particles are off or the pool is full).
int SpawnBeamUpEffect(float x, float y);
