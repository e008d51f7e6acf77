#include "session/MatchStats.h"

#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "app/Uuid.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "modes/GameMode.h"
#include "modes/MatchWorld.h"
#include "modes/ModeServices.h"
#include "session/ClientCommandState.h"
#include "session/GameServer.h"
#include "session/SessionGame.h"

#include <algorithm>
#include <array>

namespace {

StatsMatchFacts& Facts()
{
    static StatsMatchFacts facts;
    return facts;
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

// The players, the local group (`fallbackLocalGroup` when the controller has no local
// player), the session kind, the match GUID and the user-level flag.
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
    match.matchGuid = facts.matchGuid ? facts.matchGuid() : DefaultMatchGuid();
    match.userLevel = facts.userLevel && facts.userLevel();
}

std::string LevelHash(const std::string& levelPath)
{
    if (levelPath.empty())
        return {};
    XmlDocument level = XmlLoadFile(levelPath);
    const char* hash = level ? XmlGetAttrValue(XmlRoot(level.get()), "hash") : nullptr;
    return hash ? hash : "";
}

std::vector<StatsRow> ModeRows(GameMode& mode, int group)
{
    std::vector<StatsRow> rows;
    for (const auto& row : mode.AddEndOfMatchStats(group).rows)
        rows.push_back({row->kind, row->value});
    return rows;
}

} // namespace

void SetStatsMatchFacts(StatsMatchFacts facts)
{
    Facts() = std::move(facts);
}

StatsMatchFacts SessionStatsMatchFacts()
{
    StatsMatchFacts facts;
    facts.account = [](const PlayerRecord& player, bool local) {
        StatsAccount account = player.accountName.empty() ? DefaultAccount(local) : StatsAccount{};
        if (!player.accountName.empty()) {
            account.userName = player.accountName;
            account.password = player.accountPassword;
        }
        const bool known =
            std::any_of(player.profileId.begin(), player.profileId.end(), [](uint8_t b) { return b != 0; });
        if (known)
            account.playerId = UuidToString(player.profileId.data());
        return account;
    };
    facts.matchGuid = [] {
        const auto known = [](const std::array<uint8_t, 16>& id) {
            return std::any_of(id.begin(), id.end(), [](uint8_t b) { return b != 0; });
        };
        if (const GameServer* server = CurrentServer(); server && known(server->SessionId()))
            return UuidToString(server->SessionId().data());
        const auto& id = CommandState().sessionId;
        return known(id) ? UuidToString(id.data()) : DefaultMatchGuid();
    };
    facts.userLevel = [] {
        const std::string path = ToLowerAscii(SessionGame().LoadedLevel().path);
        return path.rfind("level\\ugc\\", 0) == 0;
    };
    return facts;
}

StatsSnapshot GatherStatsSnapshot(const std::string& levelPath)
{
    StatsSnapshot match;
    const MatchWorld& world = CurrentMatchWorld();
    GatherControllerFacts(match, world.LocalGroup());
    match.result = world.MatchResult();
    match.updateCount = world.UpdateCounter();

    if (GameMode* mode = CurrentGameMode()) {
        match.modeIndex = mode->modeIndex;
        std::array<bool, kStatsGroupCount> wanted{};
        if (match.localGroup >= 0 && match.localGroup < kStatsGroupCount)
            wanted[size_t(match.localGroup)] = true;
        for (const StatsPlayer& player : match.players)
            if (player.group >= 0 && player.group < kStatsGroupCount)
                wanted[size_t(player.group)] = true;
        for (int group = 0; group < kStatsGroupCount; ++group)
            if (wanted[size_t(group)])
                match.groupRows[group] = ModeRows(*mode, group);
        match.qdotCount = mode->GetLocalQdotCount();
        match.qdotTotal = mode->qdotTotal;
    }

    ReadStatsSettings(match);
    match.levelHash = LevelHash(levelPath);
    return match;
}
