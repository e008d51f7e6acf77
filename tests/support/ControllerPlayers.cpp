#include "ControllerPlayers.h"

#include "game/GameController.h"

void ResetControllerPlayers()
{
    Controller() = GameController{};
}

void AddControllerPlayer(int team, bool spectator, bool local)
{
    auto player = std::make_unique<PlayerRecord>();
    player->name = local ? "local" : "player";
    player->team = uint8_t(team);
    player->spectator = spectator ? 1 : 0;
    if (local)
        Controller().localPlayer = player.get();
    Controller().players.push_back(std::move(player));
}

void AddFreeControllerSlot()
{
    Controller().players.push_back(nullptr);
}

void SetControllerSessionNetworked(bool networked)
{
    Controller().sessionKind = networked ? kSessionNetworked : kSessionLocal;
}
