#include "modes/ArcadeModeStatsWidget.h"

#include "app/LanguageTexts.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "modes/MatchWorld.h"
#include "modes/MultiverseMatchMode.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"

#include <algorithm>

namespace {

float Design(float pixels)
{
    return pixels * GetUiScale();
}

} // namespace

ArcadeModeStatsWidget::ArcadeModeStatsWidget(MultiverseMatchMode* mode)
    : GameModeStatsWidget(0, std::string()), mode_(mode)
{
    SetSize(ToVirtualX(Design(kDesignWidth)), kKeepCoordinate);
}

// The walking sprites belong to the group-animation cache.
ArcadeModeStatsWidget::~ArcadeModeStatsWidget() = default;

void ArcadeModeStatsWidget::Refresh()
{
    const MatchWorld& world = CurrentMatchWorld();
    const bool multiplayer = world.IsMultiplayerMatch();
    scoresText_ = TranslateText("Current Scores:");
    for (int g = 0; g < kGroupCount; ++g) {
        const bool shown = MatchFigures::HasPlayers(world, g) || (!multiplayer && mode_ && g == mode_->flimbMasterGroup);
        shown_[size_t(g)] = shown;
        if (!shown)
            continue;
        potentials_[size_t(g)] = mode_ ? mode_->Potential(g) : 0;
        std::string name = world.GroupLabel(g);
        if (!name.empty())
            name[0] = char(std::toupper(static_cast<unsigned char>(name[0])));
        scoresText_ += "\n" + name + " - " + std::to_string(mode_ ? mode_->scores[size_t(g)] : 0);
    }
    SetToolTipText(scoresText_);
}

void ArcadeModeStatsWidget::Update()
{
    GameModeStatsWidget::Update();
    Refresh();
    if (!placed_) {
        placed_ = true;
        SetPosition(1000.0f - GetSizeVirtual().x - ToVirtualX(Design(kDesignRightInset)), kKeepCoordinate);
    }
}

void ArcadeModeStatsWidget::Draw()
{
    if (!visible || !highlight || !mode_)
        return;
    const MatchWorld& world = CurrentMatchWorld();
    const float left = rect.left + Design(4.0f), right = rect.right - Design(4.0f);
    const float top = rect.top + Design(3.0f), bottom = rect.bottom - Design(3.0f);
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, WithAlpha(0xFF101018u, uint8_t(alpha * 0.6f)));
    int lanes = 0;
    for (bool shown : shown_)
        lanes += shown ? 1 : 0;
    if (lanes == 0)
        return;
    const float scaleEnd = float(std::max<int32_t>(mode_->startPotential, 1));
    const float laneHeight = (bottom - top) / float(lanes);
    int lane = 0;
    for (int g = 0; g < kGroupCount; ++g) {
        if (!shown_[size_t(g)])
            continue;
        const float y0 = top + laneHeight * float(lane), y1 = y0 + laneHeight;
        const uint32_t colour = world.GroupColour(g);
        const auto at = [&](int32_t value) {
            return left + (right - left) * std::clamp(float(value) / scaleEnd, 0.0f, 1.0f);
        };
        const float scoreX = at(mode_->scores[size_t(g)]);
        Draw2D::DrawFilledRect(left, y0 + laneHeight * 0.35f, at(potentials_[size_t(g)]), y1 - laneHeight * 0.35f,
                               WithAlpha(colour, uint8_t(alpha / 4)));
        Draw2D::DrawFilledRect(left, y0 + laneHeight * 0.25f, scoreX, y1 - laneHeight * 0.25f,
                               WithAlpha(colour, uint8_t(alpha * 3 / 4)));
        AnimSurface*& sprite = sprites_[size_t(g)];
        if (!sprite && !triedSprite_[size_t(g)]) {
            triedSprite_[size_t(g)] = true;
            sprite = AnimationSpec::GetGroupAnimation(g, kWalk, 0, false);
        }
        if (sprite && sprite->frameHeight > 0) {
            const float height = laneHeight;
            const float width = float(sprite->frameWidth) * height / float(sprite->frameHeight);
            DrawImageFrame(sprite, sprite->frameWidth, sprite->frameHeight, 0,
                           FloatRect{scoreX - width / 2.0f, y0, scoreX + width / 2.0f, y1},
                           WithAlpha(0xFFFFFFFFu, alpha));
        } else {
            Draw2D::DrawFilledCircle(laneHeight * 0.45f, scoreX, (y0 + y1) / 2.0f, WithAlpha(colour, alpha));
        }
        ++lane;
    }
}
