#include "traps/Trap.h"

#include "app/SimMath.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "media/AnimSurface.h"
#include "media/ImageCache.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/TrapDraw.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Truncation toward zero that stays inside the integer range for any float (a broken
// file's values never reach an undefined conversion).
int32_t Trunc(float v)
{
    if (!(v > -2.0e9f))
        return std::isnan(v) ? 0 : -2000000000;
    if (!(v < 2.0e9f))
        return 2000000000;
    return static_cast<int32_t>(v);
}

bool PointInRect(const gfx::RECT& r, int32_t px, int32_t py)
{
    return px >= r.left && px < r.right && py >= r.top && py < r.bottom;
}

} // namespace

Trap::Trap(int32_t kindId) : kind(kindId)
{
    id = World().traps.nextTrapId++;
}

Trap::~Trap()
{
    ForgetEditedTrap(this);
    Trap::ReleaseGraphics();
}

void Trap::SetScale(float sx, float sy)
{
    scale_x = sx;
    scale_y = sy;
}

void Trap::Activate(Flimb* /*by*/)
{
    activated = 1;
}

void Trap::Deactivate()
{
    activated = 0;
}

gfx::RECT Trap::GetBounds() const
{
    return BoundsAtScale(scale_x, scale_y);
}

gfx::RECT Trap::BoundsAtScale(float sx, float sy) const
{
    const int32_t cx = RoundToInt(x);
    const int32_t cy = RoundToInt(y);
    if (!sprite || sprite->frameWidth <= 0 || sprite->frameHeight <= 0)
        return gfx::RECT{cx - 16, cy - 16, cx + 16, cy + 16};
    // The frame scaled (width and height truncated, minus one), pivoted on the scaled hot
    // spot, turned through the angle table and placed at the position.
    const float w = static_cast<float>(Trunc(static_cast<float>(sprite->frameWidth) * sx)) - 1.0f;
    const float h = static_cast<float>(Trunc(static_cast<float>(sprite->frameHeight) * sy)) - 1.0f;
    const float hx = static_cast<float>(sprite->hotspotX) * sx;
    const float hy = static_cast<float>(sprite->hotspotY) * sy;
    const float s = SinDegF(rotation), c = CosDegF(rotation);
    const float corners[4][2] = {{-hx, -hy}, {w - hx, -hy}, {w - hx, h - hy}, {-hx, h - hy}};
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        const float px = corners[i][0] * c - corners[i][1] * s;
        const float py = corners[i][0] * s + corners[i][1] * c;
        if (i == 0 || px < minX)
            minX = px;
        if (i == 0 || px > maxX)
            maxX = px;
        if (i == 0 || py < minY)
            minY = py;
        if (i == 0 || py > maxY)
            maxY = py;
    }
    auto at = [](float base, float offset) { return Trunc(std::floor(base + offset)); };
    return gfx::RECT{at(x, minX), at(y, minY), at(x, std::ceil(maxX)), at(y, std::ceil(maxY))};
}

std::optional<FlimbList> Trap::TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                           const gfx::RECT* area)
{
    gfx::RECT rect;
    if (area) {
        rect = *area;
    } else {
        rect = GetBounds();
        if (pickup_mode) {
            rect.left += 10;
            rect.top += 10;
            rect.right -= 10;
            rect.bottom -= 10;
        }
    }
    const bool everyGroup = filter != 0;
    if (!flimb) {
        FlimbList found = atPoint ? FindFlimbsAtPoint(px, py, everyGroup)
                                  : FindFlimbsInArea(everyGroup, false, rect.left, rect.top, rect.right, rect.bottom);
        if (found.empty())
            return std::nullopt;
        return found;
    }
    const gfx::RECT own = flimb->GetCurrentSprite();
    bool hit = false;
    if (atPoint) {
        hit = PointInRect(own, px, py);
    } else {
        gfx::RECT ignored;
        hit = gfx::IntersectRect(&ignored, &own, &rect);
    }
    if (!hit)
        return std::nullopt;
    return FlimbList{flimb};
}

void Trap::RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t /*dx*/, int32_t /*dy*/)
{
    for (TrapLink& link : links)
        for (const TrapIdPair& pair : pairs)
            if (link.target_id == pair.oldId)
                link.target_id = pair.newId;
}

void Trap::ForgetObject(Flimb* flimb)
{
    const int32_t slot = FlimbSlot(flimb);
    if (slot >= 0)
        cooldowns.erase(slot);
}

int32_t Trap::FlimbSlot(const Flimb* flimb)
{
    WorldState& world = World();
    const Flimb* first = world.flimbs.get();
    if (!flimb || !first || flimb < first || flimb >= first + kMaxFlimbs)
        return -1;
    return static_cast<int32_t>(flimb - first);
}

void Trap::NoteCooldown(const Flimb* flimb)
{
    const int32_t slot = FlimbSlot(flimb);
    if (slot >= 0)
        cooldowns[slot] = World().clock.updateCounter;
}

bool Trap::HasCooldown(const Flimb* flimb) const
{
    const int32_t slot = FlimbSlot(flimb);
    return slot >= 0 && cooldowns.count(slot) != 0;
}

void Trap::ExpireCooldowns(uint32_t updates)
{
    const uint32_t now = World().clock.updateCounter;
    for (auto it = cooldowns.begin(); it != cooldowns.end();) {
        if (it->second + updates < now)
            it = cooldowns.erase(it);
        else
            ++it;
    }
}

void Trap::SetLink(const TrapLink& link)
{
    for (TrapLink& existing : links) {
        if (existing.event_id == link.event_id) {
            existing.target_id = link.target_id;
            return;
        }
    }
    links.push_back(link);
}

void Trap::FireEvent(uint32_t eventId, Flimb* by, bool networked)
{
    const auto link = std::find_if(links.begin(), links.end(),
                                   [eventId](const TrapLink& l) { return l.event_id == eventId; });
    if (link == links.end())
        return;
    if (link->target_id > static_cast<uint32_t>(INT32_MAX))
        return;
    Trap* target = FindTrapById(static_cast<int32_t>(link->target_id));
    if (!target)
        return;
    OnBeforeEvent(target, eventId);
    if (networked) {
        SendTrapState(*target, 1, by ? by->id : -1);
        return;
    }
    QueueTrapActivation(target, by);
}

void Trap::ConsumePickup()
{
    if (!pickup_mode)
        return;
    const int32_t px = RoundToInt(x), py = RoundToInt(y);
    if (pickup_left <= 0) {
        // Unlimited pickups only sound.
        if (pickup_left == 0 && audible)
            PlayEffectAt(2, px, py);
        return;
    }
    --pickup_left;
    if (audible)
        PlayEffectAt(2, px, py);
    if (pickup_left > 0)
        return;
    if (visible)
        SpawnParticlesFromImage(sprite, DisplayedFrame(), px, py, AngleToDirection(Trunc(rotation)),
                                scale_x, scale_y);
    alive = 0;
}

bool Trap::TryFall(int32_t distance, bool pushBack, int32_t probe)
{
    const uint8_t direction = AngleToDirection(Trunc(rotation));
    const bool alongY = direction == 0 || direction == 1;
    const float sign = (direction == 0 || direction == 3) ? 1.0f : -1.0f;
    float& axis = alongY ? y : x;
    const float ahead = axis + sign * static_cast<float>(probe) * scale_y;
    const int32_t probeX = alongY ? Trunc(x) : Trunc(ahead);
    const int32_t probeY = alongY ? Trunc(ahead) : Trunc(y);
    Landscape* landscape = GameLandscape();
    const uint8_t material = landscape ? landscape->HitTestPoint(probeX, probeY) : 0;
    if (material == 0) {
        axis += sign * static_cast<float>(distance);
        AddTrapToDrawList(this);
        return true;
    }
    if (pushBack) {
        axis -= sign * static_cast<float>(distance);
        AddTrapToDrawList(this);
    }
    return false;
}

float Trap::SnapRotation90() const
{
    if (!std::isfinite(rotation))
        return 0.0f;
    float snapped = std::round(rotation / 90.0f) * 90.0f;
    if (snapped >= 360.0f)
        snapped = 0.0f;
    return snapped;
}

void Trap::HashCommonState(StateHasher& hasher) const
{
    hasher.Add(x);
    hasher.Add(y);
    hasher.Add(rotation);
    hasher.Add(scale_x);
    hasher.Add(scale_y);
    hasher.Add(visible);
    hasher.Add(activated);
    hasher.Add(enabled);
    hasher.Add(pickup_mode);
    hasher.Add(pickup_left);
    hasher.Add(allow_fall);
    hasher.Add(static_cast<uint32_t>(links.size()));
    for (const TrapLink& link : links) {
        hasher.Add(link.event_id);
        hasher.Add(link.target_id);
    }
    hasher.Add(static_cast<uint32_t>(cooldowns.size()));
    for (const auto& [slot, stamp] : cooldowns) {
        hasher.Add(slot);
        hasher.Add(stamp);
    }
}

std::unique_ptr<Trap> Trap::Duplicate() const
{
    std::unique_ptr<Trap> copy = Create(kind);
    if (!copy)
        return nullptr;
    const uint32_t ownId = copy->id;
    copy->ReleaseGraphics();
    copy->zorder = zorder;
    copy->flimborder = flimborder;
    copy->renderUnderShadow = renderUnderShadow;
    copy->alive = alive;
    copy->visible = visible;
    copy->activated = activated;
    copy->animating = animating;
    copy->pickup_mode = pickup_mode;
    copy->floating_pickup = floating_pickup;
    copy->pickup_left = pickup_left;
    copy->allow_fall = allow_fall;
    copy->alpha = alpha;
    copy->scale_x = scale_x;
    copy->scale_y = scale_y;
    copy->tint = tint;
    copy->registration = registration;
    copy->links = links; // fresh records of the same values
    copy->rotation = rotation;
    copy->enabled = enabled;
    copy->audible = audible;
    copy->frame = frame;
    copy->x = x;
    copy->y = y;
    copy->cooldowns = cooldowns;
    copy->CopyKindFields(*this);
    copy->id = ownId;
    copy->sprite = nullptr;
    copy->ResetRuntime();
    copy->LoadGraphics();
    return copy;
}
