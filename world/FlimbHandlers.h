#pragma once
// The behaviour of each flimb type: one handler per type, run by Flimb::Update in every
// movement step while the flimb is in the world.
#include "world/Flimb.h"

#include <array>

// Walking and floating (world/FlimbWalkers.cpp).
void WalkHandler(Flimb& flimb);
void FallHandler(Flimb& flimb);
void StunHandler(Flimb& flimb);
void PuffHandler(Flimb& flimb);
void SpinHandler(Flimb& flimb);
void GraviturnHandler(Flimb& flimb);
void SpawnHandler(Flimb& flimb);
void EntangleHandler(Flimb& flimb);
void CopySpawnHandler(Flimb& flimb);
// Digging and building (world/FlimbDiggers.cpp).
void ClobHandler(Flimb& flimb);
void GulpHandler(Flimb& flimb);
void DrillHandler(Flimb& flimb);
void MoldHandler(Flimb& flimb);
void DoppelHandler(Flimb& flimb);
// Ends and throws (world/FlimbEnds.cpp).
void NovaHandler(Flimb& flimb);
void LopHandler(Flimb& flimb);
void AtomizeHandler(Flimb& flimb);
void SquishHandler(Flimb& flimb);
void DrownHandler(Flimb& flimb);
void ShockHandler(Flimb& flimb);
void SplatHandler(Flimb& flimb);
void BurnHandler(Flimb& flimb);

// The game's table, indexed by type.
const std::array<FlimbTypeHandler, kFlimbTypeCount>& DefaultFlimbTypeHandlers();

// The Nova's blast (exposed for its tests): crater, notifications, chain reaction, the
// Doppels near it and the push of the flimbs around it.
void ExplodeNova(Flimb& flimb);
