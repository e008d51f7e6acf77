#include "modes/MultiverseMatchMode.h"

#include "app/ConsoleParam.h"
#include "app/KeyBindings.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/Label.h"
#include "gui/PrimContainer.h"
#include "gui/TextButtons.h"
#include "modes/ArcadeModeStatsWidget.h"
#include "modes/GameModifier.h"
#include "modes/MatchEffects.h"
#include "modes/MatchOptions.h"
#include "modes/MatchWorld.h"
#include "modes/ModeFiles.h"
#include "modes/ModeOptionsPanel.h"
#include "modes/ModeStateHasher.h"

#include <cstdlib>

namespace {

ConsoleParam g_nukeBattle("nukebattle", ConsoleParamType::Int, "1",
                          "1: a beaten FlimbMaster concedes and its difficulties open in order; 0: neither");

bool NukeBattle()
{
    return g_nukeBattle.GetInt() != 0;
}

bool InRange(int group)
{
    return group >= 0 && group < kGroupCount;
}

constexpr const char* kDifficultySuffix[3] = {"", "-m", "-h"};
constexpr const char* kHeadIcon = "Graphics\\Menu\\IconButton\\flimb_head2.png";
constexpr uint32_t kEnabledColour = 0xFF808080;
constexpr uint32_t kDisabledColour = 0xFF404040;

struct DifficultyRow {
    const char* caption;
    const char* description;
};
constexpr DifficultyRow kDifficultyRows[3] = {
    {"Easy", "The FlimbMaster may let a few flimbs perish."},
    {"Medium", "The FlimbMaster will save almost as many flimbs as possible."},
    {"Hard", "The FlimbMaster's best solution."},
};

struct FlagOption {
    const char* key;
    bool MultiverseMatchMode::*field;
    const char* caption;
    const char* tip;
    const char* announcement;
};
constexpr FlagOption kFlagOptions[] = {
    {"sabotage_flimbs", &MultiverseMatchMode::sabotage, "Sabotage Flimbs",
     "If checked then sabotage flimbs will be placed in the other groups universe, if available.",
     "Sabotage flimbs are now "},
    {"big_sabotage", &MultiverseMatchMode::bigSabotage, "Big Flimb", "Make the sabotage flimbs big!",
     "Big sabotage flimbs are now "},
    {"shiftFlimb", &MultiverseMatchMode::shift, "Shift",
     "Shift up to 3 flimbs from your universe into your opponents by pressing 6.", "Flimb shifting is now "},
};

// Sends BATTLESKILL for the button's difficulty (its command id) and closes the panel.
void ChooseDifficulty(Primitive*, Button* button)
{
    if (!button)
        return;
    CurrentMatchEffects().SendBattleSkill(button->commandId);
    button->CloseOwningWindow();
}

} // namespace

MultiverseMatchMode::MultiverseMatchMode() : statsWidget_(std::make_unique<ArcadeModeStatsWidget>(this))
{
    modeIndex = 4;
    for (auto& row : sabotageIds)
        row.fill(-1);
}

MultiverseMatchMode::~MultiverseMatchMode() = default;

std::string MultiverseMatchMode::RecordingPath(const std::string& levelPath, int level)
{
    const int index = level >= kEasy && level <= kHard ? level : kEasy;
    return "Level\\Battles\\fm_" + GetFileTitle(levelPath, true) + kDifficultySuffix[index] + ".flimbs";
}

int32_t MultiverseMatchMode::Potential(int group) const
{
    if (!InRange(group))
        return 0;
    const MatchWorld& world = World();
    return world.CountUnreleased(group, false) * world.HighestFlimbValue() + scores[size_t(group)] +
           world.Tally(group).points;
}

bool MultiverseMatchMode::SetDifficulty(int32_t value)
{
    if (value < kEasy || value > kHard) {
        WriteLog("WARNING: BATTLESKILL %d is no difficulty; ignored\n", value);
        return false;
    }
    const bool changed = value != difficulty;
    difficulty = value;
    if (changed && started_ && World().UpdateCounter() == 0)
        LoadFlimbMasterRecording();
    return true;
}

void MultiverseMatchMode::LoadFlimbMasterRecording()
{
    MatchWorld& world = World();
    if (world.IsMultiplayerMatch() || world.PlaybackRunning())
        return;
    MatchEffects& effects = Effects();
    effects.ClearPlaybackSlots();
    const std::string recording = RecordingPath(world.LevelPath(), difficulty);
    if (effects.LoadPlayback(recording))
        WriteLog("The FlimbMaster plays [%s]\n", recording.c_str());
    else
        WriteLog("The FlimbMaster has no recording [%s]; its flimbs stand still\n", recording.c_str());
}

void MultiverseMatchMode::StartMatch()
{
    MatchWorld& world = World();
    LoadFlimbMasterRecording();
    started_ = true;
    const int local = world.LocalGroup();
    startPotential = InRange(local) ? world.CountUnreleased(local, false) * world.HighestFlimbValue() +
                                          world.Tally(local).points
                                    : 0;
    GameMode::StartMatch();
    waitingShown = false;
    otherUniverseCounter = 0;
    const std::vector<FlimbInfo> specials = world.SpecialFlimbs(kAllGroups);
    for (const FlimbInfo& flimb : specials) {
        if (!sabotage)
            world.TakeOutOfPlay(flimb.id);
        else if (bigSabotage)
            world.SetSizeFactor(flimb.id, 2.0f);
    }
    if (sabotage)
        FillSabotageIds(specials);
}

// Each sabotage flimb is recorded under its group and the universe strip it stands in, so
// that its death can be announced.
void MultiverseMatchMode::FillSabotageIds(const std::vector<FlimbInfo>& specials)
{
    const MatchWorld& world = World();
    const std::vector<int> universes = MatchFigures::EnabledGroups(world);
    const int strips = int(universes.size());
    for (const FlimbInfo& flimb : specials) {
        const int strip = MatchFigures::StripOf(int32_t(flimb.x), world.WorldWidth(), strips);
        if (strip < 0 || !InRange(flimb.group))
            continue;
        sabotageIds[size_t(flimb.group)][size_t(universes[size_t(strip)])] = flimb.id;
    }
}

bool MultiverseMatchMode::IsMatchOver()
{
    if (!GameMode::IsMatchOver())
        return false;
    return !InRange(flimbMasterGroup) || World().Tally(flimbMasterGroup).live == 0;
}

void MultiverseMatchMode::UpdateMessages()
{
    GameMode::UpdateMessages();
    MatchWorld& world = World();
    MatchEffects& effects = Effects();
    if (concededAt != 0 && world.UpdateCounter() - concededAt > kConcessionDelay) {
        effects.PostNotice(TranslateText("The FlimbMaster has conceded defeat!"));
        effects.SendUpdateGroup(flimbMasterGroup);
        concededAt = 0;
    }
    if (world.IsMultiplayerMatch() || waitingShown)
        return;
    const int local = world.LocalGroup();
    if (!InRange(local) || !InRange(flimbMasterGroup))
        return;
    const int32_t mine = world.Tally(local).total + world.CountUnreleased(local, false);
    const int32_t theirs = world.Tally(flimbMasterGroup).total + world.CountUnreleased(flimbMasterGroup, false);
    if (mine == 0 && theirs >= 1 && ++loseStreak >= 2) {
        waitingShown = true;
        effects.PostNotice(TranslateText("Please wait for the FlimbMaster to finish.  You can press ") +
                           KeyNameForAction("ShowFMView") + TranslateText(" to watch."));
    }
}

void MultiverseMatchMode::CheckLose()
{
    MatchWorld& world = World();
    const int local = world.LocalGroup();
    if (!InRange(local))
        return;
    const int32_t mine = Potential(local);
    const bool multiplayer = world.IsMultiplayerMatch();
    for (int g = 0; g < kGroupCount; ++g) {
        const bool rival = multiplayer ? g != local && MatchFigures::HasPlayers(world, g) : g == flimbMasterGroup;
        if (rival && scores[size_t(g)] > mine) {
            Effects().SendChat(world.LocalPlayerName() +
                               TranslateText(" has been mathematically eliminated from this match."));
            loseCheckFinished = true;
            return;
        }
    }
    if (!multiplayer && NukeBattle() && InRange(flimbMasterGroup) &&
        scores[size_t(local)] > Potential(flimbMasterGroup)) {
        concededAt = std::max<uint32_t>(world.UpdateCounter(), 1);
        loseCheckFinished = true;
    }
}

void MultiverseMatchMode::GameOver()
{
    if (resultCode != kResultRunning) {
        PublishResult();
        return;
    }
    MatchWorld& world = World();
    const int local = world.LocalGroup();
    const int32_t mine = InRange(local) ? scores[size_t(local)] : 0;
    if (world.IsMultiplayerMatch()) {
        int32_t best = 0;
        int sharing = 0;
        for (int g = 0; g < kGroupCount; ++g) {
            if (!MatchFigures::HasPlayers(world, g))
                continue;
            const int32_t score = scores[size_t(g)];
            if (sharing == 0 || score > best) {
                best = score;
                sharing = 1;
            } else if (score == best) {
                ++sharing;
            }
        }
        world.SetMatchResult(mine != best ? kResultLost : sharing == 1 ? kResultWon : kResultTie);
    } else {
        const int32_t theirs = InRange(flimbMasterGroup) ? scores[size_t(flimbMasterGroup)] : 0;
        const int32_t gap = std::abs(mine - theirs);
        if (mine > theirs) {
            world.SetMatchResult(kResultSingleWon);
            world.SetMatchResultDetail(gap < mine / 10 ? 0 : 2);
        } else {
            world.SetMatchResult(kResultSingleLost);
            world.SetMatchResultDetail(gap < theirs / 10 ? 130 : 129);
        }
    }
    BaseGameOver();
    if (!world.IsMultiplayerMatch() && world.MatchResult() == kResultSingleWon) {
        LevelStats stats;
        stats.fileName = GetFileTitle(world.LevelPath(), true);
        CurrentProfile().SaveSkillLevel(stats, difficulty);
        if (difficulty == kHard)
            Effects().PostNotice(TranslateText("Impressive."));
    }
}

void MultiverseMatchMode::CreateStatsWidget(xmlNode* level)
{
    scores.fill(0);
    for (auto& row : sabotageIds)
        row.fill(-1);
    firstScore.fill(0);
    otherUniverseCounter = 0;
    GameMode::CreateStatsWidget(level);
}

void MultiverseMatchMode::OnGoalReached(int group, int32_t flimbId)
{
    const MatchWorld& world = World();
    FlimbInfo flimb;
    if (!InRange(group) || !world.FindRecord(flimbId, flimb))
        return;
    scores[size_t(group)] += flimb.points;
    if (firstScore[size_t(group)] == 0)
        firstScore[size_t(group)] = world.UpdateCounter();
}

void MultiverseMatchMode::OnFlimbDied(int32_t flimbId)
{
    const MatchWorld& world = World();
    if (!world.IsHost() || !world.IsMultiplayerMatch())
        return;
    FlimbInfo flimb;
    if (world.FindRecord(flimbId, flimb) && (flimb.flags2 & 1))
        return;
    for (int i = 0; i < kGroupCount; ++i)
        for (int j = 0; j < kGroupCount; ++j)
            if (sabotageIds[size_t(i)][size_t(j)] == flimbId)
                Effects().SendChat(StringPrintf(
                    TranslateText("Sabotage flimb for group %d in group %d's universe is dead!").c_str(), i, j));
}

void MultiverseMatchMode::DecideResult()
{
    const MatchWorld& world = World();
    const int local = world.LocalGroup();
    if (world.IsMultiplayerMatch()) {
        trackedGroup = local;
        return;
    }
    const int32_t mine = InRange(local) ? scores[size_t(local)] : 0;
    const int32_t theirs = InRange(flimbMasterGroup) ? scores[size_t(flimbMasterGroup)] : 0;
    if (mine != theirs)
        trackedGroup = mine < theirs ? -1 : 1;
    else
        trackedGroup = world.TieBreakGroup() == local ? -1 : 1;
}

void MultiverseMatchMode::AddHudStatIcons(std::vector<GameModeStatsWidget*>& list)
{
    GameMode::AddHudStatIcons(list);
    statsWidget_->Refresh();
    list.push_back(statsWidget_.get());
}

GroupStats MultiverseMatchMode::AddEndOfMatchStats(int group)
{
    const MatchWorld& world = World();
    GroupStats record(group);
    const bool inRange = InRange(group);
    if (!world.IsMultiplayerMatch())
        AppendQdotStat(record, inRange ? qdotCounts[size_t(group)] : 0, qdotTotal);
    record.rows.push_back(std::make_unique<GameStat>(kStatScore, inRange ? scores[size_t(group)] : 0));
    record.rows.push_back(std::make_unique<GameStat>(kStatFirst, inRange ? int32_t(firstScore[size_t(group)]) : 0));
    AppendGameStat(record, world, freezeCount, group, kStatLost, true);
    AppendGameStat(record, world, freezeCount, group, kStatMorphs, true);
    return record;
}

// In single player the FlimbMaster's flimbs (made in the other universe) count from 10000;
// the recordings replayed there rely on it.
uint32_t MultiverseMatchMode::NextFlimbId(int, int group, int, int)
{
    MatchWorld& world = World();
    if (world.IsMultiplayerMatch() || group != flimbMasterGroup)
        return world.TakeFlimbId();
    const int32_t id = kOtherUniverseIds + otherUniverseCounter++;
    FlimbInfo live;
    if (world.FindFlimb(id, live))
        WriteLog("WARNING: flimb id %d of the other universe is already in use\n", id);
    return uint32_t(id);
}

std::array<bool, 3> MultiverseMatchMode::EnabledDifficulties() const
{
    bool beaten[3] = {false, false, false};
    LevelStats stats;
    const std::string level = World().LevelPath();
    stats.fileName = GetFileTitle(level, true);
    CurrentProfile().GetSkillLevel(stats, beaten);
    const bool open = !NukeBattle();
    return {true, open || (GameFileExists(RecordingPath(level, kMedium)) && beaten[kEasy]),
            open || (GameFileExists(RecordingPath(level, kHard)) && beaten[kMedium])};
}

void MultiverseMatchMode::BuildPreGamePanel(PrimContainer* parent)
{
    if (!parent)
        return;
    if (auto* start = dynamic_cast<Button*>(parent->FindChild("START"))) {
        start->commandId = kEasy;
        start->onClick = ChooseDifficulty;
    }
    auto panel = std::make_unique<PrimContainer>();
    panel->SetName("difficulty");
    FlimbsLayoutEngine engine(panel.get());
    engine.SetMargins(0.0f, 0.0f, 0.0f, 0.0f);
    engine.AddLabel(TranslateText("VS."), "vs_lab", false);
    engine.NewRow();
    const std::array<bool, 3> enabled = EnabledDifficulties();
    for (int level = kEasy; level <= kHard; ++level) {
        const DifficultyRow& row = kDifficultyRows[level];
        IconButton* button = engine.AddIconButton(TranslateText(row.caption), row.caption, kHeadIcon, level);
        if (button) {
            button->enabled = enabled[size_t(level)] ? 1 : 0;
            button->textColour = enabled[size_t(level)] ? kEnabledColour : kDisabledColour;
            button->onClick = ChooseDifficulty;
        }
        engine.AddLabel(TranslateText(row.description), nullptr, false);
        engine.NewRow();
    }
    engine.Finish();
    engine.FitContainer();
    parent->AddChild(panel.release());
}

bool MultiverseMatchMode::IsSinglePlayerAid()
{
    return !World().IsMultiplayerMatch() && difficulty != kHard;
}

std::vector<GroupStats> MultiverseMatchMode::BuildResultTable()
{
    const MatchWorld& world = World();
    if (world.IsMultiplayerMatch())
        return GameMode::BuildResultTable();
    std::vector<GroupStats> table;
    table.push_back(AddEndOfMatchStats(world.LocalGroup()));
    table.push_back(AddEndOfMatchStats(flimbMasterGroup));
    return table;
}

void MultiverseMatchMode::ApplyOptionChange(Primitive* control)
{
    if (!control) {
        GameMode::ApplyOptionChange(control);
        return;
    }
    bool handled = false;
    for (const FlagOption& option : kFlagOptions) {
        if (control->name != option.key)
            continue;
        const bool now = control->IsChecked();
        if (now != this->*option.field) {
            this->*option.field = now;
            AnnounceOptionFlag(option.announcement, now);
        }
        handled = true;
    }
    if (control->name == "fm_group") {
        const int group = control->GetIntValue();
        if (InRange(group)) {
            flimbMasterGroup = group;
            World().SetFlimbMasterGroup(group);
        }
        handled = true;
    }
    if (!handled) {
        GameMode::ApplyOptionChange(control);
        return;
    }
    MatchEffects& effects = Effects();
    if (effects.HasGameClient())
        effects.SendGameModeState(WriteModeStateDocument(*this));
}

void MultiverseMatchMode::WriteOptions(xmlNode* node)
{
    GameMode::WriteOptions(node);
    if (!node)
        return;
    XmlAddChildInt(node, "sabotage_flimbs", sabotage ? 1 : 0);
    XmlAddChildInt(node, "big_sabotage", bigSabotage ? 1 : 0);
    XmlAddChildInt(node, "fm_group", flimbMasterGroup);
    XmlAddChildInt(node, "shiftFlimb", shift ? 1 : 0);
}

void MultiverseMatchMode::ReadOptions(xmlNode* node, xmlNode* defaults)
{
    GameMode::ReadOptions(node, defaults);
    ReadOptionFlag(node, defaults, "sabotage_flimbs", sabotage);
    ReadOptionFlag(node, defaults, "big_sabotage", bigSabotage);
    ReadOptionFlag(node, defaults, "shiftFlimb", shift);
    int32_t group = flimbMasterGroup;
    ReadOptionNumber(node, defaults, "fm_group", group);
    if (!InRange(group)) {
        WriteLog("WARNING: fm_group %d names no group; the FlimbMaster plays group 1\n", group);
        group = 1;
    }
    flimbMasterGroup = group;
    World().SetFlimbMasterGroup(group);
    if (shift)
        MakeShiftModifier();
}

void MultiverseMatchMode::MakeShiftModifier()
{
    MatchEffects& effects = Effects();
    if (!effects.IsHudOpen())
        return;
    std::unique_ptr<GameModifier> modifier = GameModifier::Make(GameModifier::kShift);
    if (!modifier)
        return;
    effects.AttachModifier(modifier.get());
    modifiers.push_back(std::move(modifier));
}

std::unique_ptr<PrimContainer> MultiverseMatchMode::BuildOptionsPanel(LayoutEngine*)
{
    ModeOptionsPanel built = BeginOptionsPanel();
    for (const FlagOption& option : kFlagOptions)
        built.AddCheckBox(option.key, option.caption, option.tip, this->*option.field);
    built.AddGroupChoice("fm_group", "FM Group", "FlimbMaster group when played as singleplayer", flimbMasterGroup);
    return built.Finish();
}

std::string MultiverseMatchMode::GetObjectiveText()
{
    return TranslateText("Beam up more flimb energy than the other groups.") + GameMode::GetObjectiveText();
}

void MultiverseMatchMode::HashState(ModeStateHasher& hasher) const
{
    GameMode::HashState(hasher);
    for (bool flag : {sabotage, bigSabotage, shift})
        hasher.Add(flag);
    for (int32_t score : scores)
        hasher.Add(score);
    for (const auto& row : sabotageIds)
        for (int32_t id : row)
            hasher.Add(id);
    for (uint32_t update : firstScore)
        hasher.Add(update);
    hasher.Add(flimbMasterGroup);
    hasher.Add(difficulty);
    hasher.Add(otherUniverseCounter);
}

bool MultiverseMatchMode::IsOptionKey(const std::string& key) const
{
    for (const FlagOption& option : kFlagOptions)
        if (key == option.key)
            return true;
    return key == "fm_group" || GameMode::IsOptionKey(key);
}
