#include "hud/StampUI.h"

#include "gui/WindowList.h"
#include "hud/HudGame.h"
#include "hud/HudWindow.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "platform/input/ScanCodes.h"
#include "session/SessionServices.h"
#include "world/ViewServices.h"

#include <cmath>

namespace {

// The game view's rotation, when there is a view.
std::optional<float> ViewRotation()
{
    Primitive* view = FindOpenWindow("MOUSEPORT");
    if (!view)
        return std::nullopt;
    if (auto* hudView = dynamic_cast<HudGameView*>(view))
        return hudView->Rotation();
    return GameViewRotation();
}

} // namespace

StampUI::StampUI(const std::string& imageFile) : imageFile_(imageFile)
{
    SetName(kName);
    containerFlags |= kContainerModal | kContainerWindow;
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);
    picture_ = ImageCache::GetImage(imageFile);
    transform_.rotation = StampTransform::StartRotation(ViewRotation());
}

StampUI::~StampUI()
{
    if (picture_)
        ImageCache::ReleaseImage(picture_);
}

Primitive* StampUI::HitTest(int, int)
{
    return visible && enabled ? this : nullptr;
}

Primitive* StampUI::OnLeftButton(int x, int y, int phase)
{
    if (phase == kPhaseDown)
        Stamp(x, y);
    return this;
}

Primitive* StampUI::OnRightButton(int, int, int phase)
{
    if (phase == kPhaseDown) {
        transform_.NextMode();
        MarkWindowListChanged(); // the cursor is looked up again
    }
    return this;
}

Primitive* StampUI::OnWheel(int direction)
{
    transform_.Wheel(direction > 0); // the router gives 1 up, 0 down
    return this;
}

int StampUI::OnKey(int value, int code, bool, IInputDevice&)
{
    if (value == 0 && (code == kKeyLeftCtrl || code == kKeyRightCtrl)) {
        Deactivate();
        return 1;
    }
    return 0;
}

bool StampUI::CtrlHeld() const
{
    const HudGame& game = CurrentHudGame();
    return game.KeyHeld(kKeyLeftCtrl) || game.KeyHeld(kKeyRightCtrl);
}

void StampUI::Stamp(int x, int y)
{
    if (FindOpenWindow("MOUSEPORT")) {
        ScopedGameView view; // the view's landscape is current while the point is turned
        float worldX = 0.0f, worldY = 0.0f;
        ScreenToWorldPoint(float(x), float(y), worldX, worldY);
        SendNetBash(imageFile_, transform_.scaleX, transform_.scaleY, kBashMaterial, kBashAffected, kBashColour,
                    transform_.rotation, 0, int32_t(std::lround(worldX)), int32_t(std::lround(worldY)));
    }
    if (!CtrlHeld())
        Deactivate();
}

void StampUI::Draw()
{
    if (!picture_ || !picture_->bitmap || !picture_->bitmap->texture)
        return;
    int x = 0, y = 0;
    GetPointerPosition(&x, &y);
    // The pointer's world point, drawn where the view shows it, at the view's zoom and turn.
    float worldX = float(x), worldY = float(y);
    float screenX = worldX, screenY = worldY;
    float zoom = 1.0f, turn = 0.0f;
    {
        ScopedGameView view;
        ScreenToWorldPoint(float(x), float(y), worldX, worldY);
        screenX = worldX, screenY = worldY;
        WorldToScreen(screenX, screenY);
        zoom = CurrentViewScale();
        turn = GameViewRotation();
    }
    const gfx::RECT whole{0, 0, picture_->imageWidth, picture_->imageHeight};
    Draw2D::DrawTexturedQuad(picture_->bitmap->texture, &whole, screenX, screenY, transform_.scaleX * zoom,
                             transform_.scaleY * zoom, float(picture_->imageWidth) / 2.0f,
                             float(picture_->imageHeight) / 2.0f, transform_.rotation + turn,
                             (uint32_t(kAlpha) << 24) | 0xFFFFFFu);
}

StampUI* AddStampUI(const std::string& imageFile)
{
    if (auto* open = dynamic_cast<StampUI*>(FindOpenWindow(StampUI::kName)))
        open->Deactivate();
    auto* overlay = new StampUI(imageFile);
    OpenWindow(overlay, true);
    SetKeyboardFocus(overlay);
    return overlay;
}
