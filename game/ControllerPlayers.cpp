// The controller's player list: look-ups, control of the groups, teams and avatars.
#include "game/GameController.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "game/GameHooks.h"
#include "media/ImageCache.h"

#include <algorithm>
#include <filesystem>

namespace {

constexpr const char* kLoadingAvatar = "User\\Avatars\\loading.png";

// The players in list order, empty slots skipped.
template <typename Visit>
void ForEachPlayer(Visit visit)
{
    for (const auto& player : Controller().players)
        if (player)
            visit(*player);
}

// Non-spectator players per team 0..7.
std::array<int32_t, kControllerGroups> PlayersPerTeam()
{
    std::array<int32_t, kControllerGroups> counts{};
    ForEachPlayer([&](const PlayerRecord& player) {
        if (!player.spectator && player.team < kControllerGroups)
            ++counts[player.team];
    });
    return counts;
}

int32_t FirstGroupInUse()
{
    const auto& groups = Controller().groups;
    for (size_t g = 0; g < groups.size(); ++g)
        if (groups[g].inUse)
            return static_cast<int32_t>(g);
    return -1;
}

void ReleaseAvatar(PlayerRecord& player)
{
    if (player.avatar)
        ImageCache::ReleaseImage(player.avatar);
    player.avatar = nullptr;
}

// A player name from the network names a file only when it stays a plain file name.
bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name.find_first_of("/\\:") == std::string::npos && name.find("..") == std::string::npos;
}

} // namespace

// ---- Members --------------------------------------------------------------------------------

PlayerRecord* GameController::FindPlayer(uint8_t playerId) const
{
    for (const auto& player : players)
        if (player && player->id == playerId)
            return player.get();
    return nullptr;
}

int32_t GameController::CountPlayers(int32_t team, bool withSpectators) const
{
    int32_t count = 0;
    for (const auto& player : players) {
        if (!player || (player->spectator && !withSpectators))
            continue;
        if (team == -1 || player->team == team)
            ++count;
    }
    return count;
}

bool GameController::AreAllPlayersReady() const
{
    return std::all_of(players.begin(), players.end(), [](const auto& p) { return !p || p->ready; });
}

void GameController::ClearPlayers()
{
    for (auto& player : players)
        if (player)
            ReleaseAvatar(*player);
    players.clear();
    localPlayer = nullptr;
}

void GameController::SetAdmin(PlayerRecord& player)
{
    for (auto& other : players)
        if (other)
            other->admin = 0;
    player.admin = 1;
    messages.Add(player.name + " is now the admin.", -1);
    HudRefresh();
    RefreshAdminScreens();
}

AnimSurface* GameController::GetPlayerAvatar(PlayerRecord& player)
{
    if (player.avatar)
        return player.avatar;
    std::string path = kLoadingAvatar;
    if (IsPlainFileName(player.name)) {
        const std::string cached = "Cache\\Avatars\\" + player.name + ".jpg";
        std::error_code error;
        if (std::filesystem::is_regular_file(GetUserPath(cached), error))
            path = cached;
    } else if (!player.name.empty()) {
        WriteLog("WARNING: player name [%s] names no avatar file; the loading picture is shown\n",
                 player.name.c_str());
    }
    player.avatar = ImageCache::GetImage(path);
    if (player.avatar)
        player.avatar->SetHotspot(player.avatar->frameWidth / 2, player.avatar->frameHeight / 2);
    return player.avatar;
}

// ---- Free operations ------------------------------------------------------------------------

PlayerRecord* FindPlayerByFlimb(uint32_t flimbId)
{
    for (const auto& player : Controller().players)
        if (player && player->ownFlimbId == flimbId)
            return player.get();
    return nullptr;
}

bool LocalPlayerControls(uint8_t group)
{
    const PlayerRecord* local = Controller().localPlayer;
    return local && group < 8 && local->control[group] != 0;
}

bool LocalPlayerIsSpectator()
{
    const PlayerRecord* local = Controller().localPlayer;
    return local && local->spectator != 0;
}

void DumpPlayers()
{
    ForEachPlayer([](const PlayerRecord& player) {
        char control[9] = {};
        int group = 255;
        for (size_t g = 0; g < 8; ++g) {
            control[g] = player.control[g] ? '1' : '0';
            if (player.control[g] && group == 255)
                group = static_cast<int>(g);
        }
        WriteLog("  [id=%02d] [%s - %s] team=%02d group=%02d control=%8s ready=%1d spectator=%d\n", player.id,
                 player.name.c_str(), player.accountName.c_str(), player.team, group, control, player.ready,
                 player.spectator);
    });
}

PlayerRecord& AddOrUpdatePlayer(const PlayerRecord& record, bool local)
{
    GameController& controller = Controller();
    PlayerRecord* stored = controller.FindPlayer(record.id);
    if (!stored) {
        controller.players.push_back(std::make_unique<PlayerRecord>());
        stored = controller.players.back().get();
    }
    AnimSurface* avatar = stored->avatar;
    *stored = record;
    stored->avatar = avatar;
    if (local)
        controller.localPlayer = stored;
    AssignControl();
    RebalanceTeams();
    return *stored;
}

void AddLocalPlayerIfNone()
{
    if (!Controller().players.empty())
        return;
    PlayerRecord local;
    local.name = "local";
    AddOrUpdatePlayer(local, true);
}

void AssignControl()
{
    const GameController& controller = Controller();
    for (const auto& slot : controller.players) {
        if (!slot)
            continue;
        PlayerRecord& player = *slot;
        player.control = {};
        if (player.spectator)
            continue;
        if (player.team >= kControllerGroups) {
            WriteLog("WARNING: player %d has team %d, which is no group; it controls none\n", player.id, player.team);
            continue;
        }
        if (controller.teamControl) {
            for (size_t g = 0; g < controller.groups.size(); ++g)
                if (controller.groups[g].team == player.team)
                    player.control[g] = 1;
        } else {
            player.control[player.team] = 1;
        }
    }
}

int32_t PickGroupForNewPlayer()
{
    const auto counts = PlayersPerTeam();
    const auto& groups = Controller().groups;
    int32_t best = -1;
    for (size_t g = 0; g < groups.size(); ++g)
        if (groups[g].inUse && (best < 0 || counts[g] < counts[static_cast<size_t>(best)]))
            best = static_cast<int32_t>(g);
    return best;
}

void RebalanceTeams()
{
    GameController& controller = Controller();
    if (controller.sessionKind != kSessionNetworked)
        return;
    bool changed = false;
    for (const auto& slot : controller.players) {
        if (!slot || slot->spectator)
            continue;
        PlayerRecord& player = *slot;
        if (player.team < kControllerGroups && controller.groups[player.team].inUse)
            continue;
        const int32_t group = PickGroupForNewPlayer();
        player.team = static_cast<uint8_t>(group < 0 ? 0 : group);
        SendPlayerTeamChange(player.id, player.team);
        changed = true;
    }
    if (changed)
        AssignControl();
}

void RemovePlayer(uint8_t playerId)
{
    GameController& controller = Controller();
    auto& players = controller.players;
    const auto found =
        std::find_if(players.begin(), players.end(), [&](const auto& p) { return p && p->id == playerId; });
    if (found != players.end()) {
        if (controller.localPlayer == found->get())
            controller.localPlayer = nullptr;
        ReleaseAvatar(**found);
        players.erase(found);
    }
    AssignControl();
}

int32_t CountTeamsWithPlayers()
{
    const auto counts = PlayersPerTeam();
    return static_cast<int32_t>(std::count_if(counts.begin(), counts.end(), [](int32_t c) { return c > 0; }));
}

int32_t GetNthTeamWithPlayers(int8_t n)
{
    const auto counts = PlayersPerTeam();
    int32_t seen = 0;
    for (size_t team = 0; team < counts.size(); ++team) {
        if (counts[team] == 0)
            continue;
        if (seen == n)
            return static_cast<int32_t>(team);
        ++seen;
    }
    return FirstGroupInUse();
}

void ClearReadyFlags()
{
    ForEachPlayer([](PlayerRecord& player) { player.ready = 0; });
}

void ReleasePlayerAvatars()
{
    ForEachPlayer([](PlayerRecord& player) { ReleaseAvatar(player); });
}
