#pragma once
// Table-driven stand-ins for what the game modes read of the world (FakeMatchWorld) and a
// recorder of what they do beyond it (RecordingMatchEffects), plus a fixture that installs
// both and leaves no mode, option or hook behind.
#include "modes/GameModifier.h"
#include "modes/MatchEffects.h"
#include "modes/MatchWorld.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
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
        static const char* labels[kGroupCount] = {"blue", "green", "red", "grey", "white", "yellow", "orange", "purple"};
        return group >= 0 && group < kGroupCount ? labels[group] : "all";
    }
    uint32_t GroupColour(int group) const override
    {
        static const uint32_t colours[kGroupCount] = {0xFF8888FF, 0xFF88FF88, 0xFFFF4444, 0xFF888888,
                                                      0xFFFFFFFF, 0xFFFFFF00, 0xFFFF8800, 0xFF805CDF};
        return group >= 0 && group < kGroupCount ? colours[group] : 0xFFFFFFFF;
    }
    bool FindFlimb(int32_t id, FlimbInfo& flimb) const override
    {
        for (const FlimbInfo& candidate : flimbs)
            if (candidate.id == id && !candidate.exited) {
                flimb = candidate;
                return true;
            }
        return false;
    }
    std::vector<FlimbInfo> SpecialFlimbs(int) const override { return specialFlimbs; }

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
    FlimbInfo& AddFlimb(int32_t id, int group, float x = 0.0f, float y = 0.0f)
    {
        FlimbInfo flimb;
        flimb.id = id;
        flimb.group = group;
        flimb.flags = 4 | 8;
        flimb.x = x;
        flimb.y = y;
        flimbs.push_back(flimb);
        return flimbs.back();
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

    std::vector<std::pair<int, int32_t>> credits;
    std::vector<int32_t> retired;
    std::vector<std::pair<float, float>> beams;
    std::vector<int32_t> shattered;
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
