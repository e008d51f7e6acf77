#pragma once
// The game controller's player list and session kind for tests whose translation unit also
// includes the game modes (the controller's header and the modes' both declare a
// `GroupStats`, so such a test cannot include both).

// Back to a fresh controller (no players, local session).
void ResetControllerPlayers();
// Appends a player record in the next slot; `local` makes it the local player.
void AddControllerPlayer(int team, bool spectator, bool local);
// Appends an empty slot.
void AddFreeControllerSlot();
void SetControllerSessionNetworked(bool networked);
