#include "modes/GameModeStatsWidget.h"

#include "app/LanguageTexts.h"
#include "app/StringUtil.h"
#include "gui/GuiClock.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/ImageCache.h"
#include "modes/CorralTheFlimbMode.h"
#include "modes/MatchWorld.h"

#include <algorithm>

namespace {

constexpr int kValueFont = 3;
constexpr int kMeasureFont = 4;
constexpr float kValuePointSize = 18.0f;
constexpr float kFontPointSize = 12.0f; // the point size of fonts 3 and 4
constexpr float kTextInset = 10.0f;     // design pixels inside the right edge

float Design(float pixels)
{
    return pixels * GetUiScale();
}

} // namespace

GameModeStatsWidget::GameModeStatsWidget(int group, const std::string& iconPath, uint32_t colour,
                                         const std::string& toolTip)
    : group_(group), colour_(colour), toolTip_(toolTip)
{
    deleteWhenClosed = 0; // the game mode owns its widgets
    SetSize(ToVirtualX(Design(kDesignWidth)), ToVirtualY(Design(kDesignHeight)));
    SetIconPath(iconPath);
}

GameModeStatsWidget::~GameModeStatsWidget()
{
    ImageCache::ReleaseImage(icon_);
}

float GameModeStatsWidget::TextScale() const
{
    return kValuePointSize / kFontPointSize * GetUiScale();
}

void GameModeStatsWidget::SetValue(int32_t value)
{
    value_ = value;
    SetText(StringPrintf("%d", value));
}

void GameModeStatsWidget::SetText(const std::string& text)
{
    if (!firstValue_ && text == valueText_)
        return;
    if (!firstValue_)
        pulsesLeft_ = 1;
    firstValue_ = false;
    valueText_ = text;
    Relayout();
}

void GameModeStatsWidget::SetIconPath(const std::string& path)
{
    iconPattern_ = path;
    ImageCache::ReleaseImage(icon_);
    icon_ = nullptr;
    iconName_.clear();
    if (path.empty())
        return;
    iconName_ = path;
    const size_t at = iconName_.find("{group-label}");
    if (at != std::string::npos)
        iconName_.replace(at, 13, CurrentMatchWorld().GroupLabel(group_));
    icon_ = ImageCache::GetImage(iconName_);
}

void GameModeStatsWidget::SetGroup(int group)
{
    group_ = group;
    RefreshLabel();
}

void GameModeStatsWidget::RefreshLabel()
{
    if (!iconPattern_.empty())
        SetIconPath(iconPattern_);
}

void GameModeStatsWidget::Relayout()
{
    const float scale = TextScale();
    float textWidth = std::max(WidgetTextWidth(kMeasureFont, valueText_, scale),
                               WidgetTextWidth(kMeasureFont, "HH", scale));
    textWidth = std::max(textWidth, WidgetTextWidth(kMeasureFont, std::string(valueText_.size(), 'H'), scale));
    float iconWidth = 0.0f;
    if (icon_ && icon_->frameHeight > 0)
        iconWidth = float(icon_->frameWidth) * (rect.bottom - rect.top) / float(icon_->frameHeight);
    SetSize(ToVirtualX(iconWidth + textWidth + Design(kTextInset)), kKeepCoordinate);
}

void GameModeStatsWidget::StepPulse()
{
    if (pulsesLeft_ <= 0 && pulseAmount_ <= 0)
        return;
    pulseAmount_ += pulseStep_;
    if (pulseAmount_ > kPulseTop) {
        pulseAmount_ = kPulseTop;
        pulseStep_ = -kPulseStep;
        --pulsesLeft_;
    } else if (pulseAmount_ < 0) {
        pulseAmount_ = 0;
        pulseStep_ = kPulseStep;
    }
}

void GameModeStatsWidget::Update()
{
    blinkTimer_ = (blinkTimer_ + GuiFrameElapsed()) % kBlinkPeriod;
    StepPulse();
}

void GameModeStatsWidget::Draw()
{
    if (!visible || !highlight)
        return;
    if (shade_ > 0.0f)
        Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom,
                               WithAlpha(0xFF000000u, uint8_t(std::clamp(shade_, 0.0f, 1.0f) * 160.0f)));
    const float height = rect.bottom - rect.top;
    if (icon_ && icon_->frameHeight > 0) {
        const float width = float(icon_->frameWidth) * height / float(icon_->frameHeight);
        const FloatRect dest{rect.left, rect.top, rect.left + width, rect.bottom};
        DrawImageFrame(icon_, icon_->frameWidth, icon_->frameHeight, 0, dest, WithAlpha(0xFFFFFFFFu, alpha));
        if (pulseAmount_ > 0)
            DrawImageFrame(icon_, icon_->frameWidth, icon_->frameHeight, 0, dest,
                           WithAlpha(0xFFFFFFFFu, uint8_t(pulseAmount_ * alpha / 255)));
    }
    if (pulseAmount_ > 0)
        Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom,
                               WithAlpha(0xFFFFFFFFu, uint8_t(pulseAmount_ / 4)));
    const uint8_t shown = uint8_t(((colour_ >> 24) * alpha) / 255);
    DrawWidgetText(kValueFont, rect.right - Design(kTextInset), (rect.top + rect.bottom) / 2.0f, TextScale(),
                   WithAlpha(colour_, shown), valueText_, kTextRight | kTextVCentre);
}

CorralModeStatsWidget::CorralModeStatsWidget(CorralTheFlimbMode* mode)
    : GameModeStatsWidget(0, std::string()), mode_(mode)
{
    SetSize(ToVirtualX(Design(kDesignBarWidth)), kKeepCoordinate);
}

void CorralModeStatsWidget::Refresh()
{
    const MatchWorld& world = CurrentMatchWorld();
    for (int g = 0; g < kGroupCount; ++g) {
        inPlay_[size_t(g)] = MatchFigures::HasPlayers(world, g);
        saved_[size_t(g)] = MatchFigures::Saved(world, g);
        if (!inPlay_[size_t(g)])
            continue;
        const int32_t possible = MatchFigures::Present(world, g) + MatchFigures::Waiting(world, g) + saved_[size_t(g)];
        maxPossible_[size_t(g)] = possible;
        largestSeen_ = std::max(largestSeen_, possible);
    }
    const int local = world.LocalGroup();
    const bool localInRange = local >= 0 && local < kGroupCount;
    const int32_t saved = localInRange ? saved_[size_t(local)] : 0;
    const int32_t possible = localInRange ? maxPossible_[size_t(local)] : 0;
    const std::string beamed = TranslateText("Beamed ") + std::to_string(saved);
    if (world.IsMultiplayerMatch() || !mode_ || !mode_->showMinimum)
        SetToolTipText(beamed + TranslateText(" and Group Max ") + std::to_string(possible));
    else
        SetToolTipText(beamed + TranslateText(", Min Save ") +
                       std::to_string(localInRange ? MatchFigures::Required(world, local) : 0) +
                       TranslateText(", and Max Possible ") + std::to_string(possible));
}

void CorralModeStatsWidget::Update()
{
    GameModeStatsWidget::Update();
    Refresh();
}

void CorralModeStatsWidget::Draw()
{
    if (!visible || !highlight)
        return;
    const MatchWorld& world = CurrentMatchWorld();
    const float left = rect.left + Design(4.0f), right = rect.right - Design(4.0f);
    const float top = rect.top + Design(4.0f), bottom = rect.bottom - Design(4.0f);
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, WithAlpha(0xFF101018u, uint8_t(alpha * 0.6f)));
    Draw2D::DrawRectOutline(left, top, right, bottom, WithAlpha(0xFF707080u, alpha));
    const float scale = largestSeen_ > 0 ? (right - left) / float(largestSeen_) : 0.0f;
    int lane = 0;
    int lanes = 0;
    for (bool inPlay : inPlay_)
        lanes += inPlay ? 1 : 0;
    const float laneHeight = lanes > 0 ? (bottom - top) / float(lanes) : 0.0f;
    for (int g = 0; g < kGroupCount; ++g) {
        if (!inPlay_[size_t(g)])
            continue;
        const float y0 = top + laneHeight * float(lane), y1 = y0 + laneHeight;
        const uint32_t colour = world.GroupColour(g);
        // Saved so far, solid; what the group could still reach, faint.
        Draw2D::DrawFilledRect(left, y0, left + scale * float(maxPossible_[size_t(g)]), y1,
                               WithAlpha(colour, uint8_t(alpha / 4)));
        Draw2D::DrawFilledRect(left, y0, left + scale * float(saved_[size_t(g)]), y1, WithAlpha(colour, alpha));
        ++lane;
    }
}
