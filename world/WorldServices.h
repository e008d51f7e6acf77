#pragma once
// The landscape and the particle pool as the program shell starts, steps and stops them.

// Creates the game's landscape (GameLandscape, world/Landscape.h) and sets it up for the
// program's life (Landscape::InitGlobal). Throws GameException.
void InitLandscape();
// Landscape::ShutdownGlobal and frees it; safe when InitLandscape never ran.
void ReleaseLandscape();
bool LandscapeExists();

// Allocates the particle buffer. Throws GameException when it cannot be allocated.
void InitParticles();
void ReleaseParticles();
// Advances every live particle by one game update.
void UpdateParticles();
void RebuildParticleVertices();
int LiveParticleCount();

// Set when the particles' vertex data must be rebuilt after their update.
extern bool particleRebuild;
