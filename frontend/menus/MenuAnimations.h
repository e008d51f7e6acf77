#pragma once
// The backdrop's small animations: a periodic tick and the two image animators that ride
// on it (the breathing star field and the swinging logo).
#include "gui/Primitive.h"

#include <cstdint>

class ScreenImage;

// Fires at most one tick a frame. The accumulator grows by the frame's elapsed time; once
// it reaches the period one period is taken off, and with the clamp set what is left is
// capped at one period, so a stall causes no burst of ticks afterwards.
struct PeriodicTick {
    PeriodicTick(uint32_t periodMs, bool clampAccumulator) : period(periodMs), clamp(clampAccumulator ? 1u : 0u) {}

    // True when a tick fires this frame.
    bool Advance(uint32_t elapsedMs);

    uint8_t enabled = 1;
    uint32_t period;
    uint32_t accumulator = 0;
    uint32_t clamp;
};

// Breathes the target's scale: every 50 ms tick the phase grows by 0.015 and the scale
// becomes sin(phase) * 0.5 + 4.5 (times the UI scale).
class ImageScalingAnimation : public Primitive {
public:
    explicit ImageScalingAnimation(ScreenImage* target) : target_(target) {}
    void Update() override;
    Primitive* HitTest(int, int) override { return nullptr; }
    float Phase() const { return phase_; }

private:
    PeriodicTick tick_{50, false};
    float phase_ = 0.0f;
    ScreenImage* target_; // a sibling in the backdrop, not owned
};

// Swings the target: every 50 ms tick (clamped) the phase grows by 0.045; every frame the
// rotation is sin(phase) * 3 degrees.
class ImageRotationAnimation2 : public Primitive {
public:
    explicit ImageRotationAnimation2(ScreenImage* target) : target_(target) {}
    void Update() override;
    Primitive* HitTest(int, int) override { return nullptr; }
    float Phase() const { return phase_; }

private:
    PeriodicTick tick_{50, true};
    float phase_ = 0.0f;
    ScreenImage* target_; // a sibling in the backdrop, not owned
};
