#include "traps/Trap.h"

#include "world/WorldState.h"

#include <cmath>

Trap::Trap(int32_t kindId) : kind(kindId)
{
    id = World().traps.nextTrapId++;
}

gfx::RECT Trap::GetBounds() const
{
    const int32_t cx = static_cast<int32_t>(std::lround(x));
    const int32_t cy = static_cast<int32_t>(std::lround(y));
    return gfx::RECT{cx - 16, cy - 16, cx + 16, cy + 16};
}

void Trap::Activate(Flimb* /*by*/)
{
    activated = 1;
}

std::optional<FlimbList> Trap::TestContact(Flimb* /*flimb*/, uint8_t /*filter*/, bool /*atPoint*/, int32_t /*px*/,
                                           int32_t /*py*/, const gfx::RECT* /*area*/)
{
    return std::nullopt;
}
