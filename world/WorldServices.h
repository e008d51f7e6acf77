#pragma once
// The landscape and the particle pool as the program shell starts, steps and stops them.

// Creates the one landscape object and loads its shared graphics. Throws GameException.
void InitLandscape();
// Frees what InitLandscape made; safe when it never ran.
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
