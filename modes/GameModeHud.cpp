// What the base game mode shows in the HUD: its statistics widgets and its score panel.
#include "app/LanguageTexts.h"
#include "app/StringUtil.h"
#include "modes/GameMode.h"
#include "modes/GameModeStatsWidget.h"
#include "modes/MatchWorld.h"
#include "modes/ScorePanels.h"

namespace {

constexpr const char* kStatFolder = "Graphics\\HUD\\InGame\\";

std::string StatIcon(const char* stem, bool allGroups)
{
    return std::string(kStatFolder) + stem + (allGroups ? "all" : "{group-label}") + ".png";
}

} // namespace

std::unique_ptr<FlimbsWindow5> GameMode::CreateScorePanel()
{
    auto panel = std::make_unique<SavedMeterScoreWindow>(*this);
    const char* title = Info(modeIndex).displayTitle;
    panel->SetTitle(title ? TranslateText(title) : std::string());
    return panel;
}

void GameMode::AddHudStatIcons(std::vector<GameModeStatsWidget*>& list)
{
    const MatchWorld& world = World();
    const int local = world.LocalGroup();
    const bool inRange = local >= 0 && local < kGroupCount;
    const bool allGroups = modeIndex == 5;
    auto make = [&](size_t slot, const char* stem, uint32_t colour, const char* tip) {
        if (!hudStats[slot])
            hudStats[slot] = std::make_unique<GameModeStatsWidget>(
                local, stem ? StatIcon(stem, allGroups) : std::string(kStatFolder) + "stat_qdot.png", colour,
                TranslateText(tip));
        return hudStats[slot].get();
    };
    GameModeStatsWidget* flimbs = make(0, "stat_flimb_", 0xCCFFFFFF, "Number of active flimbs.");
    flimbs->SetValue(inRange ? world.Tally(local).total : 0);
    list.push_back(flimbs);
    GameModeStatsWidget* stored = make(1, "stat_start_", 0xCCBBBBBB, "Number of stored flimbs.");
    stored->SetValue(world.CountUnreleased(inRange ? local : kAllGroups, true));
    list.push_back(stored);
    if (!world.IsMultiplayerMatch()) {
        GameModeStatsWidget* qdots = make(2, nullptr, 0xCCFFCC88, "QDots");
        const int32_t count = GetLocalQdotCount();
        qdots->SetText(StringPrintf("%d/%d", count, qdotTotal));
        if (qdotTotal > 0 && count >= qdotTotal)
            qdots->SetColour(0x88FF8800);
        list.push_back(qdots);
    }
    GameModeStatsWidget* lost = make(3, "stat_lost_", 0xCCFFBBBB, "Number of flimbs lost.");
    lost->SetValue(inRange ? world.GroupStats(local).lost : 0);
    list.push_back(lost);
}
