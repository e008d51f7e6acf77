#pragma once
// The registration table of the trap factory. Each trap kind's class registers a maker for
// its kind id, usually with a static TrapKindRegistration in its own file, so that the
// factory (Trap::Create) makes kinds of folders it does not include (traps_flow/). A kind
// that registered nothing is made as a stand-in (traps/StandInTrap.h).
#include "traps/Trap.h"

#include <cstdint>
#include <memory>

using TrapMaker = std::unique_ptr<Trap> (*)();

// Registers (or replaces) the maker of a kind. False, and nothing registered, for 16, 30,
// 44 and ids outside 1..54.
bool RegisterTrapKind(int32_t kind, TrapMaker maker);
// Removes a kind's maker (tests); its traps are stand-ins again.
void UnregisterTrapKind(int32_t kind);
bool IsTrapKindRegistered(int32_t kind);
// True for the ids the factory makes a trap for: 1..54 but 16, 30 and 44.
bool IsMakeableTrapKind(int32_t kind);

struct TrapKindRegistration {
    TrapKindRegistration(int32_t kind, TrapMaker maker) { RegisterTrapKind(kind, maker); }
};
