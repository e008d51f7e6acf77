#include "modes/CorralTheFlimbMode.h"

#include "app/LanguageTexts.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "gui/PrimContainer.h"
#include "modes/GameModeStatsWidget.h"
#include "modes/MatchEffects.h"
#include "modes/MatchOptions.h"
#include "modes/MatchWorld.h"
#include "modes/ModeOptionsPanel.h"
#include "modes/ModeStateHasher.h"

#include <algorithm>

namespace {

constexpr int kActionsExtraFlimbs = 11; // Actions traps with this action add flimbs to play

bool InRange(int group)
{
    return group >= 0 && group < kGroupCount;
}

} // namespace

CorralTheFlimbMode::CorralTheFlimbMode()
{
    modeIndex = 0;
}

CorralTheFlimbMode::~CorralTheFlimbMode() = default;

void CorralTheFlimbMode::StartMatch()
{
    stealNoticeSent = false;
    GameMode::StartMatch();
    if (groupBar)
        groupBar->ResetMaximum();
}

bool CorralTheFlimbMode::IsMatchOver()
{
    return GameMode::IsMatchOver();
}

void CorralTheFlimbMode::UpdateMessages()
{
    GameMode::UpdateMessages();
    StealNotice();
}

void CorralTheFlimbMode::StealNotice()
{
    const MatchWorld& world = World();
    if (!world.IsMultiplayerMatch() || stealNoticeSent || world.LocalIsSpectator() || world.PlaybackRunning() ||
        world.ClientHold())
        return;
    const int local = world.LocalGroup();
    if (!InRange(local) || world.GroupDone(local))
        return;
    const int32_t own = MatchFigures::Present(world, local) + MatchFigures::Waiting(world, local);
    if (own <= 0)
        return;
    const int32_t mine = MatchFigures::Saved(world, local);
    for (int g = 0; g < kGroupCount; ++g) {
        if (g == local || !MatchFigures::HasPlayers(world, g))
            continue;
        if (MatchFigures::Saved(world, g) > own + mine) {
            Effects().SendChatLine(world.LocalPlayerName() +
                                   TranslateText(" now needs to steal flimbs in order to win."));
            stealNoticeSent = true;
            return;
        }
    }
}

void CorralTheFlimbMode::GameOver()
{
    if (resultCode != kResultRunning) {
        PublishResult();
        return;
    }
    MatchWorld& world = World();
    const int local = world.LocalGroup();
    if (world.IsMultiplayerMatch()) {
        int32_t best = 0;
        int ties = 0;
        for (int g = 0; g < kGroupCount; ++g) {
            if (!MatchFigures::HasPlayers(world, g))
                continue;
            const int32_t saved = MatchFigures::Saved(world, g);
            if (saved > best) {
                best = saved;
                ties = 1;
            } else if (saved == best) {
                ++ties;
            }
        }
        int result = kResultNobodyScored;
        if (best > 0) {
            if (MatchFigures::Saved(world, local) != best)
                result = kResultLost;
            else
                result = ties == 1 ? kResultWon : kResultTie;
        }
        world.SetMatchResult(result);
    } else {
        bool short_ = false;
        for (const ExitInfo& exit : world.Exits())
            if (exit.enabled && exit.active && exit.saved < exit.required)
                short_ = true;
        world.SetMatchResult(short_ ? kResultSingleLost : kResultSingleWon);
    }
    BaseGameOver();
}

void CorralTheFlimbMode::CreateStatsWidget(xmlNode* level)
{
    GameMode::CreateStatsWidget(level);
    if (showMinimum && !groupBar)
        groupBar = std::make_unique<CorralModeStatsWidget>(this);
}

void CorralTheFlimbMode::DecideResult()
{
    const MatchWorld& world = World();
    int32_t best = 0;
    for (int g = 0; g < kGroupCount; ++g) {
        if (!MatchFigures::HasPlayers(world, g))
            continue;
        const int32_t saved = MatchFigures::Saved(world, g);
        if (saved > best) {
            best = saved;
            trackedGroup = g;
        }
    }
}

void CorralTheFlimbMode::AddHudStatIcons(std::vector<GameModeStatsWidget*>& list)
{
    GameMode::AddHudStatIcons(list);
    const MatchWorld& world = World();
    const int local = world.LocalGroup();
    if (showMinimum && !savedDisplay)
        savedDisplay = std::make_unique<GameModeStatsWidget>(local, "Graphics\\HUD\\InGame\\stats_end.png", 0xCCCCFFCC,
                                                             TranslateText("Number of flimbs saved."));
    if (savedDisplay) {
        const int32_t saved = MatchFigures::Saved(world, local);
        if (world.IsMultiplayerMatch()) {
            savedDisplay->SetValue(saved);
        } else {
            const int32_t required = MatchFigures::Required(world, local);
            savedDisplay->SetText(StringPrintf("%d/%d", saved, required));
            if (saved >= required)
                savedDisplay->SetColour(0xCC44CC44);
        }
        list.push_back(savedDisplay.get());
    }
    if (groupBar)
        list.push_back(groupBar.get());
}

GroupStats CorralTheFlimbMode::AddEndOfMatchStats(int group)
{
    const MatchWorld& world = World();
    GroupStats record(group);
    if (!world.IsMultiplayerMatch())
        AppendQdotStat(record, InRange(group) ? qdotCounts[size_t(group)] : 0, qdotTotal);
    AppendGameStat(record, world, freezeCount, group, kStatFlimbs, true);
    if (world.IsMultiplayerMatch())
        AppendGameStat(record, world, freezeCount, group, kStatStolen, true);
    AppendGameStat(record, world, freezeCount, group, kStatLost, true);
    AppendGameStat(record, world, freezeCount, group, kStatMorphs, true);
    AppendGameStat(record, world, freezeCount, group, kStatTime, true);
    return record;
}

void CorralTheFlimbMode::CheckLose()
{
    if (World().IsMultiplayerMatch())
        EliminationCheck();
    else
        SinglePlayerLoseCheck();
}

void CorralTheFlimbMode::SinglePlayerLoseCheck()
{
    const MatchWorld& world = World();
    const int local = world.LocalGroup();
    if (loseCheckFinished || (InRange(local) && world.GroupDone(local)))
        return;
    const std::vector<ExitInfo> exits = world.Exits();
    const bool anyGroupExit = std::any_of(exits.begin(), exits.end(), [](const ExitInfo& e) { return !e.groupOnly; });
    const int counted = anyGroupExit || !InRange(local) ? kAllGroups : local;
    int32_t available = MatchFigures::Present(world, counted) + MatchFigures::Waiting(world, counted) +
                        MatchFigures::Saved(world, local);
    for (const ActionsTrapInfo& trap : world.ActionsTraps())
        if (trap.action == kActionsExtraFlimbs)
            available += trap.amount;
    const int32_t needed = MatchFigures::Required(world, kAllGroups);
    if (needed >= 1 && needed > available) {
        if (loseStreak++ >= 2) {
            Effects().PostNotice(TranslateText("You do not have enough flimbs left to pass this puzzle."));
            loseCheckFinished = true;
        }
    } else {
        loseStreak = 0;
    }
}

void CorralTheFlimbMode::EliminationCheck()
{
    const MatchWorld& world = World();
    const int32_t total = MatchFigures::Present(world, kAllGroups) + MatchFigures::Waiting(world, kAllGroups);
    if (total == 0)
        return;
    const int local = world.LocalGroup();
    const int32_t mine = MatchFigures::Saved(world, local);
    for (int g = 0; g < kGroupCount; ++g) {
        if (g == local || !MatchFigures::HasPlayers(world, g))
            continue;
        if (MatchFigures::Saved(world, g) > mine + total) {
            if (loseStreak++ >= 1) {
                Effects().SendChat(world.LocalPlayerName() +
                                   TranslateText(" is now mathematically eliminated.. GIVE UP ALREADY :)"));
                loseCheckFinished = true;
            }
            return;
        }
    }
    loseStreak = 0;
}

void CorralTheFlimbMode::ApplyOptionChange(Primitive* control)
{
    if (!control || control->name != "showMinSave") {
        GameMode::ApplyOptionChange(control);
        return;
    }
    showMinimum = control->IsChecked();
    MatchEffects& effects = Effects();
    if (effects.HasGameClient())
        effects.SendGameModeState(WriteModeStateDocument(*this));
}

void CorralTheFlimbMode::WriteOptions(xmlNode* node)
{
    GameMode::WriteOptions(node);
    if (node)
        XmlAddChildInt(node, "showMinSave", showMinimum ? 1 : 0);
}

void CorralTheFlimbMode::ReadOptions(xmlNode* node, xmlNode* defaults)
{
    GameMode::ReadOptions(node, defaults);
    ReadOptionFlag(node, defaults, "showMinSave", showMinimum);
}

std::unique_ptr<PrimContainer> CorralTheFlimbMode::BuildOptionsPanel(LayoutEngine*)
{
    ModeOptionsPanel built = BeginOptionsPanel();
    if (!World().IsMultiplayerMatch())
        built.AddCheckBox("showMinSave", "Min. Stat", "Render the `minimum flimbs` stat in singleplayer.", showMinimum);
    return built.Finish();
}

std::string CorralTheFlimbMode::GetObjectiveText()
{
    const MatchWorld& world = World();
    if (world.IsMultiplayerMatch())
        return TranslateText("Beam up more flimbs than any other group to win.  Stealing is allowed.");
    const int32_t required = MatchFigures::Required(world, 0);
    const int32_t waiting = MatchFigures::Waiting(world, 0);
    const std::string goal = TranslateText("Flimbs must be saved to pass");
    if (waiting == 0)
        return StringPrintf("%d %s", required, goal.c_str());
    return StringPrintf("%d %s (%.0f%%)", required, goal.c_str(), double(required) / double(waiting) * 100.0);
}

void CorralTheFlimbMode::HashState(ModeStateHasher& hasher) const
{
    GameMode::HashState(hasher);
    hasher.Add(showMinimum);
}

bool CorralTheFlimbMode::IsOptionKey(const std::string& key) const
{
    return key == "showMinSave" || GameMode::IsOptionKey(key);
}
