#pragma once
// A fresh world state made current for a test, with the game controller, the view hooks and
// the game's flimb type handlers put back around it.
#include "game/GameController.h"
#include "world/Flimb.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <memory>

class TestWorld {
public:
    TestWorld() : use_(world)
    {
        Reset();
    }
    ~TestWorld() { Reset(); }
    TestWorld(const TestWorld&) = delete;
    TestWorld& operator=(const TestWorld&) = delete;

    // Adds a player who commands every group and makes it the local player.
    PlayerRecord& AddLocalPlayer()
    {
        auto player = std::make_unique<PlayerRecord>();
        player->name = "local";
        player->control.fill(1);
        Controller().localPlayer = player.get();
        Controller().players.push_back(std::move(player));
        return *Controller().localPlayer;
    }

    WorldState world;

private:
    static void Reset()
    {
        Controller() = GameController{};
        ResetGameViewHooks();
        ResetFlimbTypeHandlers();
    }

    ScopedWorld use_;
};
