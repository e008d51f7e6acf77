#pragma once
// The rescue mode (index 0, "CorralTheFlimb", prefix "dm"): flimbs leave the start traps
// and are led into the exits. A single player passes when every exit has its minimum; in
// a multiplayer match the group with the most saved flimbs wins, stealing allowed. Also the
// mode an unknown mode name gives.
#include "modes/GameMode.h"

class CorralModeStatsWidget;

class CorralTheFlimbMode : public GameMode {
public:
    CorralTheFlimbMode();
    ~CorralTheFlimbMode() override;

    void StartMatch() override;
    bool IsMatchOver() override;
    void UpdateMessages() override;
    void GameOver() override;
    void CreateStatsWidget(xmlNode* level) override;
    void DecideResult() override;
    void AddHudStatIcons(std::vector<GameModeStatsWidget*>& list) override;
    GroupStats AddEndOfMatchStats(int group) override;
    void CheckLose() override;
    void ApplyOptionChange(Primitive* control) override;
    void WriteOptions(xmlNode* node) override;
    void ReadOptions(xmlNode* node, xmlNode* defaults) override;
    std::unique_ptr<PrimContainer> BuildOptionsPanel(LayoutEngine* layout) override;
    std::string GetObjectiveText() override;
    void HashState(ModeStateHasher& hasher) const override;
    bool IsOptionKey(const std::string& key) const override;

    CorralModeStatsWidget* GroupBar() const { return groupBar.get(); }
    GameModeStatsWidget* SavedDisplay() const { return savedDisplay.get(); }

    bool stealNoticeSent = false;
    bool showMinimum = true;
    std::unique_ptr<GameModeStatsWidget> savedDisplay;
    std::unique_ptr<CorralModeStatsWidget> groupBar;

private:
    void SinglePlayerLoseCheck();
    void EliminationCheck();
    void StealNotice();
};
