#include "net/StatsControllerFacts.h"

#include "app/PlayerProfile.h"
#include "app/Uuid.h"
#include "game/GameController.h"

#include <algorithm>

namespace {

StatsMatchFacts& Facts()
{
    static StatsMatchFacts facts;
    return facts;
}

UuidBytes& DefaultMatchGuid()
{
    static UuidBytes guid{};
    return guid;
}

StatsAccount DefaultAccount(bool local)
{
    StatsAccount account;
    if (local) {
        const PlayerProfile& profile = CurrentProfile();
        account.userName = profile.AccountUser();
        account.password = profile.AccountPassword();
    }
    return account;
}

std::string DefaultMatchGuidText()
{
    UuidBytes& guid = DefaultMatchGuid();
    if (std::all_of(guid.begin(), guid.end(), [](uint8_t byte) { return byte == 0; }))
        guid = NewUuid();
    return UuidToString(guid);
}

} // namespace

void SetStatsMatchFacts(StatsMatchFacts facts)
{
    Facts() = std::move(facts);
}

void RenewDefaultMatchGuid()
{
    DefaultMatchGuid() = NewUuid();
}

void GatherControllerFacts(StatsSnapshot& match, int fallbackLocalGroup)
{
    const GameController& controller = Controller();
    const StatsMatchFacts& facts = Facts();
    const size_t slots = std::min(controller.players.size(), size_t(kStatsPlayerSlots));
    for (size_t slot = 0; slot < slots; ++slot) {
        const PlayerRecord* record = controller.players[slot].get();
        if (!record)
            continue;
        StatsPlayer player;
        player.slot = int(slot);
        player.group = record->team;
        player.local = record == controller.localPlayer;
        player.spectator = record->spectator != 0;
        const StatsAccount account = facts.account ? facts.account(*record, player.local) : DefaultAccount(player.local);
        player.userName = account.userName;
        player.password = account.password;
        player.playerId = account.playerId;
        match.players.push_back(std::move(player));
    }
    match.localGroup = controller.localPlayer ? controller.localPlayer->team : fallbackLocalGroup;
    match.multiplayer = controller.sessionKind == kSessionNetworked;
    match.matchGuid = facts.matchGuid ? facts.matchGuid() : DefaultMatchGuidText();
    match.userLevel = facts.userLevel && facts.userLevel();
}
