#pragma once
// One world update: what the game session runs for every executed update command.

// Game time moves on by 71 ms, then in this order: the flimbs, the traps, the particle
// pool, the game mode's step, then `beforeCount` (the shell's open popup) and the update
// counter + 1. Every "statehash" updates the world state hash is written to the log.
void UpdateWorld(void (*beforeCount)() = nullptr);
