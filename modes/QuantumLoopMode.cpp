#include "modes/QuantumLoopMode.h"

#include "modes/HorzGroupSelect.h"

#include "app/KeyBindings.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "gui/GraphicButtons.h"
#include "gui/GuiClock.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "media/AnimSurface.h"
#include "media/ImageCache.h"
#include "modes/GameModeStatsWidget.h"
#include "modes/MatchEffects.h"
#include "modes/MatchWorld.h"
#include "modes/ModeFiles.h"
#include "modes/ScorePanels.h"

#include <algorithm>

namespace {

constexpr const char* kFramePicture = "Graphics\\Menu\\FlimbGroupSelector\\group-select.png";
constexpr const char* kFlagPicture = "Graphics\\HUD\\InGame\\capture-flag.png";
constexpr const char* kGroupPictureFolder = "Graphics\\Menu\\Eom\\Expressions";
constexpr uint32_t kFramePeriod = 80;

bool InRange(int group)
{
    return group >= 0 && group < kGroupCount;
}

// The screen factor of the flag's offset: width / 1024 on screens wider than 4:3, else
// height / 768.
float FlagScale()
{
    const float width = float(GetScreenWidth()), height = float(GetScreenHeight());
    return width * 3.0f > height * 4.0f ? width / 1024.0f : height / 768.0f;
}

// The kinds of order the turn mode looks at.
constexpr uint8_t kOrderFlimbType = 2;
constexpr uint8_t kOrderHighlight = 5;

} // namespace

// ---- HorzGroupSelect -------------------------------------------------------------------

HorzGroupSelect::HorzGroupSelect(const std::vector<int>& groups, int selected, const std::array<bool, 8>& done)
    : done_(done)
{
    SetName("HorzGroupSelect");
    frame_ = ImageCache::GetImage(kFramePicture);
    flag_ = ImageCache::GetImage(kFlagPicture);
    float x = 0.0f, height = 0.0f;
    for (int group : groups) {
        const std::string label = CurrentMatchWorld().GroupLabel(group);
        auto* button = new GraphicButton(kGroupPictureFolder, "perfect_" + label + ".png", 1);
        button->SetName(("group_" + label).c_str());
        button->toolTip = TranslateText("Play as this group");
        button->commandId = group;
        button->onClick = [this](Primitive*, Button* pressed) {
            Select(pressed->commandId);
            if (onChoose)
                onChoose(pressed->commandId);
        };
        float w = 0.0f, h = 0.0f;
        button->GetSize(&w, &h);
        button->SetPosition(x, 0.0f);
        x += w + ToVirtualX(8.0f * GetUiScale());
        height = std::max(height, h);
        AddChild(button);
        buttons_.emplace_back(group, button);
    }
    SetSize(buttons_.empty() ? kEmptyWidth : x, height);
    Select(selected);
}

HorzGroupSelect::~HorzGroupSelect()
{
    ImageCache::ReleaseImage(frame_);
    ImageCache::ReleaseImage(flag_);
}

GraphicButton* HorzGroupSelect::ButtonOf(int group) const
{
    for (const auto& [g, button] : buttons_)
        if (g == group)
            return button;
    return nullptr;
}

void HorzGroupSelect::Select(int group)
{
    if (ButtonOf(group))
        selected_ = group;
}

void HorzGroupSelect::SetDone(const std::array<bool, 8>& done)
{
    done_ = done;
}

void HorzGroupSelect::Update()
{
    PrimContainer::Update();
    frameClock_ += GuiFrameElapsed();
    if (frame_ && frame_->frameCount > 1 && frameClock_ >= kFramePeriod) {
        frame_->SetFrame((frame_->currentFrame + int(frameClock_ / kFramePeriod)) % frame_->frameCount);
        frameClock_ %= kFramePeriod;
    }
}

void HorzGroupSelect::Draw()
{
    PrimContainer::Draw();
    if (!visible || !highlight)
        return;
    const float s = GetUiScale();
    if (flag_ && flag_->frameWidth > 0) {
        const float fs = FlagScale();
        for (const auto& [group, button] : buttons_) {
            if (!done_[size_t(group)])
                continue;
            const float w = float(flag_->frameWidth) * s, h = float(flag_->frameHeight) * s;
            const float x = button->rect.right - w - 5.0f * fs, y = button->rect.top - 25.0f * fs + h / 2.0f;
            DrawImageFrame(flag_, flag_->frameWidth, flag_->frameHeight, 0, FloatRect{x, y, x + w, y + h},
                           WithAlpha(0xFFFFFFFFu, alpha));
        }
    }
    const GraphicButton* chosen = ButtonOf(selected_);
    if (chosen && frame_ && frame_->frameWidth > 0) {
        const float w = float(frame_->frameWidth) * s, h = float(frame_->frameHeight) * s;
        const float cx = (chosen->rect.left + chosen->rect.right) / 2.0f - 9.0f * s;
        const float top = chosen->rect.top + 4.0f * s;
        DrawImageFrame(frame_, frame_->frameWidth, frame_->frameHeight, frame_->currentFrame,
                       FloatRect{cx - w / 2.0f + 9.0f * s, top, cx + w / 2.0f + 9.0f * s, top + h},
                       WithAlpha(0xFFFFFFFFu, alpha));
    }
}

// ---- QuantumLoopMode -------------------------------------------------------------------

QuantumLoopMode::QuantumLoopMode()
{
    modeIndex = 5;
}

QuantumLoopMode::~QuantumLoopMode() = default;

std::string QuantumLoopMode::TurnRecordingPath(int group) const
{
    return StringPrintf("%s\\Playbacks\\Abnormal\\%s%d.flimbs", CurrentProfile().GetPath().c_str(), levelName.c_str(),
                        group);
}

void QuantumLoopMode::StartMatch()
{
    MatchWorld& world = World();
    progressSaved_ = false;
    if (world.RecordedPlayback()) {
        const int local = world.LocalGroup();
        activeGroup = uint8_t(InRange(local) ? local : kNoGroup);
    } else if (!world.PlaybackRunning()) {
        MatchEffects& effects = Effects();
        effects.ClearPlaybackSlots();
        for (int g = 0; g < kGroupCount; ++g)
            if (g != activeGroup && GameFileExists(TurnRecordingPath(g)) && !effects.LoadPlayback(TurnRecordingPath(g)))
                WriteLog("The turn of group %d is not replayed\n", g);
    }
    GameMode::StartMatch();
}

bool QuantumLoopMode::IsMatchOver()
{
    return resultCode != kResultRunning || MultiplayerEndTest();
}

void QuantumLoopMode::SaveProgress()
{
    if (progressSaved_)
        return;
    progressSaved_ = true;
    MatchWorld& world = World();
    GameMode::SaveProgress();
    if (!InRange(activeGroup) || MatchFigures::MorphsUsed(world, activeGroup) == 0)
        return;
    const std::string path = TurnRecordingPath(activeGroup);
    if (Effects().SavePlayback(path).empty())
        WriteLog("The turn of group %d could not be recorded\n", int(activeGroup));
    CurrentProfile().SaveQloopGroup(levelName, activeGroup);
    turnDone[activeGroup] = true;
}

std::unique_ptr<FlimbsWindow5> QuantumLoopMode::CreateScorePanel()
{
    return std::make_unique<QuantumLoopScore>();
}

void QuantumLoopMode::GameOver()
{
    SaveProgress();
    if (resultCode != kResultRunning) {
        PublishResult();
        return;
    }
    MatchWorld& world = World();
    bool short_ = false;
    for (const ExitInfo& exit : world.Exits())
        if (exit.enabled && exit.countsTowardGoal && exit.saved < exit.required)
            short_ = true;
    world.SetMatchResult(short_ ? kResultSingleLost : kResultSingleWon);
    BaseGameOver();
}

void QuantumLoopMode::CreateStatsWidget(xmlNode* level)
{
    MatchWorld& world = World();
    levelName = GetFileTitle(world.LevelPath(), true);
    turnDone = CurrentProfile().LoadQloopGroup(levelName);
    const std::vector<int> enabled = MatchFigures::EnabledGroups(world);
    int chosen = kNoGroup;
    for (int g : enabled)
        if (!turnDone[size_t(g)]) {
            chosen = g;
            break;
        }
    if (chosen == kNoGroup && !enabled.empty())
        chosen = enabled.front();
    activeGroup = uint8_t(chosen);
    if (!world.RecordedPlayback())
        Effects().SendTeamChange(activeGroup);
    GameMode::CreateStatsWidget(level);
}

void QuantumLoopMode::ChooseGroup(int group)
{
    if (World().RecordedPlayback() || !InRange(group))
        return;
    activeGroup = uint8_t(group);
    if (groupPicker_)
        groupPicker_->Select(group);
    Effects().SendTeamChange(group);
}

void QuantumLoopMode::ClearTurns()
{
    for (int g = 0; g < kGroupCount; ++g)
        DeleteUserFile(TurnRecordingPath(g));
    CurrentProfile().RemoveQloopRecord(levelName);
    turnDone.fill(false);
    if (groupPicker_)
        groupPicker_->SetDone(turnDone);
    if (!World().RecordedPlayback())
        Effects().SendTeamChange(activeGroup);
}

void QuantumLoopMode::AddHudStatIcons(std::vector<GameModeStatsWidget*>& list)
{
    GameMode::AddHudStatIcons(list);
    const MatchWorld& world = World();
    const int group = InRange(activeGroup) ? activeGroup : 0;
    if (!activeIcon_) {
        activeIcon_ = std::make_unique<GameModeStatsWidget>(group, "Graphics\\HUD\\InGame\\stat_flimb_{group-label}.png",
                                                            world.GroupColour(group),
                                                            TranslateText("The flimb group you can control!"));
        activeIcon_->SetText(TranslateText("ACTIVE"));
    }
    if (InRange(activeGroup) && activeIcon_->Group() != activeGroup) {
        activeIcon_->SetGroup(activeGroup);
        activeIcon_->SetColour(world.GroupColour(activeGroup));
    }
    list.push_back(activeIcon_.get());
}

bool QuantumLoopMode::AcceptsFlimb(int32_t value)
{
    return value == 0;
}

GroupStats QuantumLoopMode::AddEndOfMatchStats(int group)
{
    const MatchWorld& world = World();
    GroupStats record(group);
    if (!world.IsMultiplayerMatch())
        AppendQdotStat(record, InRange(group) ? qdotCounts[size_t(group)] : 0, qdotTotal);
    int32_t saved = 0, lost = 0, morphs = 0;
    for (int g : MatchFigures::EnabledGroups(world)) {
        saved += MatchFigures::Saved(world, g);
        lost += world.GroupStats(g).lost;
        morphs += MatchFigures::MorphsUsed(world, g);
    }
    record.rows.push_back(std::make_unique<GameStat>(kStatFlimbs, saved));
    record.rows.push_back(std::make_unique<GameStat>(kStatLost, lost));
    record.rows.push_back(std::make_unique<GameStat>(kStatMorphs, morphs));
    AppendGameStat(record, world, freezeCount, group, kStatTime, true);
    return record;
}

bool QuantumLoopMode::MayIssueMorph(int32_t flimbId, int showMessage)
{
    FlimbInfo flimb;
    if (World().FindFlimb(flimbId, flimb) && flimb.group == activeGroup)
        return true;
    if (showMessage)
        Effects().PostNotice(TranslateText("You can only issue morphs to the active group."));
    return false;
}

// In single player a flimb of the n-th release of the i-th Start or Copier trap (Start traps
// first) is 100 + 1000 i + n in every turn, so that recorded orders find it again.
uint32_t QuantumLoopMode::NextFlimbId(int, int, int originTrapId, int count)
{
    MatchWorld& world = World();
    if (world.IsMultiplayerMatch())
        return world.TakeFlimbId();
    std::vector<int32_t> traps;
    for (const StartTrapInfo& start : world.StartTraps())
        traps.push_back(start.id);
    for (int32_t copier : world.CopierTrapIds())
        traps.push_back(copier);
    const auto it = std::find(traps.begin(), traps.end(), originTrapId);
    if (it == traps.end() || count < 0)
        return world.TakeFlimbId();
    const uint32_t id = kTrapIdBase + kTrapIdStride * uint32_t(it - traps.begin()) + uint32_t(count);
    FlimbInfo live;
    if (world.FindFlimb(int32_t(id), live))
        WriteLog("WARNING: flimb id %u of trap %d is already in use\n", id, originTrapId);
    return id;
}

void QuantumLoopMode::BuildPreGamePanel(PrimContainer* parent)
{
    if (!parent)
        return;
    const float s = GetUiScale();
    auto* caption = new SimpleLabel(4, 0xFFFFFFFF, 0, TranslateText("Select your group"));
    caption->FitToText();
    caption->SetName("select_lab");
    float y = 0.0f;
    float width = 0.0f, height = 0.0f;
    parent->GetSize(&width, &height);
    y = height;
    caption->SetPosition(0.0f, y);
    parent->AddChild(caption);
    y += caption->GetSizeVirtual().y + Primitive::ToVirtualY(5.0f * s);
    groupPicker_ = std::make_unique<HorzGroupSelect>(MatchFigures::EnabledGroups(World()), activeGroup, turnDone);
    groupPicker_->deleteWhenClosed = 0;
    groupPicker_->onChoose = [this](int group) { ChooseGroup(group); };
    groupPicker_->SetPosition(0.0f, y);
    parent->AddChild(groupPicker_.get());
    auto* clear = new GraphicButton("Graphics\\Menu\\Eom\\ButtonIcons", "reset_icon.png", 1);
    clear->SetName("Clear");
    clear->toolTip = TranslateText("Clear recorded morphs for all groups");
    clear->onClick = [this](Primitive*, Button*) { ClearTurns(); };
    clear->SetPosition(groupPicker_->GetSizeVirtual().x + Primitive::ToVirtualX(10.0f * s), y);
    parent->AddChild(clear);
}

bool QuantumLoopMode::AcceptCommand(const uint8_t* record, size_t length)
{
    if (!record || length < 10)
        return true;
    const MatchWorld& world = World();
    if (record[0] == kOrderHighlight) {
        FlimbInfo flimb;
        const int32_t id = int32_t(record[6] | record[7] << 8);
        return !(world.FindFlimb(id, flimb) && flimb.group != activeGroup);
    }
    if (record[0] == kOrderFlimbType && record[9] == 'B')
        return false;
    return true;
}

void QuantumLoopMode::CheckLose()
{
    const MatchWorld& world = World();
    const int local = world.LocalGroup();
    if (!InRange(activeGroup) || world.Tally(activeGroup).total != 0 || (InRange(local) && world.GroupDone(local)))
        return;
    Effects().PostNotice(TranslateText("There are no more active flimbs remaining.  Press ") +
                         KeyNameForAction("SuperNova") + TranslateText(" to go SuperNova and remove the rest."));
    loseCheckFinished = true;
}

std::string QuantumLoopMode::SaveMatchRecording(const std::string& outPath)
{
    MatchEffects& effects = Effects();
    effects.ClearPlaybackSlots();
    for (int g = 0; g < kGroupCount; ++g)
        if (GameFileExists(TurnRecordingPath(g)))
            effects.LoadPlayback(TurnRecordingPath(g));
    return effects.SavePlaybackAs(outPath);
}

int32_t QuantumLoopMode::GetLocalQdotCount()
{
    int32_t sum = 0;
    for (int32_t count : qdotCounts)
        sum += count;
    return sum;
}

int QuantumLoopMode::GetActiveGroup()
{
    return activeGroup;
}

std::string QuantumLoopMode::GetObjectiveText()
{
    return TranslateText("Rescue some flimbs") + GameMode::GetObjectiveText();
}
