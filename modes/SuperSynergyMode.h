#pragma once
// The co-operative mode (index 6, "SuperSynergy", prefix "ss"): every group works on one
// puzzle and the level's own goal ends the match. No fields and no options of its own.
#include "modes/GameMode.h"

class SuperSynergyMode : public GameMode {
public:
    SuperSynergyMode();

    bool IsMatchOver() override;
    void GameOver() override;
    GroupStats AddEndOfMatchStats(int group) override;
    std::string GetObjectiveText() override;
};
