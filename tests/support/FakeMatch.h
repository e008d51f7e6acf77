#pragma once
// Table-driven stand-ins for what the game modes read of the world (FakeMatchWorld) and a
// recorder of what they do beyond it (RecordingMatchEffects), plus a fixture that installs
// both and leaves no mode, option or hook behind.
#include "modes/GameModifier.h"
#include "modes/MatchEffects.h"
#include "modes/MatchWorld.h"

#include <gtest/gtest.h>

#include "app/UserFolders.h"
#include "world/Groups.h"

#include <array>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class FakeMatchWorld : public MatchWorld {
public:
    FakeMatchWorld()
    {
        for (GroupStatsBlock& block : stats)
            block.enabled = false;
    }

    uint32_t UpdateCounter() const override { return updateCounter; }
    uint32_t GameClockMs() const override { return clockMs; }
    uint32_t LevelStartMs() const override { return levelStartMs; }
    bool IsMultiplayerMatch() const override { return multiplayer; }
    int MatchState() const override { return matchState; }
    int LocalGroup() const override { return localGroup; }
    bool LocalIsSpectator() const override { return spectator; }
    std::string LocalPlayerName() const override { return localName; }
    bool PlaybackRunning() const override { return playback; }
    bool ClientHold() const override { return hold; }
    bool GroupDone(int group) const override { return group >= 0 && group < kGroupCount && done[size_t(group)]; }
    bool EditorTestPlay() const override { return editorTest; }
    std::string LevelPath() const override { return levelPath; }
    std::string LevelTitle() const override { return levelTitle; }
    int GameType() const override { return gameType; }
    std::vector<MatchPlayer> Players() const override { return players; }
    bool AllGroupsActive() const override { return allGroupsActive; }
    int MatchResult() const override { return matchResult; }
    void SetMatchResult(int result) override { matchResult = result; }
    int EndStatus() const override { return endStatus; }
    void SetEndStatus(int status) override { endStatus = status; }

    GroupTally Tally(int group) const override
    {
        return group >= 0 && group < kGroupCount ? tallies[size_t(group)] : GroupTally{};
    }
    int32_t CountUnreleased(int group, bool copiers) const override
    {
        int32_t sum = 0;
        for (int g = 0; g < kGroupCount; ++g)
            if (group == kAllGroups || group == g)
                sum += startWaiting[size_t(g)] + (copiers ? copierWaiting[size_t(g)] : 0);
        return sum;
    }
    GroupStatsBlock GroupStats(int group) const override
    {
        return group >= 0 && group < kGroupCount ? stats[size_t(group)] : GroupStatsBlock{};
    }
    std::vector<ExitInfo> Exits() const override { return exits; }
    std::vector<ActionsTrapInfo> ActionsTraps() const override { return actionsTraps; }
    std::vector<FrozenFlimbTrapInfo> FrozenFlimbTraps() const override { return frozenTraps; }
    std::vector<SlugTrapInfo> SlugTraps() const override { return slugs; }
    int CountTrapsOfKind(int kind) const override
    {
        const auto it = trapCounts.find(kind);
        return it == trapCounts.end() ? 0 : it->second;
    }
    int ParticleCount() const override { return particles; }
    int CountEnabledGroups() const override { return enabledGroups; }
    std::string GroupLabel(int group) const override
    {
        return group >= 0 && group < kGroupCount ? kGroupNames[size_t(group)] : "all";
    }
    uint32_t GroupColour(int group) const override
    {
        return group >= 0 && group < kGroupCount ? kGroupColours[size_t(group)] : 0xFFFFFFFF;
    }
    bool FindFlimb(int32_t id, FlimbInfo& flimb) const override
    {
        for (const FlimbInfo& candidate : flimbs)
            if (candidate.id == id && IsLive(candidate)) {
                flimb = candidate;
                return true;
            }
        return false;
    }
    bool FindRecord(int32_t id, FlimbInfo& flimb) const override
    {
        for (const FlimbInfo& candidate : flimbs)
            if (candidate.id == id && !candidate.exited) {
                flimb = candidate;
                return true;
            }
        return false;
    }
    // The table's special flimbs; without one, the live flimbs marked capturable.
    std::vector<FlimbInfo> SpecialFlimbs(int group) const override
    {
        if (!specialFlimbs.empty())
            return specialFlimbs;
        std::vector<FlimbInfo> found;
        for (const FlimbInfo& flimb : Flimbs())
            if ((flimb.marks & kFlimbMarkSpecial) && (group == kAllGroups || flimb.group == group))
                found.push_back(flimb);
        return found;
    }

    bool IsHost() const override { return host; }
    bool RecordedPlayback() const override { return recordedPlayback; }
    int32_t HighestFlimbValue() const override { return highestValue; }
    int32_t WorldWidth() const override { return worldWidth; }
    int32_t HighlightedFlimb() const override { return highlighted; }
    bool CarrierControlOverride() const override { return carrierOverride; }
    int TieBreakGroup() const override { return tieBreakGroup; }
    void SetFlimbMasterGroup(int group) override { flimbMasterGroup = group; }
    void SetMatchResultDetail(int detail) override { resultDetail = detail; }
    std::vector<FlimbInfo> Flimbs() const override
    {
        std::vector<FlimbInfo> live;
        for (const FlimbInfo& flimb : flimbs)
            if (IsLive(flimb))
                live.push_back(flimb);
        return live;
    }
    std::vector<FlimbInfo> FlimbsNear(float x, float y, int group) const override
    {
        std::vector<FlimbInfo> found;
        for (const FlimbInfo& flimb : Flimbs())
            if ((group == kAllGroups || flimb.group == group) && x >= flimb.left && x <= flimb.right &&
                y >= flimb.top && y <= flimb.bottom)
                found.push_back(flimb);
        return found;
    }
    std::vector<FlimbInfo> FlimbsInArea(float left, float top, float right, float bottom) const override
    {
        std::vector<FlimbInfo> found;
        for (const FlimbInfo& flimb : Flimbs())
            if (flimb.left < right && flimb.right > left && flimb.top < bottom && flimb.bottom > top)
                found.push_back(flimb);
        return found;
    }
    std::vector<int32_t> ObjectsAt(float x, float y) const override
    {
        std::vector<int32_t> ids;
        for (const FlimbInfo& flimb : FlimbsNear(x, y, kAllGroups))
            ids.push_back(flimb.id);
        return ids;
    }
    std::vector<StartTrapInfo> StartTraps() const override { return startTraps; }
    std::vector<int32_t> CopierTrapIds() const override { return copierIds; }
    std::vector<ParticleInfo> ParticleTraps() const override { return particleTraps; }

    void SetFlimbFlags(int32_t id, uint8_t bits, bool on) override
    {
        if (FlimbInfo* flimb = Any(id))
            flimb->flags = on ? uint8_t(flimb->flags | bits) : uint8_t(flimb->flags & ~bits);
    }
    void SetPassCooldown(int32_t id, int updates) override
    {
        if (FlimbInfo* flimb = Any(id))
            flimb->passCooldown = updates;
    }
    void SetSizeFactor(int32_t id, float factor) override
    {
        if (FlimbInfo* flimb = Any(id))
            flimb->sizeFactor = factor;
    }
    void TakeOutOfPlay(int32_t id) override
    {
        if (FlimbInfo* flimb = Live(id)) {
            flimb->flags &= uint8_t(~kFlimbFlagLive);
            Uncount(*flimb);
            outOfPlay.push_back(id);
        }
    }
    void SetFlimbPoints(int32_t id, int32_t points) override
    {
        if (FlimbInfo* flimb = Any(id))
            flimb->points = points;
    }
    void KillFlimb(int32_t id) override
    {
        if (FlimbInfo* flimb = Live(id)) {
            flimb->flags &= uint8_t(~kFlimbFlagLive);
            flimb->type = kFlimbTypeSplat;
            Uncount(*flimb);
            killed.push_back(id);
        }
    }
    void MoveFlimbX(int32_t id, int32_t x) override
    {
        if (FlimbInfo* flimb = Live(id))
            Place(*flimb, float(x), flimb->y);
    }
    int32_t CopyFlimb(int32_t id, int32_t x) override
    {
        FlimbInfo* flimb = Live(id);
        if (!flimb)
            return -1;
        FlimbInfo copy = *flimb;
        copy.id = int32_t(TakeFlimbId());
        Place(copy, float(x), copy.y);
        flimbs.push_back(copy);
        if (copy.group >= 0 && copy.group < kGroupCount) {
            ++tallies[size_t(copy.group)].total;
            ++tallies[size_t(copy.group)].live;
        }
        copies.push_back(copy.id);
        return copy.id;
    }
    void SetParticleCarrier(int32_t trapId, int32_t flimbId) override
    {
        if (ParticleInfo* particle = Particle(trapId))
            particle->carrierId = flimbId;
    }
    void PlaceParticle(int32_t trapId, float x, float y) override
    {
        if (ParticleInfo* particle = Particle(trapId)) {
            particle->x = x;
            particle->y = y;
        }
    }
    void SetParticleActive(int32_t trapId, bool active) override
    {
        if (ParticleInfo* particle = Particle(trapId))
            particle->active = active;
    }

    uint32_t TakeFlimbId() override { return nextFlimbId++; }
    // Credits the flimb as the game state does: the exit's group gains it, a flimb of
    // another group counts as stolen, and the save is remembered with the flimb's group.
    void CreditFlimb(int exitGroup, int32_t flimbId) override
    {
        credits.emplace_back(exitGroup, flimbId);
        FlimbInfo flimb;
        if (!FindFlimb(flimbId, flimb) || exitGroup < 0 || exitGroup >= kGroupCount)
            return;
        GroupStatsBlock& block = stats[size_t(exitGroup)];
        block.savedFrom.push_back(uint8_t(flimb.group));
        if (flimb.group != exitGroup)
            ++block.stolen;
        for (ExitInfo& exit : exits)
            if (exit.group == exitGroup) {
                ++exit.saved;
                break;
            }
    }
    void RetireExitedFlimb(int32_t flimbId) override
    {
        retired.push_back(flimbId);
        for (FlimbInfo& flimb : flimbs)
            if (flimb.id == flimbId && !flimb.exited) {
                flimb.exited = true;
                if (flimb.group >= 0 && flimb.group < kGroupCount) {
                    --tallies[size_t(flimb.group)].total;
                    --tallies[size_t(flimb.group)].live;
                }
            }
    }
    // The beam-up effect's particles live in the pool like any others.
    void SpawnBeamUp(float x, float y) override
    {
        beams.emplace_back(x, y);
        particles += beamParticles;
    }
    void ShatterSlug(int32_t trapId) override
    {
        shattered.push_back(trapId);
        for (SlugTrapInfo& slug : slugs)
            if (slug.id == trapId)
                slug.active = false;
    }

    // Table helpers.
    void AddPlayer(int number, int group, const std::string& name, bool isSpectator = false)
    {
        players.push_back(MatchPlayer{number, group, name, isSpectator});
        if (group >= 0 && group < kGroupCount)
            stats[size_t(group)].enabled = true;
    }
    ExitInfo& AddExit(int group, int32_t saved, int32_t required)
    {
        ExitInfo exit;
        exit.id = 1000 + int32_t(exits.size());
        exit.group = group;
        exit.saved = saved;
        exit.required = required;
        exits.push_back(exit);
        return exits.back();
    }
    // total flimbs in play (all live) for a group.
    void SetInPlay(int group, int32_t count)
    {
        tallies[size_t(group)].total = count;
        tallies[size_t(group)].live = count;
    }
    // A live, orderable flimb standing on the floor with its feet at (x, y): a box 16 wide
    // and 30 high, 13023 points.
    FlimbInfo& AddFlimb(int32_t id, int group, float x = 0.0f, float y = 0.0f)
    {
        FlimbInfo flimb;
        flimb.id = id;
        flimb.group = group;
        flimb.flags = kFlimbFlagLive | kFlimbFlagOrderable;
        flimb.height = 30.0f;
        flimb.points = 13023;
        Place(flimb, x, y);
        flimbs.push_back(flimb);
        return flimbs.back();
    }
    // Moves a flimb with its box (16 wide, its height high, standing on the floor).
    static void Place(FlimbInfo& flimb, float x, float y)
    {
        flimb.x = x;
        flimb.y = y;
        const float halfWidth = 8.0f * flimb.sizeFactor;
        flimb.left = x - halfWidth;
        flimb.right = x + halfWidth;
        flimb.top = y - flimb.height;
        flimb.bottom = y;
    }
    FlimbInfo* Live(int32_t id)
    {
        for (FlimbInfo& flimb : flimbs)
            if (flimb.id == id && IsLive(flimb))
                return &flimb;
        return nullptr;
    }
    FlimbInfo* Any(int32_t id)
    {
        for (FlimbInfo& flimb : flimbs)
            if (flimb.id == id)
                return &flimb;
        return nullptr;
    }
    ParticleInfo* Particle(int32_t trapId)
    {
        for (ParticleInfo& particle : particleTraps)
            if (particle.id == trapId)
                return &particle;
        return nullptr;
    }
    static bool IsLive(const FlimbInfo& flimb) { return (flimb.flags & kFlimbFlagLive) && !flimb.exited; }
    void Uncount(const FlimbInfo& flimb)
    {
        if (flimb.group >= 0 && flimb.group < kGroupCount) {
            --tallies[size_t(flimb.group)].total;
            --tallies[size_t(flimb.group)].live;
        }
    }
    // Enables the groups in the level (their universe strips), leaving the players alone.
    void EnableGroups(std::initializer_list<int> groups)
    {
        for (int g : groups)
            stats[size_t(g)].enabled = true;
        enabledGroups = int(groups.size());
    }

    uint32_t updateCounter = 1;
    uint32_t clockMs = 0;
    uint32_t levelStartMs = 0;
    bool multiplayer = false;
    int matchState = 1;
    int localGroup = 0;
    bool spectator = false;
    std::string localName = "Tester";
    bool playback = false;
    bool hold = false;
    std::array<bool, kGroupCount> done{};
    bool editorTest = false;
    std::string levelPath = "Level\\s_dm_fixture.flevel";
    std::string levelTitle;
    int gameType = 1;
    std::vector<MatchPlayer> players;
    bool allGroupsActive = false;
    int matchResult = 0;
    int endStatus = -1;
    std::array<GroupTally, kGroupCount> tallies{};
    std::array<int32_t, kGroupCount> startWaiting{};
    std::array<int32_t, kGroupCount> copierWaiting{};
    std::array<GroupStatsBlock, kGroupCount> stats{};
    std::vector<ExitInfo> exits;
    std::vector<ActionsTrapInfo> actionsTraps;
    std::vector<FrozenFlimbTrapInfo> frozenTraps;
    std::vector<SlugTrapInfo> slugs;
    std::map<int, int> trapCounts;
    int particles = 0;
    int beamParticles = 12;
    int enabledGroups = 0;
    std::vector<FlimbInfo> flimbs;
    std::vector<FlimbInfo> specialFlimbs;
    uint32_t nextFlimbId = 0;
    bool host = true;
    bool recordedPlayback = false;
    int32_t highestValue = 13023;
    int32_t worldWidth = 1200;
    int32_t highlighted = -1;
    bool carrierOverride = false;
    int tieBreakGroup = 0;
    int flimbMasterGroup = -1;
    int resultDetail = -1;
    std::vector<StartTrapInfo> startTraps;
    std::vector<int32_t> copierIds;
    std::vector<ParticleInfo> particleTraps;

    std::vector<std::pair<int, int32_t>> credits;
    std::vector<int32_t> retired;
    std::vector<std::pair<float, float>> beams;
    std::vector<int32_t> shattered;
    std::vector<int32_t> outOfPlay;
    std::vector<int32_t> killed;
    std::vector<int32_t> copies;
};

class RecordingMatchEffects : public MatchEffects {
public:
    void SendChat(const std::string& text) override { chats.push_back(text); }
    void SendChatLine(const std::string& text) override { chatLines.push_back(text); }
    void PostNotice(const std::string& text) override
    {
        notices.push_back(text);
        effects.push_back(12);
    }
    bool HasGameClient() const override { return hasClient; }
    void SendGameModeState(const std::string& xml) override { modeStates.push_back(xml); }
    void SendUpdateGroup(int group) override { groupUpdates.push_back(group); }
    void SendModifierState(int type, int32_t flimbId) override { modifierStates.emplace_back(type, flimbId); }
    void SendNetBash(const NetBashRequest& bash) override { bashes.push_back(bash); }
    void SendUpdateFlimbType(int32_t flimbId, int type, int subKind, int32_t argument) override
    {
        typeUpdates.push_back({flimbId, type, subKind, argument});
    }
    void SendHighlight(int32_t flimbId) override { highlights.push_back(flimbId); }
    void SendTeamChange(int group) override { teamChanges.push_back(group); }
    void SendBattleSkill(int difficulty) override { battleSkills.push_back(difficulty); }
    void SendSetHostVariable(int variable, int32_t value) override { hostVariables.emplace_back(variable, value); }
    int ServerState() const override { return serverState; }
    void FreezeServer() override
    {
        resumeState = serverState;
        serverState = 4;
        ++freezeBroadcasts;
    }
    void ThawServer() override { serverState = resumeState; }
    void PlayEffect(int effect) override { effects.push_back(effect); }
    void PlayEffectAt(int effect, float, float) override { effects.push_back(effect); }
    void PlayMusic(const std::string& file) override { music.push_back(file); }
    std::string SavePlayback(const std::string& outPath) override
    {
        playbackRequests.push_back(outPath);
        return savedPlaybackPath;
    }
    void ClearPlaybackSlots() override
    {
        ++slotClears;
        slots.clear();
    }
    // Loads what exists on disk (under the user folder) or is listed as loadable.
    bool LoadPlayback(const std::string& path) override
    {
        loadRequests.push_back(path);
        bool ok = loadable.count(path) != 0;
        if (!ok) {
            std::error_code error;
            ok = std::filesystem::is_regular_file(GetUserPath(path), error);
        }
        if (ok)
            slots.push_back(path);
        return ok;
    }
    std::string SavePlaybackAs(const std::string& path) override
    {
        savedAs.push_back(path);
        return path;
    }
    void LoadCheckpoint(bool automatic, int slot) override { checkpointLoads.emplace_back(automatic, slot); }
    void RefreshHudCheckpoints() override { ++checkpointRefreshes; }
    void ShowDamageLabel(int32_t flimbId, const std::string& text) override { damageLabels.emplace_back(flimbId, text); }
    bool IsHudOpen() const override { return hudOpen; }
    void CloseHudPopups() override { ++popupCloses; }
    void AttachModifier(GameModifier* modifier) override { attached.push_back(modifier); }
    void ShowEndOfMatchScreen(std::vector<GroupStats> table) override
    {
        endScreens.push_back(std::move(table));
        effects.push_back(19);
    }
    void QueueEndOfLevelPopups(const std::vector<EndOfLevelPopup>& queued) override
    {
        popups.insert(popups.end(), queued.begin(), queued.end());
        if (!queued.empty())
            effects.push_back(19);
    }
    void UploadResult(const std::string& levelPath) override { uploads.push_back(levelPath); }

    bool hasClient = false;
    bool hudOpen = false;
    int serverState = 1;
    int resumeState = 0;
    int freezeBroadcasts = 0;
    std::string savedPlaybackPath = "Profiles\\tester\\Playbacks\\s_dm_fixture-1.flimbs";

    std::vector<std::string> chats;
    std::vector<std::string> chatLines;
    std::vector<std::string> notices;
    std::vector<std::string> modeStates;
    std::vector<int> effects;
    std::vector<std::string> music;
    std::vector<std::string> playbackRequests;
    int popupCloses = 0;
    std::vector<GameModifier*> attached;
    std::vector<std::vector<GroupStats>> endScreens;
    std::vector<EndOfLevelPopup> popups;
    std::vector<std::string> uploads;
    struct TypeUpdate {
        int32_t flimbId;
        int type;
        int subKind;
        int32_t argument;
        bool operator==(const TypeUpdate&) const = default;
    };
    std::vector<int> groupUpdates;
    std::vector<std::pair<int, int32_t>> modifierStates;
    std::vector<NetBashRequest> bashes;
    std::vector<TypeUpdate> typeUpdates;
    std::vector<int32_t> highlights;
    std::vector<int> teamChanges;
    std::vector<int> battleSkills;
    std::vector<std::pair<int, int32_t>> hostVariables;
    int slotClears = 0;
    std::vector<std::string> slots;
    std::vector<std::string> loadRequests;
    std::set<std::string> loadable;
    std::vector<std::string> savedAs;
    std::vector<std::pair<bool, int>> checkpointLoads;
    int checkpointRefreshes = 0;
    std::vector<std::pair<int32_t, std::string>> damageLabels;
};

// Installs a fresh fake world and effects recorder for each test; afterwards no current
// mode, no modifier maker and the constructor's option values remain.
class MatchFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    FakeMatchWorld world;
    RecordingMatchEffects effects;
};
