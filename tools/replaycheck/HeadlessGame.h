#pragma once
// What a headless program needs to run the world with the game's own data: the game's
// start-up on a hidden window and the software device (the art is loaded as textures), and
// a world of its own. Used by the replay check, the trap and view runs and the world
// benchmarks.
#include "tools/headless/HeadlessSession.h"
#include "world/Landscape.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <memory>

class HeadlessGame {
public:
    HeadlessGame(int screenWidth, int screenHeight) : session_(screenWidth, screenHeight), use_(world_) {}
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    Landscape& Land() { return *GameLandscape(); }

private:
    HeadlessSession session_;
    WorldState world_;
    ScopedWorld use_;
};
