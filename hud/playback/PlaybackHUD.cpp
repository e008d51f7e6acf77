#include "hud/playback/PlaybackHUD.h"

#include "app/StringUtil.h"
#include "gui/GuiDevice.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "gui/WindowList.h"
#include "hud/HudGame.h"
#include "hud/playback/PlaybackActions.h"
#include "hud/playback/PlaybackVCR.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "game/GameController.h"
#include "platform/input/ScanCodes.h"
#include "world/Landscape.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <algorithm>
#include <memory>

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kThreeHalfPi = 4.712389f;
constexpr int kCountedTypes = 11; // the flimb types 0 .. 10 that a group can be given
constexpr uint8_t kCountAlpha = 200;
constexpr uint8_t kNoneAlpha = 100;
// More than any level: the view limits it to the zoom that shows the whole level.
constexpr float kWholeLevelZoom = 1.0e6f;

// The first row of the belt's slot table whose flimb type is `type` (its icon), or -1.
int BeltRowOfType(int type)
{
    for (size_t row = 0; row < kBeltSlotTable.size(); ++row)
        if ((kBeltSlotTable[row].code & 0x0F) == type)
            return int(row);
    return -1;
}

} // namespace

CountsBarCell CountsBarCellFor(int count, int frames)
{
    CountsBarCell cell;
    cell.frame = std::clamp(count, 0, std::max(1, frames) - 1);
    cell.alpha = count == kMorphNotAllowed ? kNoneAlpha : kCountAlpha;
    cell.showNumber = count != kMorphNotAllowed && count != kMorphUnlimited;
    return cell;
}

PlaybackHUD::PlaybackHUD()
{
    SetName(kName);
    containerFlags |= kContainerWindow | kContainerTransparent;
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);

    std::unique_ptr<Primitive> view = MakeHudGameView();
    viewPanel_ = view.get();
    view_ = dynamic_cast<HudGameView*>(viewPanel_);
    viewPanel_->SetName("MOUSEPORT");
    viewPanel_->SetPosition(0.0f, 0.0f);
    viewPanel_->SetSize(1000.0f, 1000.0f);
    AddChild(view.release());
    if (view_)
        view_->SetViewRect(0.0f, 0.0f, float(GetScreenWidth()), float(GetScreenHeight()));

    vcr_ = new PlaybackVCR;
    vcr_->SetPosition(500.0f - vcr_->GetSizeVirtual().x / 2.0f, PlaybackVCR::kCollapsedY);
    AddChild(vcr_);
    vcr_->SetCollapsed(false);

    icons_ = LoadBeltIcons();
}

PlaybackHUD::~PlaybackHUD()
{
    ReleaseBeltIcons(icons_);
}

float PlaybackHUD::TurnedAngle(float angle, int direction)
{
    if (direction < 0) {
        const float turned = angle - kHalfPi;
        return turned < -1.0f ? kThreeHalfPi : turned;
    }
    const float turned = angle + kHalfPi;
    // A whisker below 2 pi is 2 pi that the float steps did not quite reach.
    return turned >= kTwoPi - 1e-4f ? 0.0f : turned;
}

int PlaybackHUD::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    const bool press = value != 0 && value != kPressRepeating;
    if (press && code == kKeySpace) {
        PlaybackActions::PlayPause();
        return 1;
    }
    // Escape leaves the replay as the panel's exit does (the console, when open, takes it).
    if (press && code == kKeyEscape && !FindOpenWindow("Console")) {
        PlaybackActions::LeavePlayback();
        return 1;
    }
    if (press && (code == kTurnLeftKey || code == kTurnRightKey)) {
        if (view_)
            view_->SetRotation(TurnedAngle(view_->Rotation(), code == kTurnLeftKey ? -1 : 1), kTurnMs);
        return 1;
    }
    return PrimContainer::OnKey(value, code, shift, device);
}

Primitive* PlaybackHUD::OnLeftButton(int x, int y, int phase)
{
    if (vcr_ && vcr_->visible && vcr_->enabled)
        if (Primitive* taker = vcr_->OnLeftButton(x, y, phase))
            return taker;
    return PrimContainer::OnLeftButton(x, y, phase);
}

Primitive* PlaybackHUD::OnRightButton(int x, int y, int phase)
{
    if (vcr_ && vcr_->visible && vcr_->enabled)
        if (Primitive* taker = vcr_->OnRightButton(x, y, phase))
            return taker;
    return PrimContainer::OnRightButton(x, y, phase);
}

Primitive* PlaybackHUD::HitTest(int x, int y)
{
    if (vcr_ && vcr_->visible && vcr_->enabled)
        if (Primitive* hit = vcr_->HitTest(x, y); hit && hit != vcr_)
            return hit;
    return PrimContainer::HitTest(x, y);
}

void PlaybackHUD::Update()
{
    PrimContainer::Update();
    // Each level the replay loads is first shown whole, centred.
    const Landscape* land = GameLandscape();
    const std::string level = Controller().levelFile;
    if (!view_ || !land || land->Width() <= 0 || land->Height() <= 0 || level == framedLevel_)
        return;
    framedLevel_ = level;
    view_->LookAt(kWholeLevelZoom, float(land->Width()) / 2.0f, float(land->Height()) / 2.0f);
}

void PlaybackHUD::Draw()
{
    PrimContainer::Draw();
    if (!World().hideOverlays)
        DrawCountsBar();
}

void PlaybackHUD::DrawCountsBar()
{
    const float s = GetUiScale();
    const float middle = float(GetScreenWidth()) / 2.0f;
    Draw2D::DrawFilledRect(middle - 275.0f * s, 0.0f, middle + 275.0f * s, 50.0f * s, 0xFF000000u);
    const int group = CurrentHudGame().LocalGroup();
    for (int type = 0; type < kCountedTypes; ++type) {
        const int row = BeltRowOfType(type);
        const AnimSurface* icon = row >= 0 ? icons_[size_t(row)] : nullptr;
        if (!icon)
            continue;
        const float x = middle - 250.0f * s + 50.0f * s * float(type);
        const int count = GroupMorphCount(group, type);
        const CountsBarCell cell = CountsBarCellFor(count, icon->frameCount);
        DrawSheetFrame(icon, icon->frameWidth, icon->frameHeight, cell.frame, x, 30.0f * s, float(icon->hotspotX),
                       float(icon->hotspotY), 0.0f, cell.alpha);
        if (cell.showNumber)
            DrawWidgetText(kCountFont, x, 10.0f * s, s, 0xFFFFFFFFu, StringPrintf("%d", count),
                           kTextCentre | kTextVCentre);
    }
}

PlaybackHUD* FindPlaybackHUD()
{
    return dynamic_cast<PlaybackHUD*>(FindOpenWindow(PlaybackHUD::kName));
}
