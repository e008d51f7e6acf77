#pragma once
// What the end of a single-player level adds beyond the mode's result: the final boss
// level, the result music and the unlocks that a pass may bring.
#include "modes/MatchEffects.h"

#include <functional>
#include <string>
#include <vector>

// The level the campaign ends with (its file title) and the achievement passing it gives.
constexpr const char* kFinalBossLevel = "Beatall";
constexpr const char* kFinalBossAchievement = "ACH_FINAL_BOSS";
// The speed-run achievement: "Beatall" passed with a total play time below this.
constexpr int32_t kSpeedrunSeconds = 5400;

// The result music of a global match result; empty for none.
std::string ResultMusic(int result);
// The outcome message of the single-player result pop-up.
std::string OutcomeMessage(int result);

// The FlimbMasters that a finished single-player level unlocks, as the pop-ups announcing
// them (the campaign installs it; the bonus items the level earns are announced after
// them, modes/BonusItems.h).
using UnlockHook = std::function<std::vector<EndOfLevelPopup>(const std::string& levelPath, bool passed)>;
void SetUnlockHook(UnlockHook hook);
