#pragma once
// What the trap benchmarks share: the headless game (a small screen, the trap specs loaded
// once) and placing a registered trap of a kind.
#include "tools/replaycheck/HeadlessGame.h"
#include "traps/Trap.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <memory>

inline HeadlessGame& BenchGame()
{
    static HeadlessGame game(64, 48);
    static const bool specs = [] {
        LoadTrapSpecs();
        return true;
    }();
    (void)specs;
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
