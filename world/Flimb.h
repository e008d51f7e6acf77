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
struct BashMask;
struct DecorationSet;

// The frame an animation draws: count, size and hot spot (all 1 x 1 at least).
struct FrameLayout {
    int32_t count;
    int32_t width;
    int32_t height;
    int32_t hotX;
    int32_t hotY;
};
// The frame drawn when a flimb has no animation: 32 x 48, hot spot at the feet.
constexpr FrameLayout kFallbackFrame{1, 32, 48, 16, 46};

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
    // A group above 7 or a gravity above 3 (level files, network) is refused with a log
    // line and taken as 0; a type above 21 is refused the same way and taken as Walk.
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
    // Shows the overlay of the worn decoration for the type and animation (loaded on first
    // use); an overlay that goes away breaks into particles.
    void PlayMorphEffect();
    // The frame layout of the current animation; a fixed 32 x 48 frame without one.
    FrameLayout Layout() const;
    // The rectangle traps and other flimbs test against, in landscape pixels.
    gfx::RECT GetCurrentSprite() const;

    // --- Orders and type changes (world/FlimbTypeChange.cpp) ------------------------------
    // Every type change goes through here (traps, modes, the editor, commands). Refused
    // while falling for orders that may not start then, out of a final type, and (but for
    // final types) for a Doppel. quiet suppresses every sound; anim picks the animation. A
    // type above 21 logs "WARNING: FLIMB type not defined!" and changes nothing.
    void SetType(uint8_t newType, bool quiet = false, int anim = 0);
    // Selection is the local player's choice: flags bit 1 only (and the linked flimb's with
    // alsoLinked). A followed, alive flimb that loses it stops being followed.
    void SetSelected(bool on, bool alsoLinked);

    // --- The per-update step (world/FlimbStep.cpp) ----------------------------------------
    // The per-update step: pending type and queued action, steering, movement steps with
    // their type handler, boost, leaving the landscape and the name tag.
    void Update();
    // frame + 1 (26-frame sheets hold pairs: the odd in-between frames are skipped); back
    // to 0 at the frame count.
    void AdvanceFrame();
    // steerKeys from a key press or release of the positive or negative side.
    void SetSteerKey(bool pressed, bool positive);
    // +1, -1 or 0 from steerKeys; both keys: the one pressed last.
    int SteerDirection() const;
    // Places the name tag over the flimb; a tag whose panel has closed is deleted.
    void PlaceTag();

    // --- Terrain and motion (world/FlimbMotion.cpp) ---------------------------------------
    // The predefined brush of the flimb's size class (or `size` when 0..3) and gravity
    // (flip: mirrored in the flimb's own frame), built once into the landscape's cache;
    // null without one.
    const BashMask* GetBrushMask(int brush, bool flip, int size = -1) const;
    // The material at the feet plus (dx, dy) turned to the gravity direction.
    uint8_t ProbeTerrain(int dx, int dy) const;
    // Steered flimbs: ground (not 0, 8 or 9) under any of five probes below the feet.
    bool IsSupported() const;
    // The point trunc(27 x scale) above the feet against gravity.
    void GetTopPoint(int32_t& px, int32_t& py) const;
    void Jump();
    void Land(bool stop, bool settle);
    void StepJump();
    void ApplyPush();
    // Moves by (dx, dy) pixel by pixel while the body fits; bit 0 x blocked, bit 1 y.
    int MoveWithCollision(int dx, int dy);
    void DecayPush();
    // Up to |walkSpeed| pixels along the floor: kNoFoothold, kWall, kWalked or kFatalFall.
    int WalkStep();
    void CheckFall();
    // Climbs onto the brick a Mold just laid.
    void StepUp();
    // A splat sinks: splatHeight goes down.
    void Sink();
    void Splat();
    // Stamps (true) or clears (false) a Doppel's block in the landscape.
    void DigAt(bool stamp);
    // True when a hover trap carries this flimb.
    bool IsOverTrapKind() const;

    // --- Computer control (world/FlimbCombat.cpp) -----------------------------------------
    void CheckEnemies();

    // --- Drawing (world/FlimbDraw.cpp) ----------------------------------------------------
    // Draws the flimb in the current view; nothing while it is not in the world. Reads the
    // record only.
    void Draw() const;

    bool IsFree() const { return (flags & kFlimbFree) != 0; }
    bool InWorld() const { return (flags & kFlimbInWorld) != 0; }
    bool IsAlive() const { return (flags & kFlimbAlive) != 0; }
    bool IsSelected() const { return (flags & kFlimbSelected) != 0; }
};

// WalkStep's results.
enum WalkResult : int { kNoFoothold = 0, kWall = 1, kWalked = 2, kFatalFall = 3 };

static_assert(std::is_trivially_copyable_v<Flimb>, "flimb records are copied whole");

// The behaviour of one type, run by Flimb::Update. The table starts with the game's
// handlers (world/FlimbHandlers.h); tests may put their own in and restore the defaults.
using FlimbTypeHandler = void (*)(Flimb& flimb);
void SetFlimbTypeHandler(uint8_t type, FlimbTypeHandler handler);
FlimbTypeHandler GetFlimbTypeHandler(uint8_t type);
void ResetFlimbTypeHandlers();

// The group's colour (ARGB) in group order: blue, green, red, grey, white, yellow, orange,
// purple; white past group 7.
uint32_t FlimbGroupColour(uint8_t group);

// Deletes the flimb's name tag and clears the reference.
void DestroyFlimbTag(Flimb& flimb);
