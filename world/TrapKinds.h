#pragma once
// The trap kinds: the type name of each kind id 0..54 (how level files name the kind, and
// the kind's element in the trap specs) and its constant switches.
#include <cstdint>

struct TrapKindTraits {
    uint8_t updated;             // UpdateTraps runs its traps
    uint8_t contact;             // the Quantum Time preview tests its traps
    uint8_t notified_of_removal; // told of every trap UpdateTraps destroys
    uint8_t layered;             // enters the draw list (others only in god modes)
    uint8_t rotatable;
    uint8_t scalable;
    uint8_t tintable;
    uint8_t audible_option;
    uint8_t can_fall;
    uint8_t pickup_capable;
    uint8_t match_editable; // shown on the in-match "Level Modification" screen
    uint8_t extra_pass;     // gets its ExtraPass before the front draw layer
};

constexpr int kTrapKindTableSize = 55;
enum : int32_t {
    kTrapAnnotation = 3,
    kTrapMushbomb = 13,
    kTrapFrozenFlimb = 17,
    kTrapParticle = 19,
    kTrapCamera = 20,
    kTrapStart = 21,
    kTrapExit = 22,
    kTrapHover = 29,
    kTrapCopier = 46,
};

// The switches of a kind; all zero for an id outside 0..54.
const TrapKindTraits& KindTraits(int32_t kind);
// The kind's type name ("Undefined", "Teleport" ... "Checkpoint"); "" outside 0..54.
const char* TrapTypeName(int32_t kind);
