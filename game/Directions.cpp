#include "game/Directions.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

gfx::RECT Turn(const gfx::RECT& o, uint8_t direction)
{
    switch (direction) {
    case 1:
        return {-o.right, -o.bottom, -o.left, -o.top};
    case 2:
        return {-o.bottom, o.left, -o.top, o.right};
    case 3:
        return {o.top, -o.right, o.bottom, -o.left};
    default:
        return o;
    }
}

} // namespace

uint8_t AngleToDirection(int32_t degrees)
{
    if (degrees < 0)
        degrees += 360;
    else if (degrees >= 361)
        degrees -= 360;
    if ((degrees >= 0 && degrees < 45) || (degrees >= 315 && degrees < 361))
        return 0;
    if (degrees >= 45 && degrees < 135)
        return 3;
    if (degrees >= 135 && degrees < 225)
        return 1;
    if (degrees >= 225 && degrees < 315)
        return 2;
    return 0;
}

uint8_t RadiansToDirection(float radians)
{
    if (!(std::fabs(radians) < 1.0e6f))
        return 0;
    while (radians <= -kPi / 4)
        radians += 2 * kPi;
    while (radians > 7 * kPi / 4)
        radians -= 2 * kPi;
    const float centres[4] = {3 * kPi / 2, kPi / 2, 0.0f, kPi};
    for (uint8_t direction = 0; direction < 4; ++direction)
        if (std::fabs(radians - centres[direction]) <= kPi / 4)
            return direction;
    return 0;
}

uint8_t OppositeDirection(uint8_t direction)
{
    switch (direction) {
    case 0:
        return 1;
    case 1:
        return 0;
    case 2:
        return 3;
    case 3:
        return 2;
    default:
        return direction;
    }
}

void RotateVectorByDirection(uint8_t direction, int32_t& x, int32_t& y)
{
    const int32_t ox = x, oy = y;
    switch (direction) {
    case 1:
        x = -ox, y = -oy;
        break;
    case 2:
        x = -oy, y = ox;
        break;
    case 3:
        x = oy, y = -ox;
        break;
    default:
        break;
    }
}

void UnrotateVectorByDirection(uint8_t direction, int32_t& x, int32_t& y)
{
    const int32_t ox = x, oy = y;
    switch (direction) {
    case 1:
        x = -ox, y = -oy;
        break;
    case 2:
        x = oy, y = -ox;
        break;
    case 3:
        x = -oy, y = ox;
        break;
    default:
        break;
    }
}

void OffsetByDirection(uint8_t direction, int32_t& px, int32_t& py, int32_t dx, int32_t dy)
{
    RotateVectorByDirection(direction, dx, dy);
    px += dx;
    py += dy;
}

gfx::RECT RotateRectByDirection(const gfx::RECT& offsets, uint8_t direction, int32_t x, int32_t y)
{
    gfx::RECT r = Turn(offsets, direction);
    return {r.left + x, r.top + y, r.right + x, r.bottom + y};
}

gfx::RECT UnrotateRectByDirection(const gfx::RECT& rect, uint8_t direction, int32_t x, int32_t y)
{
    const gfx::RECT o{rect.left - x, rect.top - y, rect.right - x, rect.bottom - y};
    // The inverse turn: 2 and 3 swap.
    const uint8_t inverse = direction == 2 ? 3 : direction == 3 ? 2 : direction;
    return Turn(o, inverse);
}

void InsetRectByDirection(const gfx::RECT& m, uint8_t direction, gfx::RECT& rect)
{
    switch (direction) {
    case 1:
        rect.left -= m.right, rect.top -= m.bottom, rect.right -= m.left, rect.bottom -= m.top;
        break;
    case 2:
        rect.left -= m.bottom, rect.right -= m.top, rect.top += m.left, rect.bottom += m.right;
        break;
    case 3:
        rect.left += m.top, rect.right += m.bottom, rect.top -= m.right, rect.bottom -= m.left;
        break;
    default:
        rect.left += m.left, rect.top += m.top, rect.right += m.right, rect.bottom += m.bottom;
        break;
    }
}
