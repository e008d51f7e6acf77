#pragma once
// The landscape and the particle pool as the program shell starts, steps and stops them,
// and what the world state asks of the landscape.
#include <cstdint>

class Primitive;

// Creates the game's landscape (GameLandscape, world/Landscape.h) and sets it up for the
// program's life (Landscape::InitGlobal). Throws GameException.
void InitLandscape();
// Landscape::ShutdownGlobal and frees it; safe when InitLandscape never ran.
void ReleaseLandscape();
bool LandscapeExists();

// The landscape's part of the world state hash: its checksum and a hash of every material
// map and tile colour. 0 while there is no terrain.
uint64_t LandscapeStateHash();
// The landscape's size in pixels (0 while there is no terrain).
int32_t LandscapeWidth();
int32_t LandscapeHeight();
// Drops the primitives stamped into the landscape (after the match start's stamping).
void ClearLandscapePrimitives();
// Adds a GUI element (an annotation) as a child of the landscape panel.
void AddLandscapeChild(Primitive* child);
// A debugging particle (kind 1, scale 2.0) at a world point: the drawing's own.
void SpawnDebugParticle(int32_t x, int32_t y, uint32_t colour);
// Bursts a frame of an image into particles at a world point (a used-up pickup) through the
// receptacle emitter: every second pixel of every second row, the direction as the
// particles' gravity, untinted grey, scaled. Nothing without an image.
class AnimSurface;
void SpawnParticlesFromImage(AnimSurface* image, int frame, int32_t x, int32_t y, uint8_t direction, float scaleX,
                             float scaleY);

// The game's particle pool (world/ParticleManager.h), made current by InitParticles.
// Allocates the particle buffer and loads the sprites. Throws GameException ("Couldn't
// allocate enough memory for the particle buffer") when the buffer cannot be had.
void InitParticles();
void ReleaseParticles();
// Advances every live particle by one game update (nothing while particles are off).
void UpdateParticles();
// Rewrites the particles' vertex data without advancing them; clears particleRebuild.
void RebuildParticleVertices();
// The live simulation particles after the last update: the particles that count for the
// game (the drawing's own are left out, so detail never changes a match's end).
int ParticleCount();
// Empties the pool and switches particles off (every level start and restart).
void ResetParticles();
// The particles switch: set by the match start.
void SetParticlesEnabled(bool on);
// The simulation particles' part of the world state hash (0 without a pool).
uint64_t SimulationParticlesHash();

// Set when the particles' vertex data must be rebuilt after their update (a device reset).
extern bool particleRebuild;
