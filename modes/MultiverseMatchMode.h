#pragma once
// The race mode (index 4, "MultiverseMatch", prefix "ar"): every group plays the puzzle in
// its own universe (a vertical strip of the world) and scores the point value of each flimb
// it brings home; the highest score wins. In single player the opponent is the FlimbMaster:
// the "fm_group" group, whose flimbs replay a recorded solution at the chosen difficulty.
// Sabotage flimbs stand in the opponents' universes; the shift modifier moves flimbs there.
#include "modes/GameMode.h"

class ArcadeModeStatsWidget;
struct FlimbInfo;

class MultiverseMatchMode : public GameMode {
public:
    enum Difficulty : int { kEasy = 0, kMedium = 1, kHard = 2 };
    // Flimbs made in the other universe take their ids from here on.
    static constexpr int32_t kOtherUniverseIds = 10000;
    // Updates between the FlimbMaster being found beaten and its concession.
    static constexpr uint32_t kConcessionDelay = 100;

    MultiverseMatchMode();
    ~MultiverseMatchMode() override;

    void StartMatch() override;
    bool IsMatchOver() override;
    void UpdateMessages() override;
    void GameOver() override;
    void CreateStatsWidget(xmlNode* level) override;
    void OnGoalReached(int group, int32_t flimbId) override;
    void OnFlimbDied(int32_t flimbId) override;
    void DecideResult() override;
    void AddHudStatIcons(std::vector<GameModeStatsWidget*>& list) override;
    GroupStats AddEndOfMatchStats(int group) override;
    uint32_t NextFlimbId(int localFlag, int group, int originTrapId, int count) override;
    void BuildPreGamePanel(PrimContainer* parent) override;
    void CheckLose() override;
    bool IsSinglePlayerAid() override;
    std::vector<GroupStats> BuildResultTable() override;
    void ApplyOptionChange(Primitive* control) override;
    void WriteOptions(xmlNode* node) override;
    void ReadOptions(xmlNode* node, xmlNode* defaults) override;
    std::unique_ptr<PrimContainer> BuildOptionsPanel(LayoutEngine* layout) override;
    std::string GetObjectiveText() override;
    void HashState(ModeStateHasher& hasher) const override;
    bool IsOptionKey(const std::string& key) const override;

    // BATTLESKILL: 0 Easy, 1 Medium, 2 Hard; anything else is logged and ignored. A new
    // difficulty chosen after the match started but before its first update has the
    // FlimbMaster play that difficulty's recording.
    bool SetDifficulty(int32_t value);
    // The most the group can still reach: its unreleased flimbs at the highest point value,
    // its score and the points of its flimbs in play.
    int32_t Potential(int group) const;
    // "Level\Battles\fm_<level><suffix>.flimbs" for a level path and a difficulty.
    static std::string RecordingPath(const std::string& levelPath, int difficulty);
    // Which difficulty buttons the panel enables (Easy always; Medium and Hard when their
    // recording exists and the difficulty below was beaten, or whenever "nukebattle" is 0).
    std::array<bool, 3> EnabledDifficulties() const;
    ArcadeModeStatsWidget* StatsWidget() const { return statsWidget_.get(); }

    bool sabotage = false;    // "sabotage_flimbs"
    bool bigSabotage = false; // "big_sabotage"
    bool shift = false;       // "shiftFlimb"
    std::array<int32_t, 8> scores{};
    // The sabotage flimb of group i standing in group j's universe (-1: none).
    std::array<std::array<int32_t, 8>, 8> sabotageIds{};
    std::array<uint32_t, 8> firstScore{};
    uint32_t concededAt = 0;
    int32_t flimbMasterGroup = 1; // "fm_group"
    int32_t difficulty = kEasy;
    int32_t startPotential = 0;
    bool waitingShown = false;
    int32_t otherUniverseCounter = 0;

private:
    void FillSabotageIds(const std::vector<FlimbInfo>& specials);
    // In single player, outside playbacks: the FlimbMaster's recording of the difficulty
    // goes into the playback slots.
    void LoadFlimbMasterRecording();
    void MakeShiftModifier();

    std::unique_ptr<ArcadeModeStatsWidget> statsWidget_;
    bool started_ = false; // StartMatch ran
};

