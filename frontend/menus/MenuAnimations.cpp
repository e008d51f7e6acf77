#include "frontend/menus/MenuAnimations.h"

#include "gui/GuiClock.h"
#include "gui/ScreenImage.h"

#include <cmath>

bool PeriodicTick::Advance(uint32_t elapsedMs)
{
    if (!enabled)
        return false;
    accumulator += elapsedMs;
    if (accumulator < period)
        return false;
    accumulator -= period;
    if (clamp && accumulator > period)
        accumulator = period;
    return true;
}

void ImageScalingAnimation::Update()
{
    if (!tick_.Advance(GuiFrameElapsed()) || !target_)
        return;
    phase_ += 0.015f;
    const float scale = std::sin(phase_) * 0.5f + 4.5f;
    target_->SetScale(scale, scale);
}

void ImageRotationAnimation2::Update()
{
    if (tick_.Advance(GuiFrameElapsed()))
        phase_ += 0.045f;
    if (target_)
        target_->SetRotation(std::sin(phase_) * 3.0f * 3.1415927f / 180.0f);
}
