#include "world/FlimbQueries.h"

#include "game/GameController.h"
#include "world/ConsoleValues.h"
#include "world/Flimb.h"
#include "world/WorldState.h"

#include <cmath>

namespace {

bool Contains(const gfx::RECT& r, int32_t x, int32_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Whether the queries may return flimbs of groups the local player does not command.
bool AnyGroup(bool ignoreVisibility)
{
    return ignoreVisibility || ConsoleInt("god") != 0;
}

} // namespace

Flimb* FindFlimbById(int32_t id)
{
    if (id < 0)
        return nullptr;
    for (Flimb& flimb : World())
        if (!flimb.IsFree() && flimb.InWorld() && flimb.id == static_cast<int16_t>(id))
            return &flimb;
    return nullptr;
}

Flimb* FindFirstFlimbOfGroup(uint8_t group)
{
    for (Flimb& flimb : World())
        if (!flimb.IsFree() && flimb.IsAlive() && flimb.group == group)
            return &flimb;
    return nullptr;
}

FlimbList FindFlimbsInArea(bool ignoreVisibility, bool includeDying, int32_t left, int32_t top, int32_t right,
                           int32_t bottom)
{
    FlimbList found;
    const bool anyGroup = AnyGroup(ignoreVisibility);
    for (Flimb& flimb : World()) {
        if (flimb.IsFree())
            continue;
        const bool justDying = includeDying && !flimb.IsAlive() && flimb.typeAge <= flimb.stepsPerUpdate;
        if (!flimb.IsAlive() && !justDying)
            continue;
        const gfx::RECT r = flimb.GetCurrentSprite();
        if (!(left < r.right && right > r.left && top < r.bottom && bottom > r.top))
            continue;
        if (anyGroup || LocalPlayerControls(flimb.group))
            found.push_back(&flimb);
    }
    return found;
}

FlimbList FindFlimbsAtPoint(int32_t x, int32_t y, bool ignoreVisibility)
{
    FlimbList found;
    const bool anyGroup = AnyGroup(ignoreVisibility);
    for (Flimb& flimb : World())
        if (!flimb.IsFree() && flimb.IsAlive() && Contains(flimb.GetCurrentSprite(), x, y) &&
            (anyGroup || LocalPlayerControls(flimb.group)))
            found.push_back(&flimb);
    return found;
}

FlimbList FindFlimbsAtPointIn(WorldState& world, int32_t x, int32_t y, uint8_t group)
{
    FlimbList found;
    for (Flimb& flimb : world)
        if (!flimb.IsFree() && flimb.IsAlive() && (group == 255 || flimb.group == group) &&
            Contains(flimb.GetCurrentSprite(), x, y))
            found.push_back(&flimb);
    return found;
}

int SegmentsIntersect(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4)
{
    const float den = (x2 - x1) * (y4 - y3) - (x4 - x3) * (y2 - y1);
    if (std::fabs(den) < 0.001f)
        return -1;
    const float t = ((y1 - y3) * (x4 - x3) - (x1 - x3) * (y4 - y3)) / den;
    if (t < 0.0f || t > 1.0f)
        return 0;
    const float u = ((y1 - y3) * (x2 - x1) - (x1 - x3) * (y2 - y1)) / den;
    return u >= 0.0f && u <= 1.0f ? 1 : 0;
}

FlimbList FindFlimbsCrossingSegment(float x1, float y1, float x2, float y2)
{
    FlimbList found;
    for (Flimb& flimb : World()) {
        if (flimb.IsFree() || !flimb.IsAlive())
            continue;
        const gfx::RECT r = flimb.GetCurrentSprite();
        const float l = static_cast<float>(r.left), t = static_cast<float>(r.top);
        const float rt = static_cast<float>(r.right), b = static_cast<float>(r.bottom);
        const bool crosses = SegmentsIntersect(x1, y1, x2, y2, l, t, rt, t) == 1 ||
                             SegmentsIntersect(x1, y1, x2, y2, rt, t, rt, b) == 1 ||
                             SegmentsIntersect(x1, y1, x2, y2, l, b, rt, b) == 1 ||
                             SegmentsIntersect(x1, y1, x2, y2, l, t, l, b) == 1;
        const auto inside = [&](float px, float py) { return px >= l && px < rt && py >= t && py < b; };
        if (crosses || inside(x1, y1) || inside(x2, y2))
            found.push_back(&flimb);
    }
    return found;
}

FlimbList CollectGroupFlimbs(uint8_t group)
{
    FlimbList found;
    for (Flimb& flimb : World())
        if (!flimb.IsFree() && flimb.InWorld() && flimb.IsAlive() && (flimb.attributes & kAttrMarked) &&
            (group == 255 || flimb.group == group))
            found.push_back(&flimb);
    return found;
}

void CountGroupFlimbsAtPoint(int32_t x, int32_t y, std::array<int32_t, 8>& counts)
{
    counts.fill(0);
    for (const Flimb& flimb : World())
        if (!flimb.IsFree() && flimb.IsAlive() && flimb.group < 8 && Contains(flimb.GetCurrentSprite(), x, y))
            ++counts[flimb.group];
}
