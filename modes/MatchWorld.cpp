#include "modes/MatchWorld.h"

MatchWorld& GameMatchWorld(); // the game's adapter (GameMatchWorld.cpp)

namespace {
MatchWorld* g_installedWorld = nullptr;
} // namespace

MatchWorld& CurrentMatchWorld()
{
    return g_installedWorld ? *g_installedWorld : GameMatchWorld();
}

void SetMatchWorld(MatchWorld* world)
{
    g_installedWorld = world;
}

namespace MatchFigures {

int32_t Saved(const MatchWorld& world, int group)
{
    int32_t sum = 0;
    for (const ExitInfo& exit : world.Exits())
        if (exit.group == group)
            sum += exit.saved;
    return sum;
}

int32_t Required(const MatchWorld& world, int group)
{
    int32_t sum = 0;
    for (const ExitInfo& exit : world.Exits())
        if (group == kAllGroups || exit.group == group)
            sum += exit.required;
    return sum;
}

int32_t Waiting(const MatchWorld& world, int group)
{
    return world.CountUnreleased(group, true);
}

int32_t Present(const MatchWorld& world, int group)
{
    if (group >= 0 && group < kGroupCount)
        return world.Tally(group).total;
    if (group != kAllGroups)
        return 0;
    int32_t sum = 0;
    for (int g = 0; g < kGroupCount; ++g)
        sum += world.Tally(g).total;
    return sum;
}

bool HasPlayers(const MatchWorld& world, int group)
{
    if (group < 0 || group >= kGroupCount)
        return false;
    if (world.AllGroupsActive() && world.GroupStats(group).enabled)
        return true;
    for (const MatchPlayer& player : world.Players())
        if (player.group == group && !player.spectator)
            return true;
    return false;
}

int32_t MorphsUsed(const MatchWorld& world, int group)
{
    if (group < 0 || group >= kGroupCount)
        return 0;
    int32_t sum = 0;
    for (int32_t count : world.GroupStats(group).actions)
        sum += count;
    return sum;
}

} // namespace MatchFigures

void FlimbCentre(const FlimbInfo& flimb, float& x, float& y)
{
    const float half = flimb.height / 2.0f;
    x = flimb.x;
    y = flimb.y;
    switch (flimb.direction) {
    case 1: y += half; break;
    case 2: x += half; break;
    case 3: x -= half; break;
    default: y -= half; break;
    }
}

namespace MatchFigures {

std::vector<int> EnabledGroups(const MatchWorld& world)
{
    std::vector<int> groups;
    for (int g = 0; g < kGroupCount; ++g)
        if (world.GroupStats(g).enabled)
            groups.push_back(g);
    return groups;
}

int StripOf(int32_t x, int32_t width, int strips)
{
    if (strips <= 0)
        return -1;
    if (width <= 0 || x < 0)
        return 0;
    int strip = 0;
    while (strip + 1 < strips && StripLeft(strip + 1, width, strips) <= x)
        ++strip;
    return strip;
}

int32_t StripLeft(int strip, int32_t width, int strips)
{
    if (strips <= 0 || width <= 0)
        return 0;
    return int32_t(int64_t(strip) * width / strips);
}

bool FindParticleOf(const MatchWorld& world, int32_t carrierId, ParticleInfo& particle)
{
    for (const ParticleInfo& candidate : world.ParticleTraps())
        if (candidate.carrierId == carrierId) {
            particle = candidate;
            return true;
        }
    return false;
}

} // namespace MatchFigures
