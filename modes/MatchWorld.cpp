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
