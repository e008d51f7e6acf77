#include "hud/BeltGeometry.h"

#include <cmath>
#include <numbers>

const std::array<BeltSlot, kBeltSlots> kBeltSlotTable = {{
    {0, "Clob", 0},
    {4, "Gulp-down", 30},
    {132, "Gulp-up", 330},
    {1, "Mold", 300},
    {7, "Spin", 270},
    {6, "Puff", 240},
    {9, "Lop", 210},
    {5, "Doppel", 180},
    {8, "Atomize", 150},
    {10, "Walk", 120},
    {2, "Nova", 60},
    {3, "Drill", 90},
}};

const std::array<uint8_t, kBeltSlots> kBeltSectorCodes = {0, 132, 1, 7, 6, 9, 5, 8, 10, 3, 2, 4};

BeltRadii BeltRadiiFor(float s, bool drag, bool touchscreen)
{
    if (!drag)
        return {40.0f * s, 130.0f * s, 220.0f * s};
    if (touchscreen)
        return {50.0f * s, 250.0f * s, 250.0f * s};
    return {25.0f * s, 600.0f * s, 600.0f * s};
}

BeltZone BeltZoneAt(float distance, const BeltRadii& radii)
{
    if (distance > radii.outer)
        return BeltZone::Outside;
    if (distance < radii.inner || distance > radii.ring)
        return BeltZone::Dead;
    return BeltZone::Ring;
}

int BeltSector(int dx, int dy)
{
    constexpr double kPi = std::numbers::pi;
    // Counter-clockwise on the screen (y grows downwards), turned by half a sector.
    double angle = std::atan2(-double(dy), double(dx)) + kPi / 12.0;
    if (angle < 0.0)
        angle += 2.0 * kPi;
    if (angle >= 2.0 * kPi)
        angle -= 2.0 * kPi;
    const int sector = int(std::floor(angle / (kPi / 6.0)));
    return sector < 0 ? 0 : (sector >= kBeltSlots ? kBeltSlots - 1 : sector);
}

bool BeltSlotAvailable(int count, int flimbType, uint8_t code)
{
    if (flimbType == 4 && (code & 15) == 4)
        return true;
    return count != kMorphNone && count != kMorphNotAllowed;
}

bool BeltShowsCount(int count)
{
    return count != kMorphNone && count != kMorphUnlimited;
}

BeltButtonResult BeltButton(BeltPointer& pointer, int phase, float distance, float ringRadius, bool touchscreen,
                            float fromOpen)
{
    constexpr int kRelease = 0;
    constexpr int kPress = 2;
    BeltButtonResult result;
    if (phase == kRelease) {
        if (touchscreen && fromOpen < 20.0f)
            pointer.drag = false;
        if (pointer.chosen == kBeltNoChoice)
            pointer.drag = false;
    }
    if (phase == kPress && distance > ringRadius) {
        result.consumed = false;
        result.hide = true;
        return result;
    }
    if (pointer.drag) {
        if (phase == kPress) {
            pointer.pressed = true;
            return result;
        }
        if (phase != kRelease)
            return result;
        pointer.pressed = false;
    } else if (phase != kPress) {
        return result;
    }
    result.hide = true;
    if (pointer.chosen == pointer.hovered || pointer.chosen == kBeltNoChoice) {
        if (pointer.hovered < kBeltNoHover) {
            result.request = true;
            result.code = pointer.hovered;
        }
    }
    return result;
}
