#include "game/InteractiveVP.h"

#include "app/GameClock.h"
#include "app/Random.h"
#include "game/GameController.h"
#include "gui/GuiDevice.h"
#include "levelmodel/EditorPicking.h"
#include "media/Cursors.h"
#include "media/DXManager.h"
#include "media/KBManager.h"
#include "media/MSManager.h"
#include "platform/input/ScanCodes.h"
#include "platform/window/MainWindow.h"
#include "world/ConsoleValues.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTwoPi = 2.0f * ViewPort::kPi;
constexpr uint32_t kLongestStep = 250; // ms: a stalled frame moves the view no further
constexpr int kFitSearchSteps = 2000;

bool MainWindowInForeground()
{
    const platform::MainWindow* window = DXManager::GetWindow();
    return !window || window->IsForeground(); // without a window (tests, tools) the view has the input
}

bool Finished(const AcceleratedTransform& animator)
{
    return animator.time == animator.endTime;
}

// The world point under a screen point through the current view.
FloatPoint WorldUnder(float x, float y)
{
    const Landscape* land = GameLandscape();
    return land ? land->UnprojectPoint(x, y) : FloatPoint{x, y};
}

} // namespace

bool (*InteractiveVP::foregroundTest)() = MainWindowInForeground;

float RotationForGravity(int direction)
{
    static constexpr float kAngles[4] = {4.712389f, 1.5707964f, 0.0f, 3.1415927f};
    return kAngles[direction & 3];
}

InteractiveVP::InteractiveVP()
{
    distance_ = DefaultDistance();
    fitCacheZoom = distance_;
    PlaceCamera();
}

InteractiveVP::~InteractiveVP() = default;

float InteractiveVP::ZoomToDistance(float zoom) const
{
    return zoom * std::tan(Camera::kQuarterPi) / std::tan(camera.fov);
}

float InteractiveVP::DistanceToZoom(float distance) const
{
    return distance * std::tan(camera.fov) / std::tan(Camera::kQuarterPi);
}

float InteractiveVP::GetZoom() const
{
    return DistanceToZoom(distance_);
}

void InteractiveVP::StartAnimation(AcceleratedTransform& animator, float& value, float target, float duration)
{
    const float rate = animator.Rate(animator.time);
    animator.Set(duration, 0.0f); // time runs down from the duration to 0
    animator.SetValues(value, target, std::isfinite(rate) ? rate : 0.0f);
    animator.running = true;
    animator.time = duration;
    value = animator.Evaluate(animator.time);
    animator.value = value;
}

void InteractiveVP::SetAtOnce(AcceleratedTransform& animator, float& value, float target)
{
    value = target;
    animator.SetValues(target, target, 0.0f);
    animator.time = animator.endTime;
    animator.value = target;
    animator.running = false;
}

void InteractiveVP::SetZoom(float zoom, int duration)
{
    if (!std::isfinite(zoom) || GetZoom() == zoom)
        return;
    const float target = ZoomToDistance(zoom);
    if (duration == -1)
        SetAtOnce(distanceAnimator_, distance_, target);
    else
        StartAnimation(distanceAnimator_, distance_, target, static_cast<float>(std::max(duration, 0)));
}

void InteractiveVP::PanTo(int x, int y, int duration, bool clamp)
{
    float px = static_cast<float>(x), py = static_cast<float>(y);
    if (clamp) {
        const FloatPoint clamped = ClampCamera(px, py, camera.eye.z, targetRotation, true);
        px = std::trunc(clamped.x);
        py = std::trunc(clamped.y);
    }
    panIdle = 0;
    rightDragActive = 0;
    rightArmed = 0;
    if (duration == -1) {
        SetAtOnce(xAnimator_, x_, px);
        SetAtOnce(yAnimator_, y_, py);
        panIdle = 1;
        return;
    }
    const float time = static_cast<float>(std::max(duration, 0));
    StartAnimation(xAnimator_, x_, px, time);
    StartAnimation(yAnimator_, y_, py, time);
}

void InteractiveVP::SetRotation(float angle, int duration, float zoomAfter)
{
    if (!std::isfinite(angle))
        return;
    if (duration == -1) {
        targetRotation = angle;
        SetAtOnce(rotationAnimator_, rotation_, angle);
        return;
    }
    rotation_ = ReduceAngle(rotation_);
    float delta = ReduceAngle(angle) - rotation_;
    while (delta > kPi)
        delta -= kTwoPi;
    while (delta < -kPi)
        delta += kTwoPi;
    if (std::fabs(delta) < 0.01f) {
        if (zoomAfter >= 0.0f)
            SetZoom(zoomAfter, 500);
        return;
    }
    const uint32_t time = static_cast<uint32_t>(std::max(duration, 0));
    StartAnimation(rotationAnimator_, rotation_, rotation_ + delta, static_cast<float>(time));
    targetRotation = rotation_ + delta;
    if (pendingZoom < 0.0f)
        pendingZoom = GetZoom();
    if (zoomAfter >= 0.0f)
        pendingZoom = zoomAfter;
    pendingZoomTime = static_cast<float>(time / 2);
    SetZoom(std::max(pendingZoom * 4.0f / 5.0f, kClosestZoom), static_cast<int>(time / 2));
}

void InteractiveVP::LookAt(float x, float y, float zoom)
{
    SetZoom(zoom, 500);
    const FloatPoint clamped = ClampCamera(x, y, camera.eye.z, targetRotation, true);
    PanTo(static_cast<int>(clamped.x), static_cast<int>(clamped.y), 500, false);
}

void InteractiveVP::JumpToOrigin()
{
    const FloatPoint clamped = ClampCamera(0.0f, 0.0f, camera.eye.z, targetRotation, true);
    SetAtOnce(xAnimator_, x_, std::trunc(clamped.x));
    SetAtOnce(yAnimator_, y_, std::trunc(clamped.y));
    rightDragActive = 0;
    touchHeld = 0;
    panIdle = 1;
    Update();
}

FloatPoint InteractiveVP::ClampCamera(float x, float y, float distance, float rotation, bool wholeView)
{
    Landscape* land = Land();
    if (!land)
        return FloatPoint{x, y};
    const gfx::D3DXVECTOR3 savedEye = camera.eye, savedTarget = camera.target;
    camera.LookAt(gfx::D3DXVECTOR3(x, y, distance), gfx::D3DXVECTOR3(x, y, 0.0f),
                  gfx::D3DXVECTOR3(std::cos(rotation), std::sin(rotation), 0.0f));
    FloatPoint result{x, y};
    {
        Landscape::CurrentViewScope current(land, this);
        land->viewCentre = FloatPoint{x, y};
        land->ClampView(wholeView);
        result = land->viewCentre;
    }
    camera.LookAt(savedEye, savedTarget, gfx::D3DXVECTOR3(std::cos(rotation_), std::sin(rotation_), 0.0f));
    return result;
}

float InteractiveVP::GetFitZoom(bool exact)
{
    Landscape* land = Land();
    const int32_t width = land ? land->Width() : 0;
    const int32_t height = land ? land->Height() : 0;
    if (fitCacheRotation == targetRotation && fitCacheWidth == width && fitCacheHeight == height)
        return fitCacheZoom;
    // A view of no size cannot be fitted: the last answer stands.
    if (!land || width <= 0 || height <= 0 || rect.right - rect.left < 1.0f || rect.bottom - rect.top < 1.0f)
        return fitCacheZoom;

    const gfx::D3DXVECTOR3 savedEye = camera.eye, savedTarget = camera.target;
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    float eyeDistance = 1005.0f;
    const gfx::D3DXVECTOR3 up(std::cos(targetRotation), std::sin(targetRotation), 0.0f);
    FloatRect visible;
    const auto measure = [&] {
        camera.LookAt(gfx::D3DXVECTOR3(w / 2.0f, h / 2.0f, eyeDistance), gfx::D3DXVECTOR3(w / 2.0f, h / 2.0f, 0.0f),
                      up);
        visible = rect;
        Landscape::ScreenRectToWorld(visible);
    };
    {
        Landscape::CurrentViewScope current(land, this);
        measure();
        if (!exact) {
            for (int i = 0; i < kFitSearchSteps && (visible.left > 0.0f || visible.top > 0.0f); ++i) {
                eyeDistance += 40.0f;
                measure();
            }
        } else {
            float step = 40.0f; // positive: away from the landscape
            for (int i = 0; i < kFitSearchSteps; ++i) {
                if (std::fabs(visible.left) <= 0.5f || std::fabs(visible.top) <= 0.5f
                    || std::fabs(w - visible.right) <= 0.5f || std::fabs(h - visible.bottom) <= 0.5f)
                    break;
                const bool inside = visible.left >= 0.0f && visible.top >= 0.0f && visible.right <= w
                                    && visible.bottom <= h;
                if ((inside && step < 0.0f) || (!inside && step > 0.0f))
                    step *= -0.5f;
                if (std::fabs(step) < 1.0e-4f)
                    break;
                eyeDistance = std::max(eyeDistance + step, 1.0f);
                measure();
            }
        }
    }
    camera.LookAt(savedEye, savedTarget, gfx::D3DXVECTOR3(std::cos(rotation_), std::sin(rotation_), 0.0f));
    fitCacheRotation = targetRotation;
    fitCacheWidth = width;
    fitCacheHeight = height;
    fitCacheZoom = DistanceToZoom(eyeDistance);
    return fitCacheZoom;
}

void InteractiveVP::ZoomToFit()
{
    SetZoom(GetFitZoom(true), 500);
}

void InteractiveVP::ZoomToClosest()
{
    SetZoom(kClosestZoom, 500);
}

float InteractiveVP::GetNormalZoom() const
{
    return (rect.bottom - rect.top) * 1005.0f / static_cast<float>(GetScreenHeight());
}

void InteractiveVP::ZoomToNormal()
{
    SetZoom(GetNormalZoom(), 500);
}

float InteractiveVP::LimitZoom(float zoom) const
{
    const GameController& controller = Controller();
    const bool limited = !controller.playbackRunning && controller.matchKind == 1 && controller.matchRunning != 0
                         && ConsoleInt("god") == 0 && controller.localPlayer && !controller.localPlayer->spectator;
    return limited ? std::min(zoom, 1.75f * GetNormalZoom()) : zoom;
}

void InteractiveVP::Shake()
{
    const int32_t now = static_cast<int32_t>(gameClock.Now());
    if (shakeAmplitude != 0.0f && shakeDecay > 0)
        shakeAmplitude *= std::exp(-static_cast<float>(now - shakeLastTime) / static_cast<float>(shakeDecay));
    shakeAmplitude = std::trunc(shakeAmplitude + 5.0f);
    if (shakeAmplitude > 50.0f)
        shakeAmplitude = 50.0f;
    shakeLastTime = now;
    shakeDecay = 400;
}

bool InteractiveVP::IsAnimating() const
{
    return !Finished(xAnimator_) || !Finished(yAnimator_) || !Finished(distanceAnimator_)
           || !Finished(rotationAnimator_);
}

Primitive* InteractiveVP::ViewIfLandscape(Primitive* taker)
{
    Landscape* land = Land();
    return land && taker == land ? this : taker;
}

Primitive* InteractiveVP::OnLeftButton(int x, int y, int phase)
{
    if (phase == kPhaseDown) {
        Current current(this);
        dragAnchorWorld = WorldUnder(static_cast<float>(x), static_cast<float>(y));
        dragAnchorScreen = FloatPoint{static_cast<float>(x), static_cast<float>(y)};
        msManager.ResetMovement();
    } else if (phase == kPhaseHeld) {
        touchHeld = 1;
    } else if (phase == kPhaseUp) {
        touchHeld = 0;
    }
    if (ConsoleInt("brush") != 0 || (GodModeOn() && kbManager.IsCtrlDown()))
        touchHeld = 0;
    return ViewIfLandscape(ViewPort::OnLeftButton(x, y, phase));
}

Primitive* InteractiveVP::OnRightButton(int x, int y, int phase)
{
    if (phase == kPhaseDown) {
        if (!edgeScrolling && ConsoleInt("brush") == 0) {
            Current current(this);
            dragAnchorWorld = WorldUnder(static_cast<float>(x), static_cast<float>(y));
            dragAnchorScreen = FloatPoint{static_cast<float>(x), static_cast<float>(y)};
            msManager.ResetMovement();
            rightArmed = 1;
        }
    } else if (phase == kPhaseHeld) {
        if (panIdle && rightArmed)
            rightDragActive = 1;
    } else if (phase == kPhaseUp) {
        const int right = GetScreenWidth(), bottom = GetScreenHeight();
        const int cx = std::clamp(msManager.X(), 1, std::max(1, right - 2));
        const int cy = std::clamp(msManager.Y(), 1, std::max(1, bottom - 2));
        msManager.SetCursorPosition(cx, cy);
        rightDragActive = 0;
        rightArmed = 0;
    }
    return ViewIfLandscape(ViewPort::OnRightButton(x, y, phase));
}

Primitive* InteractiveVP::HitTest(int x, int y)
{
    if (ConsoleInt("brush") == 0) {
        if (msManager.IsRightButtonDown()) {
            rightArmed = 1;
        } else {
            rightArmed = 0;
            rightDragActive = 0;
        }
    }
    return ViewPort::HitTest(x, y);
}

std::string InteractiveVP::GetCursorName()
{
    if (!dragging)
        return "regular";
    return ConsoleInt("positive_scroll") != 0 ? "move" : "hand";
}

bool InteractiveVP::OnPointerLeft(Primitive*)
{
    rightDragActive = 0;
    touchHeld = 0;
    return true;
}

int InteractiveVP::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (const int taken = ViewPort::OnKey(value, code, shift, device))
        return taken;
    const bool god = ConsoleInt("god") != 0;
    const float step = god ? 20.0f : 150.0f;
    const int duration = god ? 50 : 200;
    const float zoom = GetZoom();
    // The keyboard reports a press as 0x80 (any value but 0 and the repeat's 2), a repeat as 2.
    const bool pressOrRepeat = value != 0;
    if (pressOrRepeat && code == kKeyPageUp) {
        SetZoom(LimitZoom(zoom - step), duration);
        return 1;
    }
    if (pressOrRepeat && code == kKeyPageDown) {
        SetZoom(LimitZoom(zoom + step), duration);
        return 1;
    }
    if (value != 0 && value != 2 && code == kKeyHome) {
        ZoomToNormal();
        return 1;
    }
    return 0;
}

uint32_t InteractiveVP::ElapsedSinceLastStep(uint32_t now)
{
    uint32_t elapsed = stepped_ ? now - lastStepTime_ : 0;
    if (elapsed > kLongestStep)
        elapsed = elapsed > 0x80000000u ? 0 : kLongestStep; // the clock went back: no time
    lastStepTime_ = now;
    stepped_ = true;
    return elapsed;
}

void InteractiveVP::EdgeScrollCheck()
{
    int speed = ConsoleIntOr("edge_scroll_speed", 30);
    if (msManager.IsRightButtonDown())
        speed *= 2;
    edgeScrolling = 0;
    edgeDirX = 0;
    edgeDirY = 0;
    const int x = msManager.X(), y = msManager.Y();
    if (x <= 0) {
        edgeDirX = -speed;
        Cursors::SetCursor("arrow-left");
        edgeScrolling = 1;
    } else if (x >= GetScreenWidth() - 1) {
        edgeDirX = speed;
        Cursors::SetCursor("arrow-right");
        edgeScrolling = 1;
    }
    if (y <= 0) {
        edgeDirY = -speed;
        Cursors::SetCursor("arrow-up");
        edgeScrolling = 1;
    } else if (y >= GetScreenHeight() - 1) {
        edgeDirY = speed;
        Cursors::SetCursor("arrow-down");
        edgeScrolling = 1;
    }
}

void InteractiveVP::StepDrag(bool& positiveScrolled)
{
    if (ConsoleInt("touchscreen") == 0 && ConsoleInt("positive_scroll") != 0) {
        const FloatPoint anchor = WorldUnder(dragAnchorScreen.x, dragAnchorScreen.y);
        dragAnchorWorld = anchor;
        const FloatPoint under = WorldUnder(static_cast<float>(msManager.X()), static_cast<float>(msManager.Y()));
        const float scale = ConsoleFloatOr("positive_scroll_scale", 1.5f);
        x_ += (under.x - anchor.x) * scale;
        y_ += (under.y - anchor.y) * scale;
        Cursors::SetCursorMoved(false);
        positiveScrolled = true;
    } else {
        const float px = dragAnchorScreen.x + static_cast<float>(msManager.MovementX());
        const float py = dragAnchorScreen.y + static_cast<float>(msManager.MovementY());
        const FloatPoint under = WorldUnder(px, py);
        x_ -= under.x - dragAnchorWorld.x;
        y_ -= under.y - dragAnchorWorld.y;
        msManager.SetCursorPosition(static_cast<int>(px), static_cast<int>(py));
    }
    dragging = 1;
}

void InteractiveVP::SnapCursorAfterPositiveScroll(bool clampedX, bool clampedY)
{
    int cx = msManager.X(), cy = msManager.Y();
    const float turn = ReduceAngle(targetRotation);
    const bool quarterTurned = std::fabs(turn) < 0.01f || std::fabs(turn - kPi) < 0.01f
                               || std::fabs(turn - kTwoPi) < 0.01f;
    const int anchorX = static_cast<int>(dragAnchorScreen.x), anchorY = static_cast<int>(dragAnchorScreen.y);
    if (quarterTurned) {
        if (clampedY)
            cx = anchorX;
        if (clampedX)
            cy = anchorY;
    } else {
        if (clampedX)
            cx = anchorX;
        if (clampedY)
            cy = anchorY;
    }
    msManager.SetCursorPosition(cx, cy);
}

void InteractiveVP::PlaceCamera()
{
    const gfx::D3DXVECTOR3 eye(x_ + shakeOffset[0], y_ + shakeOffset[1], distance_ + shakeOffset[2]);
    camera.LookAt(eye, gfx::D3DXVECTOR3(eye.x, eye.y, 0.0f),
                  gfx::D3DXVECTOR3(std::cos(rotation_), std::sin(rotation_), 0.0f));
}

void InteractiveVP::Update()
{
    // 1. The children with this view current, then the camera step.
    ViewPort::Update();
    Current current(this);
    const uint32_t now = gameClock.Now();
    const float elapsed = static_cast<float>(ElapsedSinceLastStep(now));

    // 2-5. Animations.
    const auto advance = [elapsed](AcceleratedTransform& animator, float& value) {
        if (Finished(animator))
            return;
        value = animator.Advance(-elapsed);
        if (Finished(animator))
            animator.running = false;
    };
    advance(xAnimator_, x_);
    advance(yAnimator_, y_);
    advance(distanceAnimator_, distance_);
    if (Finished(distanceAnimator_) && pendingZoom > 0.0f) {
        const float zoom = pendingZoom;
        pendingZoom = -1.0f;
        SetZoom(zoom, static_cast<int>(pendingZoomTime));
    }
    if (!panIdle && Finished(xAnimator_) && Finished(yAnimator_))
        panIdle = 1;
    advance(rotationAnimator_, rotation_);

    // 6. Shake: three offsets from the drawing generator, never the game's.
    const int32_t nowSigned = static_cast<int32_t>(now);
    if (shakeAmplitude != 0.0f) {
        if (shakeDecay > 0)
            shakeAmplitude *= std::exp(-static_cast<float>(nowSigned - shakeLastTime) / static_cast<float>(shakeDecay));
        if (shakeAmplitude < 0.1f)
            shakeAmplitude = 0.0f;
        if (shakeAmplitude > 60.0f)
            shakeAmplitude = 60.0f;
        const double phase = static_cast<double>(now) * 2.0 * kPi;
        const auto period = [] { return static_cast<double>(DrawRand()) / 32767.0 * 5.0 + 50.0; };
        shakeOffset[0] = shakeAmplitude * static_cast<float>(std::sin(phase / period()));
        shakeOffset[1] = shakeAmplitude * static_cast<float>(std::cos(phase / period()));
        shakeOffset[2] = shakeAmplitude * static_cast<float>(std::sin(phase / period()));
    } else {
        shakeOffset[0] = shakeOffset[1] = shakeOffset[2] = 0.0f;
    }
    shakeLastTime = nowSigned;
    dragging = 0;

    // 7. Edge scrolling and drags.
    bool positiveScrolled = false;
    if (inputEnabled && foregroundTest && foregroundTest()) {
        const bool touchDrag = ConsoleInt("touchscreen") != 0 && touchHeld;
        if (!rightDragActive && !touchDrag) {
            EdgeScrollCheck();
            const float speed = distance_ * 0.03f / ZoomToDistance(1005.0f);
            const float dx = static_cast<float>(edgeDirX) * speed * elapsed;
            const float dy = static_cast<float>(edgeDirY) * speed * elapsed;
            const float a = std::atan2(camera.up.y, camera.up.x) + kPi / 2.0f;
            x_ += dx * std::cos(a) - dy * std::sin(a);
            y_ += dx * std::sin(a) + dy * std::cos(a);
        } else {
            StepDrag(positiveScrolled);
        }
    }

    // 8-9. Bounds.
    const bool wholeView = !LevelEditorOpen() || (ConsoleInt("debug_mode") != 0 && kbManager.IsCtrlDown());
    const FloatPoint clamped = ClampCamera(x_, y_, distance_, rotation_, wholeView);
    const bool clampedX = clamped.x != x_, clampedY = clamped.y != y_;
    if (clampedX)
        x_ = clamped.x;
    if (clampedY)
        y_ = clamped.y;
    if (positiveScrolled)
        SnapCursorAfterPositiveScroll(clampedX, clampedY);

    // 10. The camera.
    PlaceCamera();
}
