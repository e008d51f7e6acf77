#include "hud/FlimbMasterDisplay.h"

#include "gui/GuiClock.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "hud/HudGame.h"
#include "hud/PopupSupport.h"
#include "media/ImageCache.h"

#include <cmath>

FlimbMasterDisplay::FlimbMasterDisplay()
{
    frame_ = ImageCache::GetImageFromParts(kFolder, "flimbmaster_display_frame.png");
    cover_ = ImageCache::GetImageFromParts(kFolder, "flimbmaster_display_shield.png");
    float width = 0.0f, height = 0.0f;
    if (GetSize(&width, &height))
        SetSize(width, height);
}

FlimbMasterDisplay::~FlimbMasterDisplay()
{
    for (AnimSurface* image : {frame_, cover_, door_, emblem_})
        ImageCache::ReleaseImage(image);
}

void FlimbMasterDisplay::SetShieldImage()
{
    ImageCache::ReleaseImage(emblem_);
    emblem_ = nullptr;
    emblemFrames_ = 0;
    const std::string boss = CurrentHudGame().BossShieldImage();
    emblemPath_ = boss.empty() ? kUnknownShield : boss;
    if (!HudImageExists(emblemPath_))
        return; // left out; the door does not animate over nothing
    emblem_ = ImageCache::GetImage(emblemPath_);
    if (emblem_ && emblem_->imageWidth > 0)
        emblemFrames_ = int(std::lround(double(emblem_->imageWidth) / kEmblemFrameWidth));
}

bool FlimbMasterDisplay::LoadDoor(bool atLast)
{
    ReleaseDoor();
    if (!emblem_ || !HudImageExists(kDoorImage))
        return false;
    door_ = ImageCache::GetImage(kDoorImage);
    doorFrames_ = door_ ? (door_->imageWidth / kDoorFrameWidth) * (door_->imageHeight / kDoorFrameHeight) : 0;
    if (doorFrames_ <= 0) {
        ReleaseDoor();
        return false;
    }
    doorFrame_ = atLast ? doorFrames_ - 1 : 0;
    accumulated_ = 0;
    return true;
}

void FlimbMasterDisplay::ReleaseDoor()
{
    ImageCache::ReleaseImage(door_);
    door_ = nullptr;
    doorFrames_ = 0;
}

void FlimbMasterDisplay::Update()
{
    if (current_ == wanted)
        return;
    if (door_ && animationOn) {
        accumulated_ += GuiFrameElapsed();
        if (accumulated_ >= kFrameStep) {
            accumulated_ -= kFrameStep;
            if (clamp && accumulated_ > kFrameStep)
                accumulated_ = kFrameStep;
            if (current_ == kOpening) {
                if (++doorFrame_ >= doorFrames_) {
                    current_ = kShown;
                    ReleaseDoor();
                }
            } else if (current_ == kClosing) {
                if (--doorFrame_ < 0) {
                    doorFrame_ = doorFrames_ - 1;
                    current_ = kCovered;
                    ReleaseDoor();
                }
            }
        }
    }
    if (current_ == wanted)
        return;
    if (current_ == kShown && wanted == kCovered)
        current_ = LoadDoor(true) ? kClosing : kCovered;
    else if (current_ == kCovered && wanted == kShown)
        current_ = LoadDoor(false) ? kOpening : kShown;
    else if (current_ == kOpening && wanted == kCovered)
        current_ = kClosing;
    else if (current_ == kClosing && wanted == kShown)
        current_ = kOpening;
}

void FlimbMasterDisplay::DrawImage(const AnimSurface* image, int frameWidth, int frameHeight, int frame, float x,
                                   float y) const
{
    if (!image || frameWidth <= 0 || frameHeight <= 0)
        return;
    const float s = GetUiScale();
    DrawImageFrame(image, frameWidth, frameHeight, frame,
                   FloatRect{x, y, x + float(frameWidth) * s, y + float(frameHeight) * s}, WithAlpha(0xFFFFFFFF, alpha));
}

void FlimbMasterDisplay::Draw()
{
    if (!visible || !highlight)
        return;
    const float s = GetUiScale();
    const float x = rect.left, y = rect.top;
    if (frame_)
        DrawImage(frame_, frame_->imageWidth, frame_->imageHeight, 0, x, y);
    if (current_ == kCovered) {
        if (cover_)
            DrawImage(cover_, cover_->imageWidth, cover_->imageHeight, 0, x + 6.0f * s, y + 9.0f * s);
        return;
    }
    if (emblem_) {
        const int width = emblemFrames_ > 0 ? emblem_->imageWidth / emblemFrames_ : emblem_->imageWidth;
        DrawImage(emblem_, width, emblem_->imageHeight, 0, x + 4.0f * s, y + 9.0f * s);
    }
    if (door_)
        DrawImage(door_, kDoorFrameWidth, kDoorFrameHeight, doorFrame_, x + 4.0f * s, y + 9.0f * s);
}

bool FlimbMasterDisplay::GetSize(float* width, float* height)
{
    const float s = GetUiScale();
    const float w = frame_ ? float(frame_->imageWidth) * s : 106.0f * s;
    const float h = frame_ ? float(frame_->imageHeight) * s : 125.0f * s;
    if (width)
        *width = ToVirtualX(w);
    if (height)
        *height = ToVirtualY(h);
    return true;
}
