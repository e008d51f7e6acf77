#pragma once
// A two-leaf sliding door. Closed, the leaves stand side by side over the door's rectangle;
// at opening fraction f the left leaf is drawn f leaf widths to the left and the right leaf
// f leaf widths to the right. The leaves are animated strips whose frame follows the
// opening (first frame shut, last frame open).
//
// Motion: after a start delay (counted down by the frame's elapsed milliseconds, the rest
// of the frame carried into the motion) the fraction follows a quartic over 500 ms,
//   f(u) = f0 + a u + b u^2 + c u^3 + d u^4,  u = t / 500 ms,
// with a = r (the start rate r times 500 ms), g = target - f0 - a, b = 3 g, c = a - 2 g,
// d = -a: it leaves f0 at the start rate, arrives at the target at rate 0 and, from rest,
// is the smooth step f0 + (target - f0)(3u^2 - 2u^3). The curve's derivative gives the
// rate from which a re-aimed motion continues without a jolt.
#include "gui/Primitive.h"
#include "gui/SkinImage.h"
#include "gui/Transforms.h"

#include <string>

class FlimbsDoor : public Primitive {
public:
    static constexpr uint32_t kMotionMs = 500;

    FlimbsDoor() = default;
    // Each leaf image is cut into `frames` columns; the door takes the two leaves' size at
    // the skin scale.
    FlimbsDoor(const std::string& folder, const std::string& leftFile, const std::string& rightFile, int frames);

    // Opening 0 (shut) to 100 (open), clamped; the motion starts from rest at the present
    // opening after delayMs.
    void SetOpening(float opening, uint32_t delayMs);
    // Re-aims at once from the present opening and rate, over 500 ms.
    void Open(float opening);

    void Update() override;
    void Draw() override;
    // Each leaf takes half the width and the whole height.
    void SetSize(float width, float height) override;
    // Both leaves side by side (virtual units); true.
    bool GetSize(float* width, float* height) override;

    float Fraction() const { return fraction_; }
    bool Animating() const { return animating_; }
    uint32_t DelayLeft() const { return delay_; }
    // Pixels.
    float LeafWidth() const { return leafWidth_; }
    float LeafHeight() const { return leafHeight_; }
    // The frame of the leaves at the present opening.
    int LeafFrame() const;

private:
    void Aim(float target, float rate);
    void Advance(uint32_t milliseconds);

    SkinImage left_;
    SkinImage right_;
    float leafWidth_ = 0.0f;
    float leafHeight_ = 0.0f;
    uint32_t delay_ = 0;
    float fraction_ = 0.0f;
    bool animating_ = false;
    AcceleratedTransform motion_;
};

// The quit menu's door: "quit-door-left.png" and "quit-door-right.png" of
// "Graphics\Menu\FlimbsDoor\", 14 frames each.
class QuitFlimbsDoor : public FlimbsDoor {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\FlimbsDoor\\";
    static constexpr int kFrames = 14;

    QuitFlimbsDoor();
};
