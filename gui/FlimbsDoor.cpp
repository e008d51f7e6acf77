#include "gui/FlimbsDoor.h"

#include "gui/GuiClock.h"
#include "gui/UiScale.h"
#include "media/AnimSurface.h"

#include <algorithm>
#include <cmath>

namespace {

void CutIntoFrames(SkinImage& image, int frames)
{
    if (!image)
        return;
    const AnimSurface* surface = image.get();
    image.SetFrameSize(std::max(1, surface->imageWidth / frames), std::max(1, surface->imageHeight));
}

} // namespace

FlimbsDoor::FlimbsDoor(const std::string& folder, const std::string& leftFile, const std::string& rightFile,
                       int frames)
    : left_(folder, leftFile), right_(folder, rightFile)
{
    frames = std::max(1, frames);
    CutIntoFrames(left_, frames);
    CutIntoFrames(right_, frames);
    const float scale = ScreenImageScale();
    leafWidth_ = std::max(left_.DrawnWidth(scale), right_.DrawnWidth(scale));
    leafHeight_ = std::max(left_.DrawnHeight(scale), right_.DrawnHeight(scale));
    Primitive::SetSize(ToVirtualX(2.0f * leafWidth_), ToVirtualY(leafHeight_));
}

void FlimbsDoor::Aim(float target, float rate)
{
    motion_.SetValues(fraction_, target, rate);
    motion_.Set(0.0f, float(kMotionMs));
    motion_.Start();
    animating_ = true;
}

void FlimbsDoor::SetOpening(float opening, uint32_t delayMs)
{
    if (!std::isfinite(opening))
        opening = 0.0f;
    delay_ = delayMs;
    Aim(std::clamp(opening, 0.0f, 100.0f) / 100.0f, 0.0f);
}

void FlimbsDoor::Open(float opening)
{
    if (!std::isfinite(opening))
        opening = 0.0f;
    const float rate = animating_ && delay_ == 0 ? motion_.Rate(motion_.time) : 0.0f;
    delay_ = 0;
    Aim(std::clamp(opening, 0.0f, 100.0f) / 100.0f, rate);
}

void FlimbsDoor::Advance(uint32_t milliseconds)
{
    if (!animating_)
        return;
    if (delay_ > 0) {
        const uint32_t used = std::min(delay_, milliseconds);
        delay_ -= used;
        milliseconds -= used;
        if (milliseconds == 0)
            return;
    }
    fraction_ = std::clamp(motion_.Advance(float(milliseconds)), 0.0f, 1.0f);
    if (motion_.AtEnd())
        animating_ = false;
}

void FlimbsDoor::Update() { Advance(GuiFrameElapsed()); }

int FlimbsDoor::LeafFrame() const
{
    const int frames = std::max(1, left_.FrameCount());
    return std::clamp(int(std::lround(fraction_ * float(frames - 1))), 0, frames - 1);
}

void FlimbsDoor::Draw()
{
    const float shift = fraction_ * leafWidth_;
    const uint32_t colour = 0x00FFFFFFu | (uint32_t(alpha) << 24);
    const int frame = LeafFrame();
    left_.DrawStretched(rect.left - shift, rect.top, rect.left - shift + leafWidth_, rect.top + leafHeight_, colour,
                        frame);
    const float rightLeft = rect.left + leafWidth_ + shift;
    right_.DrawStretched(rightLeft, rect.top, rightLeft + leafWidth_, rect.top + leafHeight_, colour, frame);
}

void FlimbsDoor::SetSize(float width, float height)
{
    Primitive::SetSize(width, height);
    leafWidth_ = (rect.right - rect.left) * 0.5f;
    leafHeight_ = rect.bottom - rect.top;
}

bool FlimbsDoor::GetSize(float* width, float* height)
{
    if (width)
        *width = ToVirtualX(2.0f * leafWidth_);
    if (height)
        *height = ToVirtualY(leafHeight_);
    return true;
}

QuitFlimbsDoor::QuitFlimbsDoor() : FlimbsDoor(kFolder, "quit-door-left.png", "quit-door-right.png", kFrames) {}
