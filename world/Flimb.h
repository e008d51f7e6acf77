#pragma once
// The record of one flimb. Every flimb of a level is one fixed-size record in the world's
// flimb table; records are plain values that the world copies whole (saved flimbs, the
// Quantum Time preview), so the record holds no owning objects: its tag is a raw pointer
// that the table code deletes when the flimb is removed or the table cleared.
#include "platform/gfx/D3DTypes.h"

#include <cstdint>
#include <string_view>
#include <type_traits>

class AnimSurface;
class Primitive;
struct DecorationSet;

// Flimb types: the index is the type number, the name how levels, traps and modes name it.
enum FlimbType : uint8_t {
    kClob = 0,
    kMold = 1,
    kNova = 2,
    kDrill = 3,
    kGulp = 4,
    kDoppel = 5,
    kPuff = 6,
    kSpin = 7,
    kAtomize = 8,
    kLop = 9,
    kWalk = 10,
    kSquish = 11,
    kDrown = 12,
    kFall = 13,
    kShock = 14,
    kStun = 15,
    kSplat = 16,
    kGraviturn = 17,
    kSpawn = 18,
    kBurn = 19,
    kEntangle = 20,
    kCopySpawn = 21,
};
constexpr int kFlimbTypeCount = 22;
constexpr uint8_t kNoType = 255;
// The type's name ("Clob" ... "CopySpawn"); "" outside the table.
const char* FlimbTypeName(int type);

// flags
enum : uint8_t {
    kFlimbFree = 1,
    kFlimbSelected = 2,
    kFlimbInWorld = 4,
    kFlimbAlive = 8,
    kFlimbFreshType = 16,
    kFlimbFuseLit = 32,
    kFlimbGulpVariant = 64,
};
// flags2
enum : uint8_t { kFlimbSaved = 1, kFlimbJumping = 2 };
// attributes
enum : uint8_t {
    kAttrNovaFuse = 1,
    kAttrNoPuff = 2,
    kAttrMarked = 4,
    kAttrQuietEnd = 8,
    kAttrCounted = 16, // also: a fall heading for a splat
    kAttrSureFooted = 64,
    kAttrSteered = 128,
};

constexpr int32_t kFlimbStartEnergy = 13023;

struct Flimb {
    uint8_t flags;
    uint8_t flags2;
    uint8_t type;
    uint8_t pendingType;
    uint8_t queuedAction;
    uint8_t queuedDelay;
    uint8_t attributes;
    int8_t walkSpeed;
    uint8_t steerKeys;
    int8_t turnSign;
    int8_t frame;
    uint8_t fuse;
    int8_t counter;
    uint16_t typeAge;
    uint8_t anim;
    uint8_t gravity;
    uint8_t stepsPerUpdate;
    int8_t cooldown;
    uint8_t rise;
    uint8_t group;
    uint8_t alpha;
    uint8_t autoBehaviour;
    uint8_t splatHeight;
    int16_t id;
    uint16_t fallDistance;
    uint16_t boostLeft;
    int16_t angle;
    int16_t linkedId;
    int16_t x;
    int16_t y;
    int16_t prevX;
    int16_t prevY;
    int16_t targetX;
    int16_t targetY;
    int16_t pushX;
    int16_t pushY;
    int16_t jumpVX;
    int16_t jumpVY;
    float drawScaleX;
    float drawScaleY;
    int32_t energy;
    float scale;
    AnimSurface* animation;    // group-coloured, not owned
    DecorationSet* overlaySet; // the decoration the flimb wears, null for none; not owned
    AnimSurface* overlay;      // the overlay shown now, not owned
    Primitive* tag;            // name tag panel, owned

    // The defaults of a fresh record: flags 0x5C, flags2 keeps bit 7, no type, no pending
    // type or queued action, linkedId -1, energy 13023, scales 1.0, walkSpeed 3,
    // stepsPerUpdate 1, typeAge 5, alpha 255, everything else 0.
    void Init();
    // Position (also the previous one), id, group, type, gravity, energy and behaviour.
    // facing > 0 walks right (+3), < 0 left (-3); 0 faces the middle of the group's first
    // open exit (else of the landscape). A type other than kNoType selects animation 0.
    void Setup(int16_t x, int16_t y, int16_t id, uint8_t group, uint8_t type, uint8_t gravity, int32_t energy,
               uint8_t autoBehaviour, int facing);
    // Case-insensitive index in the type table; kWalk for an unknown name.
    static uint8_t TypeFromName(std::string_view name);
    // Sets one attribute bit (a value of the attribute table). Other values are logged as
    // "WARNING: FLIMB attr not defined!" and set all the same. A set bit stays as it is.
    void SetAttribute(uint8_t bit);
    // 0 below scale 0.75, 1 below 1.5, 2 below 2.5, else 3.
    int SizeClass() const;
    // Animation `anim` (0..4) of the type in the group's colours; frame is kept when
    // negative. Updates the overlay the flimb wears.
    void SetGroupAnimation(int anim, int frame);
    // The rectangle traps and other flimbs test against, in landscape pixels.
    gfx::RECT GetCurrentSprite() const;
    // The per-update step (the type behaviour: the type handler table).
    void Update();
    // Stamps (true) or clears (false) a Doppel's block in the landscape.
    void DigAt(bool stamp);

    bool IsFree() const { return (flags & kFlimbFree) != 0; }
    bool InWorld() const { return (flags & kFlimbInWorld) != 0; }
    bool IsAlive() const { return (flags & kFlimbAlive) != 0; }
    bool IsSelected() const { return (flags & kFlimbSelected) != 0; }
};

static_assert(std::is_trivially_copyable_v<Flimb>, "flimb records are copied whole");

// The behaviour of one type, run by Flimb::Update. The table is empty until the flimb
// behaviour fills it; an empty entry does nothing.
using FlimbTypeHandler = void (*)(Flimb& flimb);
void SetFlimbTypeHandler(uint8_t type, FlimbTypeHandler handler);
FlimbTypeHandler GetFlimbTypeHandler(uint8_t type);

// Deletes the flimb's name tag and clears the reference.
void DestroyFlimbTag(Flimb& flimb);
