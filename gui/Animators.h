#pragma once
// Animations that live in the GUI tree and animate a target primitive once a frame (by the
// frame's elapsed milliseconds): its alpha, its position, its position on the screen, its
// size. An animator is a child of its target, a sibling of it, or (alpha) wraps it as its
// own child; it stops by itself when the target is none of these any more. Animators stay
// in the tree when they finish; the standard finish callback removes them.

#include "gui/PrimContainer.h"
#include "gui/Transforms.h"

#include <functional>

// Called once when an animation ends, with the target and the animator.
using AnimationCallback = std::function<void(Primitive* target, Primitive* animation)>;

// The standard finish callback: the animator closes and its container deletes it.
void DeleteFinishedAnimation(Primitive* target, Primitive* animation);

// What happens to the target when a position animation ends.
enum class AnimEndAction { None = 0, Hide = 1, Close = 2 };

// Fades the target's alpha (recursively for containers). Mode 1: transparent for the delay
// and the hold, then fades in; mode 2: opaque for the delay and the hold, then fades out;
// mode 3: transparent for the delay, fades in, holds, fades out (the time after delay and
// hold split evenly between the fades). Named "ANIMATE_ALPHA".
class AnimateAlpha : public PrimContainer {
public:
    enum : int { kFadeIn = 1, kFadeOut = 2, kFadeInOut = 3 };

    explicit AnimateAlpha(Primitive* target);
    void Start(int mode, uint32_t totalMs, uint32_t holdMs = 0, uint32_t delayMs = 0);
    // Runs the same animation again from its beginning.
    void Restart();
    bool IsRunning() const { return running_; }
    uint8_t CurrentAlpha() const { return current_; }
    Primitive* Target() const { return target_; }

    void Update() override;
    // A wrapper covers its children, so that its container draws and offers input to it.
    void UpdateAbsolutePosition() override;
    // Draws the wrapped children without a clip of its own.
    void Draw() override;

    AnimationCallback onFinished;

private:
    uint8_t AlphaAt(uint32_t elapsed) const;

    Primitive* target_;
    int mode_ = kFadeIn;
    uint32_t total_ = 0;
    uint32_t hold_ = 0;
    uint32_t delay_ = 0;
    uint32_t elapsed_ = 0;
    bool running_ = false;
    uint8_t current_ = 255;
};

// Moves the target's position (virtual units, relative to its parent) to a point over a
// time. Named "ANIMATE_POS".
class AnimatePosition : public Primitive {
public:
    explicit AnimatePosition(Primitive* target, AnimEndAction endAction = AnimEndAction::None);

    // From the target's present position at rest.
    void Start(float x, float y, uint32_t durationMs);
    // From the present position and velocity: no jolt when a slide is already running.
    void Retarget(float x, float y, uint32_t durationMs);
    // Puts the target at (fromX, fromY) and animates it back to where it is now.
    void FlyInFrom(float fromX, float fromY, uint32_t durationMs);
    bool IsRunning() const { return running_; }
    Primitive* Target() const { return target_; }

    void Update() override;
    Primitive* HitTest(int x, int y) override;

    AnimEndAction endAction;
    AnimationCallback onFinished;

protected:
    virtual FloatPoint CurrentPosition() const;
    virtual void ApplyPosition(FloatPoint position);
    bool TargetReachable() const;

private:
    void Begin(FloatPoint from, FloatPoint velocity, float x, float y, uint32_t durationMs);

    Primitive* target_;
    AcceleratedTransform x_;
    AcceleratedTransform y_;
    bool running_ = false;
};

// The same on the target's position on the screen (its parent's origin added).
class AnimateActualPosition : public AnimatePosition {
public:
    using AnimatePosition::AnimatePosition;

protected:
    FloatPoint CurrentPosition() const override;
    void ApplyPosition(FloatPoint position) override;

private:
    FloatPoint ParentOrigin() const;
};

// Re-aims a position animation (see AnimatePosition::Retarget).
void AnimatePositionTo(AnimatePosition* animation, uint32_t durationMs, float x, float y);

// Resizes the target (virtual units; -999 keeps an axis) over a time; 1 ms or less: at once.
class AnimateSize : public Primitive {
public:
    explicit AnimateSize(Primitive* target);
    void Start(float width, float height, uint32_t durationMs);
    bool IsRunning() const { return running_; }

    void Update() override;
    Primitive* HitTest(int x, int y) override;

    AnimationCallback onFinished;

private:
    void Finish();

    Primitive* target_;
    AcceleratedTransform width_;
    AcceleratedTransform height_;
    bool keepWidth_ = false;
    bool keepHeight_ = false;
    bool running_ = false;
};

// A float that runs from one value to another over a time.
class ValueAnimation {
public:
    void Start(float from, float to, uint32_t durationMs);
    // Advances by the elapsed milliseconds and gives the value.
    float Advance(uint32_t elapsedMs);
    float Value() const { return transform_.value; }
    bool IsRunning() const { return transform_.running && !transform_.AtEnd(); }

private:
    LinearFloatTransform transform_;
};

// Every leaf widget of the screen flies in from a random point on a circle round the
// screen's centre back to its place.
void FlyInChildren(Container<Primitive>* screen, uint32_t durationMs = 1000);
// Moves the screen to (x, y) and slides it back to its present place in 500 ms.
void SlideInFromBelow(PrimContainer* screen, float x, float y = 1100.0f);
