#pragma once
// The flimb belt's rules as pure functions: the slot and sector tables, the radii, the
// pointer's zone and sector, slot availability, and the press / release flow that decides
// when a slot is chosen and when the belt closes.
#include <array>
#include <cstdint>

constexpr int kBeltSlots = 12;
constexpr uint8_t kBeltNoHover = 255;
constexpr uint8_t kBeltNoChoice = 128;
constexpr uint8_t kBeltGulpUp = 132; // Gulp with bit 7: the Gulp-up variant
constexpr int kMorphNone = 0;
constexpr int kMorphUnlimited = 199;
constexpr int kMorphNotAllowed = 200;

struct BeltSlot {
    uint8_t code;       // low four bits: the flimb type; bit 7: Gulp up
    const char* sprite; // the animation of the "belt" sprite sheet
    int degrees;        // clockwise from the right, y down
};
// In drawing order.
extern const std::array<BeltSlot, kBeltSlots> kBeltSlotTable;
// Pointer sector (counter-clockwise from the right in steps of 30 degrees) -> slot code.
extern const std::array<uint8_t, kBeltSlots> kBeltSectorCodes;

struct BeltRadii {
    float inner;
    float ring;
    float outer;
};
// s: the HUD pixel scale; drag: the opening press is still held.
BeltRadii BeltRadiiFor(float s, bool drag, bool touchscreen);

enum class BeltZone {
    Outside, // beyond the outer radius: the belt closes
    Dead,    // inside the inner radius or beyond the ring: nothing hovered
    Ring,    // on the ring: a sector is pointed at
};
// distance: from the centre in pixels (exactly the inner radius is on the ring).
BeltZone BeltZoneAt(float distance, const BeltRadii& radii);
// The sector of an integer pixel offset from the centre (y down); its boundaries lie at
// 15 + k x 30 degrees.
int BeltSector(int dx, int dy);

// A slot is unavailable when the group has none of its type left (0) or may not use it
// (200); a Gulp flimb may always use the two Gulp slots.
bool BeltSlotAvailable(int count, int flimbType, uint8_t code);
// The number drawn on a hovered slot: none for 0 and 199 (unlimited).
bool BeltShowsCount(int count);

// The belt's pointer state and what a button event does to it.
struct BeltPointer {
    bool drag = false;    // opened by a press that is still held
    bool pressed = false;
    uint8_t chosen = kBeltNoChoice;
    uint8_t hovered = kBeltNoHover;
};
struct BeltButtonResult {
    bool consumed = true;
    bool hide = false;
    bool request = false; // a type change for `code`
    uint8_t code = kBeltNoHover;
};
// phase: 2 press, 0 release, 1 held. distance: pointer to centre; ringRadius: 130 s;
// fromOpen: pointer to the point where the belt opened (pixels).
BeltButtonResult BeltButton(BeltPointer& pointer, int phase, float distance, float ringRadius, bool touchscreen,
                            float fromOpen);
