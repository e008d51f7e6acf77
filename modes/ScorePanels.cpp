#include "modes/ScorePanels.h"

#include "app/LanguageTexts.h"
#include "app/StringUtil.h"
#include "gui/GuiClock.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "modes/GameMode.h"
#include "modes/MatchWorld.h"
#include "modes/ModeServices.h"
#include "modes/MultiverseMatchMode.h"

#include <algorithm>
#include <cmath>

namespace {

float DesignX(float pixels)
{
    return Primitive::ToVirtualX(pixels * GetUiScale());
}

float DesignY(float pixels)
{
    return Primitive::ToVirtualY(pixels * GetUiScale());
}

float Pixels(float design)
{
    return design * GetUiScale();
}

std::string ImageOfGroup(const char* stem, int group)
{
    return std::string(kScoreImageFolder) + stem + CurrentMatchWorld().GroupLabel(group) + ".png";
}

void SizeAsScorePanel(Primitive& panel)
{
    panel.SetSize(DesignX(kScorePanelDesignWidth), DesignY(kScorePanelDesignHeight));
}

Label* AddText(PrimContainer& parent, const std::string& text, int font, float scale, float x, float y)
{
    auto* label = new Label(font, 0xFFFFFFFF, kLabelLeft, text);
    label->SetScale(scale);
    label->FitToText();
    label->SetPosition(x, y);
    parent.AddChild(label);
    return label;
}

constexpr float kMargin = 24.0f;      // design pixels inside the panel
constexpr float kCardWidth = 150.0f;
constexpr float kCardRow = 13.0f;
constexpr float kCardRowSpacing = 2.0f;
constexpr float kMeterInset = 22.0f;
constexpr float kMeterWidth = 300.0f;
constexpr float kMeterHeight = 14.0f;
constexpr float kRowGap = 25.0f;
constexpr float kRowsTop = 110.0f;

} // namespace

// ---- ScoreCard ---------------------------------------------------------------------------

ScoreCard::ScoreCard(int group) : group_(group)
{
    background_ = ImageCache::GetImage(ImageOfGroup("card_", group));
    if (group >= 0 && group < kGroupCount && group % 2 == 0)
        scoreImage_ = ImageCache::GetImage(std::string(kScoreImageFolder) + "score.png");
    static const char* const captions[3] = {"Out", "Stored", "Lost"};
    static const char* const icons[3] = {"out.png", "stored.png", "lost.png"};
    const float rowTop = 8.0f;
    for (size_t i = 0; i < 3; ++i) {
        icons_[i] = ImageCache::GetImage(std::string(kScoreImageFolder) + icons[i]);
        const float y = DesignY(rowTop + float(i) * (kCardRow + kCardRowSpacing));
        auto* caption = new SimpleLabel(0, 0xFFFFFFFF, kLabelLeft, TranslateText(captions[i]));
        caption->SetScale(0.7f);
        caption->SetPosition(DesignX(26.0f), y);
        caption->SetSize(DesignX(70.0f), DesignY(kCardRow));
        AddChild(caption);
        auto* value = new SimpleLabel(3, 0xFFFFFFFF, kLabelRight, "0");
        value->SetScale(0.7f);
        value->SetPosition(DesignX(96.0f), y);
        value->SetSize(DesignX(44.0f), DesignY(kCardRow));
        AddChild(value);
        valueLabels_[i] = value;
    }
    SetSize(DesignX(kCardWidth), DesignY(rowTop * 2 + 3 * kCardRow + 2 * kCardRowSpacing));
    Update();
}

ScoreCard::~ScoreCard()
{
    ImageCache::ReleaseImage(background_);
    ImageCache::ReleaseImage(scoreImage_);
    for (AnimSurface* icon : icons_)
        ImageCache::ReleaseImage(icon);
}

void ScoreCard::Update()
{
    const MatchWorld& world = CurrentMatchWorld();
    const bool real = group_ >= 0 && group_ < kGroupCount;
    values_ = {StringPrintf("%d", real ? world.Tally(group_).total : 0),
               StringPrintf("%d", MatchFigures::Waiting(world, group_)),
               StringPrintf("%d", real ? int(world.GroupStats(group_).lost) : 0)};
    for (size_t i = 0; i < 3; ++i)
        if (valueLabels_[i])
            valueLabels_[i]->SetText(values_[i]);
    PrimContainer::Update();
}

void ScoreCard::Draw()
{
    if (!visible || !highlight)
        return;
    if (background_)
        DrawImageFrame(background_, background_->frameWidth, background_->frameHeight, 0, rect,
                       WithAlpha(0xFFFFFFFFu, alpha));
    const float rowTop = rect.top + Pixels(8.0f);
    for (size_t i = 0; i < 3; ++i) {
        if (!icons_[i])
            continue;
        const float top = rowTop + float(i) * Pixels(kCardRow + kCardRowSpacing);
        const FloatRect dest{rect.left + Pixels(8.0f), top, rect.left + Pixels(8.0f + kCardRow), top + Pixels(kCardRow)};
        DrawImageFrame(icons_[i], icons_[i]->frameWidth, icons_[i]->frameHeight, 0, dest, WithAlpha(0xFFFFFFFFu, alpha));
    }
    if (scoreImage_) {
        // A badge on the card's top-right corner, clear of the values.
        const FloatRect dest{rect.right - Pixels(12.0f), rect.top - Pixels(8.0f), rect.right + Pixels(6.0f),
                             rect.top + Pixels(10.0f)};
        DrawImageFrame(scoreImage_, scoreImage_->frameWidth, scoreImage_->frameHeight, 0, dest,
                       WithAlpha(0xFFFFFFFFu, alpha));
    }
    PrimContainer::Draw();
}

// ---- ScoreMeter --------------------------------------------------------------------------

ScoreMeter::ScoreMeter(int group, int modeIndex) : group(group), modeIndex_(modeIndex)
{
    for (int g = 0; g < kGroupCount; ++g)
        bars_[size_t(g)] = ImageCache::GetImage(ImageOfGroup("status_bar_", g));
    // The group's animation comes with the group-animation cache; a marker in the group's
    // colour stands at the bar's end until then.
}

ScoreMeter::~ScoreMeter()
{
    for (AnimSurface* bar : bars_)
        ImageCache::ReleaseImage(bar);
}

void ScoreMeter::Refresh()
{
    const MatchWorld& world = CurrentMatchWorld();
    if (modeIndex_ == 4) {
        // The race: the group's score against the most each group can still reach.
        current = predicted = maximum = waitingAll = 0;
        scaleMaximum = 100;
        const auto* race = dynamic_cast<const MultiverseMatchMode*>(CurrentGameMode());
        if (!race)
            return;
        for (int g = 0; g < kGroupCount; ++g) {
            if (!world.GroupStats(g).enabled)
                continue;
            waitingAll += world.CountUnreleased(g, false) * world.HighestFlimbValue();
            scaleMaximum = std::max(scaleMaximum, race->Potential(g));
        }
        if (group >= 0 && group < kGroupCount) {
            current = predicted = race->scores[size_t(group)];
            maximum = race->Potential(group);
        }
        return;
    }
    if (modeIndex_ != 0) {
        current = predicted = maximum = waitingAll = 0;
        scaleMaximum = 100;
        return;
    }
    waitingAll = 0;
    for (int g = 0; g < kGroupCount; ++g)
        if (world.GroupStats(g).enabled)
            waitingAll += MatchFigures::Waiting(world, g);
    current = MatchFigures::Saved(world, group);
    const int tallied = MatchFigures::Present(world, group >= 0 && group < kGroupCount ? group : kAllGroups);
    predicted = current + tallied + MatchFigures::Waiting(world, group);
    scaleMaximum = 100;
    maximum = 0;
    const int32_t presentAll = MatchFigures::Present(world, kAllGroups);
    for (int g = 0; g < kGroupCount; ++g) {
        if (!world.GroupStats(g).enabled)
            continue;
        const int32_t potential = MatchFigures::Saved(world, g) + presentAll + waitingAll;
        scaleMaximum = std::max(scaleMaximum, potential);
        if (g == group)
            maximum = potential;
    }
}

void ScoreMeter::Update()
{
    animationTimer_ += GuiFrameElapsed();
    while (animationTimer_ >= kAnimationPeriod) {
        animationTimer_ -= kAnimationPeriod;
        ++animationFrame_;
    }
    Refresh();
}

void ScoreMeter::Draw()
{
    if (!visible || !highlight || scaleMaximum <= 0)
        return;
    const MatchWorld& world = CurrentMatchWorld();
    const float length = rect.right - rect.left;
    const float height = rect.bottom - rect.top;
    const float unit = length / float(scaleMaximum);
    auto bar = [&](int g, float from, float to, float top, float bottom, uint8_t barAlpha) {
        if (to <= from)
            return;
        const FloatRect dest{rect.left + from, top, rect.left + to, bottom};
        const AnimSurface* image = g >= 0 && g < kGroupCount ? bars_[size_t(g)] : nullptr;
        const uint8_t shown = uint8_t(barAlpha * alpha / 255);
        if (image)
            DrawImageFrame(image, image->frameWidth, image->frameHeight, 0, dest, WithAlpha(0xFFFFFFFFu, shown));
        else
            Draw2D::DrawFilledRect(dest.left, dest.top, dest.right, dest.bottom, WithAlpha(world.GroupColour(g), shown));
    };
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, WithAlpha(0xFF000000u, uint8_t(alpha / 3)));
    float end = 0.0f;
    if (modeIndex_ == 0) {
        // Saved flimbs, each in the colour of the group it came from.
        const GroupStatsBlock stats = group >= 0 && group < kGroupCount ? world.GroupStats(group) : GroupStatsBlock{};
        int32_t drawn = 0;
        for (uint8_t from : stats.savedFrom) {
            if (drawn >= current)
                break;
            bar(from, unit * float(drawn), unit * float(drawn + 1), rect.top, rect.bottom, 0xFF);
            ++drawn;
        }
        if (drawn < current)
            bar(group, unit * float(drawn), unit * float(current), rect.top, rect.bottom, 0xFF);
        end = unit * float(current);
        bar(group, end, unit * float(predicted), rect.top, rect.bottom, 0x40);
        const float lowTop = rect.top + Pixels(6.0f);
        bar(group, unit * float(predicted), unit * float(maximum), lowTop, lowTop + height / 4.0f, 0x40);
    } else if (modeIndex_ == 4) {
        const float top = rect.top + Pixels(4.0f);
        end = unit * float(current);
        bar(group, 0.0f, end, top, top + height, 0xFF);
    }
    // The group's marker at the end of the saved part, its size breathing with the timer.
    const float radius = height * 0.5f * (1.0f + 0.1f * float(animationFrame_ % 4) / 3.0f);
    Draw2D::DrawFilledCircle(radius, rect.left + end, (rect.top + rect.bottom) / 2.0f,
                             WithAlpha(world.GroupColour(group), alpha));
}

// ---- SavedMeterScoreWindow ---------------------------------------------------------------

SavedMeterScoreWindow::SavedMeterScoreWindow(const GameMode& mode)
{
    containerFlags |= 1 | 4;
    SizeAsScorePanel(*this);
    const bool multiverse = mode.modeIndex == 4;
    const std::string help =
        multiverse ? TranslateText("Beam up your flimbs as quickly as you can. The bars below indicate the current\n"
                                   "and maximum scores for each group.")
                   : TranslateText("Beam up as many flimbs as you can.  Stealing is allowed.  The bars below\n"
                                   "indicate the current, predicted, and maximum scores for each group.");
    Label* helpLabel = AddText(*this, help, 0, 0.8f, DesignX(kMargin), DesignY(20.0f));
    float helpWidth = 0.0f, helpHeight = 0.0f;
    helpLabel->GetSize(&helpWidth, &helpHeight);
    AddText(*this, TranslateText(multiverse ? "Multiverse Match" : "Corral the Flimb"), 5, 1.0f, DesignX(kMargin),
            DesignY(20.0f) + helpHeight + 5.0f);

    const MatchWorld& world = CurrentMatchWorld();
    const int local = world.LocalGroup();
    card_ = new ScoreCard(local);
    card_->SetPosition(DesignX(kMargin), DesignY(kRowsTop));
    AddChild(card_);
    int row = 0;
    for (int g = 0; g < kGroupCount; ++g) {
        if (!MatchFigures::HasPlayers(world, g))
            continue;
        const float y = DesignY(kRowsTop + float(row) * kRowGap);
        auto* meter = new ScoreMeter(g, mode.modeIndex);
        meter->SetPosition(DesignX(kMargin + kCardWidth + kMeterInset), y);
        meter->SetSize(DesignX(kMeterWidth), DesignY(kMeterHeight));
        AddChild(meter);
        meters_[size_t(g)] = meter;
        auto* label = new SimpleLabel(0, 0xFFFFFFFF, kLabelLeft, std::string());
        label->SetScale(0.75f);
        label->SetPosition(DesignX(kMargin + kCardWidth + kMeterInset + kMeterWidth + 12.0f), y);
        label->SetSize(DesignX(kScorePanelDesignWidth - (kMargin * 2 + kCardWidth + kMeterInset + kMeterWidth + 12.0f)),
                       DesignY(kMeterHeight + 4.0f));
        AddChild(label);
        groupLabels_[size_t(g)] = label;
        ++row;
    }
    RefreshScores();
}

void SavedMeterScoreWindow::SetTitle(const std::string& title)
{
    title_ = title;
}

std::string SavedMeterScoreWindow::PlayerListOf(int group)
{
    std::vector<MatchPlayer> players = CurrentMatchWorld().Players();
    std::stable_sort(players.begin(), players.end(),
                     [](const MatchPlayer& a, const MatchPlayer& b) { return a.number < b.number; });
    std::string list;
    for (const MatchPlayer& player : players) {
        if (player.group != group || player.spectator || player.number < 0 || player.number > 15)
            continue;
        if (!list.empty())
            list += ", ";
        list += player.name + "(" + std::to_string(player.number) + ")";
    }
    return list;
}

std::string SavedMeterScoreWindow::GroupLabelText(int group) const
{
    SimpleLabel* label = groupLabels_[size_t(group & 7)];
    return label ? label->GetText() : std::string();
}

void SavedMeterScoreWindow::RebuildLabels()
{
    for (int g = 0; g < kGroupCount; ++g)
        if (groupLabels_[size_t(g)])
            groupLabels_[size_t(g)]->SetText(PlayerListOf(g));
}

void SavedMeterScoreWindow::RefreshScores()
{
    RebuildLabels();
    for (ScoreMeter* meter : meters_)
        if (meter)
            meter->Refresh();
}

void SavedMeterScoreWindow::Update()
{
    FlimbsWindow5::Update();
    if (!timerEnabled_)
        return;
    elapsed_ += GuiFrameElapsed();
    while (elapsed_ >= kRefreshPeriod) {
        elapsed_ -= kRefreshPeriod;
        catchUp_ = elapsed_ >= kRefreshPeriod;
        RebuildLabels();
    }
}

// ---- CaptureTheFlimbScore ----------------------------------------------------------------

CaptureTheFlimbScore::CaptureTheFlimbScore()
{
    containerFlags |= 1 | 4;
    SizeAsScorePanel(*this);
    AddText(*this, TranslateText("Capture the Flimb"), 5, 1.0f, DesignX(kMargin), DesignY(20.0f));
    AddText(*this, TranslateText("Lead the target flimb into your exit!"), 0, 0.8f, DesignX(kMargin), DesignY(70.0f));
}

void CaptureTheFlimbScore::Update()
{
    FlimbsWindow5::Update();
    animationTimer_ += GuiFrameElapsed();
    if (animationTimer_ < ScoreMeter::kAnimationPeriod)
        return;
    animationTimer_ %= ScoreMeter::kAnimationPeriod;
    const MatchWorld& world = CurrentMatchWorld();
    const std::vector<FlimbInfo> targets = world.SpecialFlimbs(kAllGroups);
    if (targets.empty())
        return;
    const FlimbInfo& target = targets.front();
    double best = 9999999.0;
    for (const ExitInfo& exit : world.Exits()) {
        const double dx = double(exit.x) - target.x, dy = double(exit.y) - target.y;
        const double distance = std::sqrt(dx * dx + dy * dy);
        if (distance < best) {
            best = distance;
            shownGroup_ = exit.group;
        }
    }
}

void CaptureTheFlimbScore::Draw()
{
    FlimbsWindow5::Draw();
    if (!visible || !highlight || shownGroup_ < 0)
        return;
    // The standing flimb of the group nearest to the capture; the group's colour stands in
    // for its animation until the group-animation cache exists.
    Draw2D::DrawFilledCircle(Pixels(30.0f), (rect.left + rect.right) / 2.0f, rect.top + Pixels(260.0f),
                             WithAlpha(CurrentMatchWorld().GroupColour(shownGroup_), alpha));
}

// ---- QuantumLoopScore --------------------------------------------------------------------

QuantumLoopScore::QuantumLoopScore()
{
    containerFlags |= 1 | 4;
    SizeAsScorePanel(*this);
    AddText(*this,
            TranslateText("Control each group one at a time.  Your morph actions will be recorded and played\n"
                          "back when you choose a different group."),
            0, 0.8f, DesignX(kMargin), DesignY(20.0f));
}
