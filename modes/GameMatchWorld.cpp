// The game's MatchWorld: what the rules read of the running game. The parts of the world
// that exist are read here; the rest answer as an empty world until the game state, the
// flimbs and the traps publish them (each marked "world seam").
#include "modes/MatchWorld.h"

#include "app/PlayerProfile.h"
#include "game/GameServices.h"
#include "multiplayer/MultiplayerServices.h"

namespace {

constexpr const char* kGroupLabels[kGroupCount] = {"blue", "green", "red", "grey", "white", "yellow", "orange", "purple"};
constexpr uint32_t kGroupColours[kGroupCount] = {0xFF8888FF, 0xFF88FF88, 0xFFFF4444, 0xFF888888,
                                                 0xFFFFFFFF, 0xFFFFFF00, 0xFFFF8800, 0xFF805CDF};

class GameWorldAdapter final : public MatchWorld {
public:
    uint32_t UpdateCounter() const override { return gameUpdateCounter; }
    // World seam: the game clock beside the update counter (71 ms an update).
    uint32_t GameClockMs() const override { return gameUpdateCounter * 71u; }
    uint32_t LevelStartMs() const override { return 0; }

    // World seam: the match globals and the player list of the game controller.
    bool IsMultiplayerMatch() const override { return false; }
    int MatchState() const override { return controllerGlobals.levelRunning ? 1 : 0; }
    int LocalGroup() const override { return 0; }
    bool LocalIsSpectator() const override { return false; }
    std::string LocalPlayerName() const override { return CurrentPlayerName; }
    bool PlaybackRunning() const override { return false; }
    bool ClientHold() const override { return false; }
    bool GroupDone(int) const override { return false; }
    bool EditorTestPlay() const override { return false; }
    std::string LevelPath() const override { return {}; }
    int GameType() const override { return 0; }
    std::vector<MatchPlayer> Players() const override { return {}; }
    bool AllGroupsActive() const override { return allGroupsActive; }
    int MatchResult() const override { return matchResult_; }
    void SetMatchResult(int result) override { matchResult_ = result; }
    int EndStatus() const override { return endStatus_; }
    void SetEndStatus(int status) override { endStatus_ = status; }

    // World seam: tallies, statistics blocks, traps and particles.
    GroupTally Tally(int) const override { return {}; }
    int32_t CountUnreleased(int, bool) const override { return 0; }
    GroupStatsBlock GroupStats(int) const override { return {}; }
    std::vector<ExitInfo> Exits() const override { return {}; }
    std::vector<ActionsTrapInfo> ActionsTraps() const override { return {}; }
    std::vector<FrozenFlimbTrapInfo> FrozenFlimbTraps() const override { return {}; }
    std::vector<SlugTrapInfo> SlugTraps() const override { return {}; }
    int CountTrapsOfKind(int) const override { return 0; }
    int ParticleCount() const override { return 0; }
    int CountEnabledGroups() const override { return 0; }
    // World seam: the labels and colours of the action-sprite spec's group table.
    std::string GroupLabel(int group) const override
    {
        return group >= 0 && group < kGroupCount ? kGroupLabels[group] : "all";
    }
    uint32_t GroupColour(int group) const override
    {
        return group >= 0 && group < kGroupCount ? kGroupColours[group] : 0xFFFFFFFF;
    }
    bool FindFlimb(int32_t, FlimbInfo&) const override { return false; }
    std::vector<FlimbInfo> SpecialFlimbs(int) const override { return {}; }

    // World seam: the flimb table's id counter and the flimb and particle operations.
    uint32_t TakeFlimbId() override { return nextFlimbId_++; }
    void CreditFlimb(int, int32_t) override {}
    void RetireExitedFlimb(int32_t) override {}
    void SpawnBeamUp(float, float) override {}
    void ShatterSlug(int32_t) override {}

private:
    int matchResult_ = 0;
    int endStatus_ = -1;
    uint32_t nextFlimbId_ = 0;
};

} // namespace

MatchWorld& GameMatchWorld()
{
    static GameWorldAdapter adapter;
    return adapter;
}
