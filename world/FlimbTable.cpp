#include "world/FlimbTable.h"

#include "app/Log.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "traps/Trap.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

// Adds (sign +1) or takes (sign -1) the flimb in or out of its group's tallies.
void TallyAlways(WorldState& world, const Flimb& flimb, int32_t sign, bool alive)
{
    if (flimb.group >= kGroupCount)
        return;
    auto& row = world.tallies[flimb.group];
    row[kTallyInWorld] += sign;
    if (alive)
        row[kTallyAlive] += sign;
    if (flimb.attributes & kAttrCounted)
        row[kTallyFalling] += sign;
    if (flimb.attributes & kAttrMarked)
        row[kTallyMarked] += sign;
    if (flimb.type == kDoppel)
        row[kTallyDoppels] += sign;
    row[kTallyEnergy] += sign * flimb.energy;
}

void Tally(WorldState& world, const Flimb& flimb, int32_t sign, bool alive)
{
    if (!world.countingSuspended)
        TallyAlways(world, flimb, sign, alive);
}

Flimb* Append(WorldState& world, const Flimb& record)
{
    if (world.flimbCount >= kMaxFlimbs) {
        WriteLog("The flimb table is full (%d flimbs): flimb %d not added\n", kMaxFlimbs, record.id);
        return nullptr;
    }
    Flimb& flimb = world.flimbs[static_cast<size_t>(world.flimbCount++)];
    flimb = record;
    ++world.clock.flimbsInPlay;
    Tally(world, flimb, +1, flimb.IsAlive());
    return &flimb;
}

} // namespace

Flimb* AddFlimb(int16_t x, int16_t y, int16_t id, uint8_t group, uint8_t type, uint8_t gravity, int32_t energy,
                uint8_t autoBehaviour, int facing)
{
    Flimb record{};
    record.Init();
    record.Setup(x, y, id, group, type, gravity, energy, autoBehaviour, facing);
    return Append(World(), record);
}

void AddToTallies(WorldState& world, const Flimb& flimb)
{
    TallyAlways(world, flimb, +1, flimb.IsAlive());
}

Flimb* AddFlimbTo(WorldState& world, const Flimb& record)
{
    return Append(world, record);
}

void UncountFlimb(Flimb& flimb)
{
    flimb.flags &= static_cast<uint8_t>(~(kFlimbInWorld | kFlimbAlive));
    Tally(World(), flimb, -1, true);
}

void ForgetSavedFlimbLinks(WorldState& world)
{
    for (Flimb& saved : world.savedFlimbs) {
        saved.animation = nullptr;
        saved.overlaySet = nullptr;
        saved.overlay = nullptr;
        saved.tag = nullptr;
    }
}

void ClearWorldFlimbs(WorldState& world)
{
    ScopedWorld use(world);
    ForgetSavedFlimbLinks(world);
    world.selected = nullptr;
    world.preselected = nullptr;
    for (Flimb& flimb : world) {
        if (flimb.IsFree())
            continue;
        if (flimb.type == kDoppel)
            flimb.DigAt(false);
        if (flimb.linkedId >= 0)
            if (Flimb* linked = FindFlimbById(flimb.linkedId))
                linked->linkedId = -1;
        DestroyFlimbTag(flimb);
    }
    world.flimbCount = 0;
    world.clock.flimbsInPlay = 0;
    world.tallies = {};
    world.nextIdLow = 0;
    world.nextIdHigh = 0;
    ReleaseAllGroupAnimations();
    world.overlaySwitches = {1, 1};
    world.preview.source = nullptr;
    world.preview.soundPlayed = false;
}

void SnapshotFlimbs(bool keep)
{
    WorldState& world = World();
    world.savedFlimbs.clear();
    world.keepSavedFlimbs = keep;
    if (!keep)
        return;
    world.savedSelectedId = world.selected ? world.selected->id : -1;
    for (const Flimb& flimb : world) {
        if (flimb.IsFree())
            continue;
        Flimb copy = flimb;
        copy.tag = nullptr; // the tag stays the live flimb's
        world.savedFlimbs.push_back(copy);
    }
}

void ComputeNextFlimbIds()
{
    WorldState& world = World();
    int32_t low = -1, high = -1;
    for (const Flimb& flimb : world) {
        if (flimb.IsFree() || !flimb.InWorld())
            continue;
        if (flimb.id < 10000)
            low = std::max<int32_t>(low, flimb.id);
        else
            high = std::max<int32_t>(high, flimb.id);
    }
    world.nextIdLow = low < 0 ? 0 : low + 1;
    world.nextIdHigh = high < 0 ? 0 : high + 1;
}

void ComputeHealthScale()
{
    WorldState& world = World();
    int32_t scale = Controller().modeIndex == 3 ? kFlimbStartEnergy : 0;
    for (const Flimb& flimb : world)
        if (!flimb.IsFree())
            scale = std::max(scale, flimb.energy);
    for (int32_t kind : {kTrapStart, kTrapFrozenFlimb})
        for (const Trap* trap : GetTrapsOfKind(static_cast<uint32_t>(kind)))
            scale = std::max(scale, trap->FlimbEnergySetting());
    world.healthScale = scale;
}

int32_t CountUnmarkedFlimbs()
{
    int32_t count = 0;
    for (const auto& row : World().tallies)
        count += row[kTallyInWorld] - row[kTallyMarked];
    return count;
}

int32_t CountEnabledGroups(const std::array<GroupEntry, 8>& groups)
{
    return static_cast<int32_t>(std::count_if(groups.begin(), groups.end(), [](const GroupEntry& g) { return g.inUse; }));
}

int32_t FindLeadingGroup()
{
    std::array<int64_t, kGroupCount> sumX{}, sumY{};
    std::array<int32_t, kGroupCount> count{};
    for (const Flimb& flimb : World()) {
        if (flimb.IsFree() || flimb.group >= kGroupCount)
            continue;
        sumX[flimb.group] += flimb.x;
        sumY[flimb.group] += flimb.y;
        ++count[flimb.group];
    }
    std::array<double, kGroupCount> best;
    best.fill(999999.0);
    for (const Trap* exit : GetTrapsOfKind(kTrapExit)) {
        const uint8_t group = exit->Group();
        if (group >= kGroupCount || count[group] == 0)
            continue;
        const double dx = static_cast<double>(exit->x) - static_cast<double>(sumX[group] / count[group]);
        const double dy = static_cast<double>(exit->y) - static_cast<double>(sumY[group] / count[group]);
        best[group] = std::min(best[group], std::sqrt(dx * dx + dy * dy));
    }
    // Only a group with flimbs can lead.
    int32_t leader = -1;
    for (int32_t group = 0; group < kGroupCount; ++group) {
        if (count[static_cast<size_t>(group)] == 0)
            continue;
        if (leader < 0 || best[static_cast<size_t>(group)] < best[static_cast<size_t>(leader)])
            leader = group;
    }
    return leader;
}

void SetGroupFlimbsFlag(uint8_t value)
{
    for (const Flimb& flimb : World())
        if (!flimb.IsFree() && flimb.InWorld())
            SendUpdateFlimbType(flimb.id, value, 255, 0);
}

void SetSelectedStateFlimbs()
{
    for (const Flimb& flimb : World())
        if (!flimb.IsFree() && flimb.InWorld() && (flimb.attributes & kAttrSteered))
            SendUpdateFlimbType(flimb.id, 255, 77, 0);
}

void StaggerGroupFlimbs(uint8_t group)
{
    uint8_t fuse = 0;
    bool lit = false;
    for (Flimb& flimb : World()) {
        if (flimb.IsFree() || !flimb.InWorld() || flimb.group != group || (flimb.attributes & kAttrNovaFuse))
            continue;
        fuse = fuse >= 150 ? 5 : static_cast<uint8_t>(fuse + 5);
        flimb.attributes |= kAttrNovaFuse;
        flimb.flags |= kFlimbFuseLit;
        flimb.fuse = fuse;
        lit = true;
    }
    if (lit) {
        float x = 0.0f, y = 0.0f;
        CurrentViewCentre(x, y);
        PlayEffectAt(41, static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
}
