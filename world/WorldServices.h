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
// A debugging particle (kind 1, scale 2.0) at a world point.
void SpawnDebugParticle(int32_t x, int32_t y, uint32_t colour);
// Bursts a frame of an image into particles at a world point (a used-up pickup): spread 2
// and 2, towards the direction, untinted, scaled. Nothing until the particle pool spawns.
class AnimSurface;
void SpawnParticlesFromImage(AnimSurface* image, int frame, int32_t x, int32_t y, uint8_t direction, float scaleX,
                             float scaleY);

// Allocates the particle buffer. Throws GameException when it cannot be allocated.
void InitParticles();
void ReleaseParticles();
// Advances every live particle by one game update.
void UpdateParticles();
void RebuildParticleVertices();
int LiveParticleCount();

// Set when the particles' vertex data must be rebuilt after their update.
extern bool particleRebuild;
