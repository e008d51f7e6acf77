#pragma once
// A viewport whose camera the user and the game move: animated pan, zoom and rotation,
// camera shake, edge scrolling, dragging with the right button (and, on touch screens, the
// left), zoom keys and the zoom limits.
//
// Durations are milliseconds; -1 means "at once". Animations run on the program clock
// (gameClock), so drawing and steering the view never touch the game's state; the shake
// draws from the drawing generator.
#include "game/ViewPort.h"
#include "gui/Transforms.h"

#include <cstdint>

class InteractiveVP : public ViewPort {
public:
    static constexpr float kClosestZoom = 200.0f;

    InteractiveVP();
    ~InteractiveVP() override;

    // Left button: the drag anchor and the touch hold; the landscape's answer is the view.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    // Right button: arms and ends the right drag; the landscape's answer is the view.
    Primitive* OnRightButton(int x, int y, int phase) override;
    // Keeps the right-drag state in step with the right button.
    Primitive* HitTest(int x, int y) override;
    // "regular", or "move" / "hand" while dragging.
    std::string GetCursorName() override;
    // Ends the drags; true.
    bool OnPointerLeft(Primitive* nowUnder) override;
    // Page Up / Page Down zoom in and out, Home zooms to normal (after the children).
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // The camera step of a frame: animations, shake, edge scroll and drags, bounds.
    void Update() override;

    // Animated zoom (a zoom equal to the current one does nothing).
    virtual void SetZoom(float zoom, int duration);
    float GetZoom() const;
    void PanTo(int x, int y, int duration, bool clamp);
    // The shortest way round; zoomAfter < 0: none.
    void SetRotation(float angle, int duration, float zoomAfter);
    void LookAt(float x, float y, float zoom);
    void JumpToOrigin();
    // The camera position kept inside the landscape for that distance and rotation.
    FloatPoint ClampCamera(float x, float y, float distance, float rotation, bool wholeView);
    // The zoom at which the whole landscape shows at targetRotation; cached.
    float GetFitZoom(bool exact);
    void ZoomToFit();
    void ZoomToClosest();
    // One world pixel per screen pixel in height.
    float GetNormalZoom() const;
    void ZoomToNormal();
    // In a running multiplayer match without god mode, a playing local player may not see
    // more than 1.75 times the normal zoom.
    float LimitZoom(float zoom) const;
    // One impulse of camera shake.
    void Shake();
    bool IsAnimating() const;

    // Conversions between zoom and eye distance with the camera's field of view.
    float ZoomToDistance(float zoom) const;
    float DistanceToZoom(float distance) const;
    // The camera position (before shake), for tests and the game.
    float X() const { return x_; }
    float Y() const { return y_; }
    float Distance() const { return distance_; }
    float Rotation() const { return rotation_; }
    float ShakeAmplitude() const { return shakeAmplitude; }

    float pendingZoom = -1.0f;
    float pendingZoomTime = 500.0f;
    int32_t shakeLastTime = 0;
    uint32_t shakeDecay = 400;
    float shakeAmplitude = 0.0f;
    float shakeOffset[3] = {0.0f, 0.0f, 0.0f};
    uint8_t inputEnabled = 1;
    uint8_t edgeScrolling = 0;
    uint8_t dragging = 0;
    int32_t edgeDirX = 0;
    int32_t edgeDirY = 0;
    FloatPoint dragAnchorWorld;
    FloatPoint dragAnchorScreen;
    uint8_t touchHeld = 0;
    uint8_t rightDragActive = 0;
    uint8_t panIdle = 1;
    uint8_t rightArmed = 1;
    int32_t fitCacheWidth = 0;
    int32_t fitCacheHeight = 0;
    float fitCacheRotation = 0.0f;
    float fitCacheZoom = 0.0f;

    // Whether the main window has the input (tests may replace the answer).
    static bool (*foregroundTest)();

protected:
    // The landscape's answer of a button event becomes the view's.
    Primitive* ViewIfLandscape(Primitive* taker);
    // Milliseconds since the last step (0 .. 250), on the program clock.
    uint32_t ElapsedSinceLastStep(uint32_t now);
    void StartAnimation(AcceleratedTransform& animator, float& value, float target, float duration);
    void SetAtOnce(AcceleratedTransform& animator, float& value, float target);
    // The camera placed from x, y, distance, rotation and the shake.
    void PlaceCamera();

    float x_ = 0.0f;
    float y_ = 0.0f;
    float distance_ = 0.0f;
    float rotation_ = kDefaultRotation;
    AcceleratedTransform distanceAnimator_;
    AcceleratedTransform xAnimator_;
    AcceleratedTransform yAnimator_;
    AcceleratedTransform rotationAnimator_;

private:
    void EdgeScrollCheck();
    void StepDrag(bool& positiveScrolled);
    void SnapCursorAfterPositiveScroll(bool clampedX, bool clampedY);

    uint32_t lastStepTime_ = 0;
    bool stepped_ = false;
};

// The view rotation that shows a gravity direction (0-3) upright: 3 pi / 2, pi / 2, 0, pi.
float RotationForGravity(int direction);
