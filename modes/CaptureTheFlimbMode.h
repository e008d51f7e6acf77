#pragma once
// The capture mode (index 1, "CaptureTheFlimb", prefix "kpt"): the group that leads a
// special (capturable) flimb into its own exit wins; once every special flimb has died
// nobody can win any more.
#include "modes/GameMode.h"

class CaptureTheFlimbMode : public GameMode {
public:
    // The winner group while nobody captured (255) and once nobody can (254).
    static constexpr uint8_t kNobodyYet = 255;
    static constexpr uint8_t kNobodyCan = 254;

    CaptureTheFlimbMode();

    void StartMatch() override;
    bool IsMatchOver() override;
    std::unique_ptr<FlimbsWindow5> CreateScorePanel() override;
    void GameOver() override;
    void OnGoalReached(int group, int32_t flimbId) override;
    void OnFlimbDied(int32_t flimbId) override;
    void DecideResult() override;
    GroupStats AddEndOfMatchStats(int group) override;
    void CheckLose() override;
    std::string GetObjectiveText() override;
    void HashState(ModeStateHasher& hasher) const override;

    uint8_t winnerGroup = kNobodyYet;
    bool loseShown = false;
};
