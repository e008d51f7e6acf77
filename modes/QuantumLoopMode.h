#pragma once
// The turn mode (index 5, "QuantumLoop", prefix "tl"): a single player plays the groups of
// a level one at a time. Only the active group takes orders; the orders earlier turns gave
// the other groups replay from their turn recordings, so that all groups act together in
// the end. The profile remembers whose turn is done; the level is won when every exit that
// counts has its flimbs.
#include "modes/GameMode.h"

class HorzGroupSelect;

class QuantumLoopMode : public GameMode {
public:
    // Flimbs of the level's Start and Copier traps take 100 + 1000 x trap + sequence.
    static constexpr uint32_t kTrapIdBase = 100;
    static constexpr uint32_t kTrapIdStride = 1000;

    QuantumLoopMode();
    ~QuantumLoopMode() override;

    void StartMatch() override;
    bool IsMatchOver() override;
    void SaveProgress() override;
    std::unique_ptr<FlimbsWindow5> CreateScorePanel() override;
    void GameOver() override;
    void CreateStatsWidget(xmlNode* level) override;
    void AddHudStatIcons(std::vector<GameModeStatsWidget*>& list) override;
    bool AcceptsFlimb(int32_t value) override;
    GroupStats AddEndOfMatchStats(int group) override;
    bool MayIssueMorph(int32_t flimbId, int showMessage) override;
    uint32_t NextFlimbId(int localFlag, int group, int originTrapId, int count) override;
    void BuildPreGamePanel(PrimContainer* parent) override;
    bool AcceptCommand(const uint8_t* record, size_t length) override;
    void CheckLose() override;
    std::string SaveMatchRecording(const std::string& outPath) override;
    int32_t GetLocalQdotCount() override;
    int GetActiveGroup() override;
    std::string GetObjectiveText() override;

    // "<profile>\Playbacks\Abnormal\<level><group>.flimbs".
    std::string TurnRecordingPath(int group) const;
    // Makes the group active and tells the server (unless a recorded match plays back).
    void ChooseGroup(int group);
    // Deletes the level's eight turn recordings and its "qloop" record; no turn is done.
    void ClearTurns();
    HorzGroupSelect* Picker() const { return groupPicker_.get(); }
    GameModeStatsWidget* ActiveIcon() const { return activeIcon_.get(); }

    uint8_t activeGroup = kNoGroup;
    std::array<bool, 8> turnDone{};
    std::string levelName;
    std::vector<std::vector<uint8_t>> recordedOrders;

private:
    std::unique_ptr<HorzGroupSelect> groupPicker_;
    std::unique_ptr<GameModeStatsWidget> activeIcon_;
    bool progressSaved_ = false;
};
