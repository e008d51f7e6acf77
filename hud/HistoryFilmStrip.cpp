#include "hud/HistoryFilmStrip.h"

#include "gui/Animators.h"
#include "gui/GuiClock.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "gui/WindowList.h"
#include "hud/HudWindow.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "session/SessionServices.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kFolder = "Graphics\\HUD\\InGame";
constexpr uint8_t kFlagLive = 4;
constexpr uint32_t kFadeStepMs = 16;
// The flimb flag that keeps a Mold flimb's flash running: its type is fresh.
constexpr uint8_t kMoldFlashFlag = kFlimbFreshType;

// Walk, Fall, Doppel and Nova are the ordinary states a picture fades out in.
bool Ordinary(int type)
{
    return type == kWalk || type == kFall || type == kDoppel || type == kNova;
}

void DrawFlimbFrame(const AnimSurface* sheet, int frame, float x, float y, float scaleX, float scaleY, uint32_t colour)
{
    if (!sheet || !sheet->bitmap || !sheet->bitmap->texture || sheet->frameWidth <= 0 || sheet->frameHeight <= 0 ||
        sheet->imageWidth <= 0)
        return;
    const int columns = std::max(1, sheet->imageWidth / sheet->frameWidth);
    frame = std::clamp(frame, 0, std::max(0, sheet->frameCount - 1));
    const int sx = (frame % columns) * sheet->frameWidth, sy = (frame / columns) * sheet->frameHeight;
    const gfx::RECT source{sx, sy, sx + sheet->frameWidth, sy + sheet->frameHeight};
    Draw2D::DrawTexturedQuad(sheet->bitmap->texture, &source, x, y, scaleX, scaleY, float(sheet->hotspotX),
                             float(sheet->hotspotY), 0.0f, colour);
}

} // namespace

// ---- HistoryFlimb

HistoryFlimb::HistoryFlimb(int32_t flimbId, bool pinned)
    : flimbId_(flimbId), pinned_(pinned), created_(CurrentUpdateCounter())
{
    if (pinned_)
        pin_ = ImageCache::GetImageFromParts(kFolder, "pin.png");
    lastClock_ = GuiNow();
}

HistoryFlimb::~HistoryFlimb()
{
    delete animator_;
    ImageCache::ReleaseImage(pin_);
}

Flimb* HistoryFlimb::FindFlimb() const
{
    Flimb* flimb = FindFlimbById(flimbId_);
    return flimb && (flimb->flags & kFlagLive) ? flimb : nullptr;
}

void HistoryFlimb::TogglePin()
{
    pinned_ = !pinned_;
    if (pinned_ && !pin_)
        pin_ = ImageCache::GetImageFromParts(kFolder, "pin.png");
}

void HistoryFlimb::Select()
{
    Flimb* flimb = FindFlimb();
    if (!flimb)
        return;
    WorldState& world = World();
    // A highlight request toggles: the old selection is unhighlighted and the new one
    // highlighted, and a flimb already selected stays as it is.
    if (world.selected != flimb) {
        if (world.selected)
            SendHighlight(world.selected->id);
        SendHighlight(flimb->id);
        world.selected = flimb;
    }
    if (HudGameView* view = FindHudGameView()) {
        const FloatRect r = view->VisibleRect();
        view->LookAt((r.bottom - r.top) * 1005.0f / float(GetScreenHeight()), float(flimb->x), float(flimb->y));
        if (Primitive* panel = view->Panel())
            SetKeyboardFocus(panel);
    }
    lastClick_ = GuiNow();
}

Primitive* HistoryFlimb::OnLeftButton(int x, int y, int phase)
{
    if (!PointInRect(x, y))
        return nullptr;
    if (phase == kPhaseDown)
        Select();
    return this;
}

Primitive* HistoryFlimb::OnRightButton(int x, int y, int phase)
{
    if (!PointInRect(x, y))
        return nullptr;
    if (phase == kPhaseDown) {
        TogglePin();
        flashCounter_ = kFlashLength / 2;
        flashColour_ = 0xFF000000;
    }
    return this;
}

void HistoryFlimb::SlideTo(float x)
{
    if (slideTarget_ == x && animator_ && animator_->IsRunning())
        return;
    if (!animator_) {
        auto* strip = dynamic_cast<PrimContainer*>(parent);
        if (!strip)
            return;
        animator_ = new AnimatePosition(this);
        animator_->deleteWhenClosed = 0; // the picture deletes it
        strip->AddChild(animator_);
    }
    slideTarget_ = x;
    animator_->Start(x, GetPositionVirtual().y, HistoryFilmStrip::kSlideMs);
}

void HistoryFlimb::Update()
{
    if (!FindFlimb())
        Deactivate();
}

void HistoryFlimb::StepFade(const Flimb& flimb)
{
    const uint32_t now = GuiNow();
    if (now - lastClock_ <= kFadeStepMs)
        return;
    lastClock_ = now;
    if (!pinned_ && Ordinary(flimb.type))
        pictureAlpha_ = pictureAlpha_ > 0 ? uint8_t(pictureAlpha_ - 1) : 0;
    else
        pictureAlpha_ = 255;
    if (flimb.type == kMold && !(flimb.flags & kMoldFlashFlag))
        flashCounter_ = -1;
    if (CurrentUpdateCounter() > created_ + 5 && flimb.type == kWalk && lastType_ != kWalk && lastType_ != kFall)
        flashCounter_ = -1;
    lastType_ = flimb.type;
}

void HistoryFlimb::Draw()
{
    Flimb* flimb = FindFlimb();
    if (!flimb || !visible)
        return;
    StepFade(*flimb);
    if (pictureAlpha_ == 0) {
        Deactivate();
        return;
    }
    const float s = GetUiScale();
    const float base = 0.75f * s;
    // A walking flimb shows its group's walk sheet, mirrored the other way when that is the
    // sheet it already shows.
    const AnimSurface* sheet = flimb->animation;
    bool mirrored = flimb->walkSpeed < 0;
    if (flimb->type == kWalk) {
        const AnimSurface* walk = AnimationSpec::GetGroupAnimation(flimb->group, kWalk, 2, false);
        if (walk) {
            if (walk == sheet)
                mirrored = !mirrored;
            sheet = walk;
        }
    }
    const float x = rect.left + 25.0f * s;
    const uint8_t drawAlpha = uint8_t(uint32_t(pictureAlpha_) * alpha / 255);
    if (World().selected == flimb)
        DrawFlimbFrame(sheet, flimb->frame, x, rect.bottom - 12.0f * s, (mirrored ? -1.0f : 1.0f) * 1.12f * base,
                       1.24f * base, WithAlpha(0xFFFFFFFF, drawAlpha));
    const bool flashing = flashCounter_ >= 0 && flashCounter_ % 2 == 0;
    DrawFlimbFrame(sheet, flimb->frame, x, rect.bottom - 14.0f * s, (mirrored ? -1.0f : 1.0f) * base, base,
                   WithAlpha(flashing ? flashColour_ : kGreyColour, drawAlpha));
    if (flashCounter_ >= 0 && ++flashCounter_ >= kFlashLength) {
        flashCounter_ = -1;
        flashColour_ = kGreyColour;
    }
    if (pinned_ && pin_) {
        const float w = float(pin_->imageWidth) * s;
        DrawImageFrame(pin_, pin_->imageWidth, pin_->imageHeight, 0,
                       FloatRect{rect.right - 2.0f * s - w, rect.top + 8.0f * s, rect.right - 2.0f * s,
                                 rect.top + 8.0f * s + float(pin_->imageHeight) * s},
                       WithAlpha(0xFFFFFFFF, alpha));
    }
}

// ---- HistoryFilmStrip

HistoryFilmStrip::HistoryFilmStrip() : slot_(Primitive::ToVirtualX(50.0f * GetUiScale()))
{
    SetName(kName);
    containerFlags |= kContainerTransparent;
    base_ = ImageCache::GetImageFromParts(kFolder, "history_filmstrip_base.png");
    overlay_ = ImageCache::GetImageFromParts(kFolder, "history_filmstrip_overlay.png");
    float w = 0.0f, h = 0.0f;
    GetSize(&w, &h);
    SetSize(w, h);
}

HistoryFilmStrip::~HistoryFilmStrip()
{
    // The pictures delete their animators, which are children too: take those out first.
    for (Primitive* child : CopyChildList())
        if (dynamic_cast<AnimatePosition*>(child))
            RemoveChild(child, false);
    ImageCache::ReleaseImage(base_);
    ImageCache::ReleaseImage(overlay_);
}

std::vector<HistoryFlimb*> HistoryFilmStrip::Pictures() const
{
    std::vector<HistoryFlimb*> pictures;
    for (Primitive* child : Children())
        if (auto* picture = dynamic_cast<HistoryFlimb*>(child); picture && picture->active)
            pictures.push_back(picture);
    return pictures;
}

HistoryFlimb* HistoryFilmStrip::PictureOf(int32_t flimbId) const
{
    for (HistoryFlimb* picture : Pictures())
        if (picture->FlimbId() == flimbId)
            return picture;
    return nullptr;
}

void HistoryFilmStrip::AddFlimb(int32_t flimbId, bool pin)
{
    const std::vector<HistoryFlimb*> pictures = Pictures();
    if (HistoryFlimb* shown = PictureOf(flimbId)) {
        if (pin)
            shown->TogglePin();
        return;
    }
    // Only live pictures count towards the limit: a deactivated one has freed its place.
    if (int(pictures.size()) >= kLimit)
        return;
    const int count = int(pictures.size());
    cursor_ = count;
    auto* picture = new HistoryFlimb(flimbId, pin);
    picture->SetPosition(slot_ * float(count), 0.0f);
    picture->SetSize(slot_, GetSizeVirtual().y);
    picture->tabStop = 1;
    AddChild(picture);
}

void HistoryFilmStrip::SelectAt(int index)
{
    const std::vector<HistoryFlimb*> pictures = Pictures();
    if (index >= 0 && index < int(pictures.size()))
        pictures[size_t(index)]->Select();
}

void HistoryFilmStrip::Next(bool pressed)
{
    if (!pressed)
        return;
    const int count = int(Pictures().size());
    cursor_ = cursor_ + 1 >= count ? 0 : cursor_ + 1;
    SelectAt(cursor_);
}

void HistoryFilmStrip::Previous(bool pressed)
{
    if (!pressed)
        return;
    const int count = int(Pictures().size());
    cursor_ = cursor_ - 1 < 0 ? count - 1 : cursor_ - 1;
    SelectAt(cursor_);
}

void HistoryFilmStrip::PinSelected(bool pressed)
{
    if (pressed && World().selected)
        AddFlimb(World().selected->id, true);
}

void HistoryFilmStrip::Update()
{
    PrimContainer::Update();
    int i = 0;
    for (HistoryFlimb* picture : Pictures()) {
        const float wanted = slot_ * float(i++);
        if (std::fabs(picture->GetPositionVirtual().x - wanted) > 0.001f)
            picture->SlideTo(wanted);
    }
}

void HistoryFilmStrip::Draw()
{
    if (!visible || !highlight)
        return;
    const float s = GetUiScale();
    const auto image = [&](const AnimSurface* surface) {
        if (surface)
            DrawImageFrame(surface, surface->imageWidth, surface->imageHeight, 0,
                           FloatRect{rect.left, rect.top, rect.left + float(surface->imageWidth) * s,
                                     rect.top + float(surface->imageHeight) * s},
                           WithAlpha(0xFFFFFFFF, alpha));
    };
    image(base_);
    PrimContainer::Draw();
    if (Primitive* focus = GetKeyboardFocus(); focus && focus->parent == this)
        focus->Draw();
    image(overlay_);
}

bool HistoryFilmStrip::GetSize(float* width, float* height)
{
    const float s = GetUiScale();
    if (width)
        *width = ToVirtualX(base_ ? float(base_->imageWidth) * s : 350.0f * s);
    if (height)
        *height = ToVirtualY(base_ ? float(base_->imageHeight) * s : 60.0f * s);
    return true;
}

HistoryFilmStrip* FindHistoryStrip()
{
    return dynamic_cast<HistoryFilmStrip*>(FindOpenWindow(HistoryFilmStrip::kName));
}

void HistoryNextKey(bool pressed)
{
    if (HistoryFilmStrip* strip = FindHistoryStrip())
        strip->Next(pressed);
}

void HistoryPreviousKey(bool pressed)
{
    if (HistoryFilmStrip* strip = FindHistoryStrip())
        strip->Previous(pressed);
}

void HistoryPinKey(bool pressed)
{
    if (HistoryFilmStrip* strip = FindHistoryStrip())
        strip->PinSelected(pressed);
}
