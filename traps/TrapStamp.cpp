// Stamping a trap's sprite into a (preview) landscape.
#include "traps/Trap.h"

#include "world/Landscape.h"

void Trap::StampIntoLandscape(Landscape& landscape, float factor)
{
    if (!sprite)
        return;
    constexpr int kTrapMaterial = 5;
    // All materials may be replaced; with zorder all but 1 and 2.
    const uint32_t affected = zorder ? static_cast<uint32_t>(-7) : static_cast<uint32_t>(-1);
    landscape.BashPrimitive(sprite, kTrapMaterial, scale_x * factor, scale_y * factor, rotation, affected,
                            BashOptions{}, 0xFF000000u | (tint & 0xFFFFFFu), false, nullptr, x * factor, y * factor);
}
