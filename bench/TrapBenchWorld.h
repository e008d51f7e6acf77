#pragma once
// What the trap benchmarks share: the headless game (a small screen, the trap specs loaded
// once), an empty running world on the recipe's landscape, and placing a registered trap of a
// kind.
#include "game/GameController.h"
#include "modes/MatchOptions.h"
#include "tools/replaycheck/HeadlessGame.h"
#include "tools/replaycheck/MatchRecipe.h"
#include "world/FlimbTable.h"
#include "traps/Trap.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <memory>

inline HeadlessGame& BenchGame()
{
    static HeadlessGame game(64, 48);
    return game;
}

// The world emptied of flimbs and traps, its clock and controller fresh and running, the
// match options reset and the recipe's landscape built.
inline HeadlessGame& FreshBenchWorld()
{
    HeadlessGame& game = BenchGame();
    ClearWorldFlimbs(World());
    DeleteAllTraps();
    World().clock = WorldClock{};
    Controller() = GameController{};
    Controller().runState = kRunRunning;
    ResetMatchOptions();
    recipe::BuildLandscape(game.Land());
    return game;
}

// A new trap of the kind at (x, y), registered with the world, as its class.
template <class Kind = Trap>
Kind* PlaceBenchTrap(int32_t kind, int x, int y)
{
    std::unique_ptr<Trap> trap = Trap::Create(kind);
    trap->x = static_cast<float>(x);
    trap->y = static_cast<float>(y);
    auto* raw = static_cast<Kind*>(trap.get());
    RegisterTrap(std::move(trap));
    return raw;
}
