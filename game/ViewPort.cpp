#include "game/ViewPort.h"

#include "media/DXManager.h"
#include "world/Landscape.h"

#include <cmath>

namespace {

constexpr float kTwoPi = 2.0f * ViewPort::kPi;

} // namespace

float ReduceAngle(float angle)
{
    if (!std::isfinite(angle))
        return 0.0f;
    while (angle >= kTwoPi)
        angle -= kTwoPi;
    while (angle < 0.0f)
        angle += kTwoPi;
    return angle;
}

ViewPort::Current::Current(ViewPort* viewport)
{
    if (Landscape* land = Land()) {
        previous_ = land->MakeCurrent(viewport);
        made_ = true;
    }
}

ViewPort::Current::~Current()
{
    if (made_)
        if (Landscape* land = Land())
            land->MakeCurrent(previous_);
}

Landscape* ViewPort::Land()
{
    return GameLandscape();
}

ViewPort::ViewPort()
{
    camera.keepHorizontalExtent = true;
    camera.SetProjection(static_cast<float>(DXManager::screenWidth > 0 ? DXManager::screenWidth : 1024),
                         static_cast<float>(DXManager::screenHeight > 0 ? DXManager::screenHeight : 768),
                         Camera::kDefaultNear, Camera::kDefaultFar);
    const float d0 = DefaultDistance();
    camera.LookAt(gfx::D3DXVECTOR3(100.0f, 100.0f, d0), gfx::D3DXVECTOR3(100.0f, 100.0f, 0.0f),
                  gfx::D3DXVECTOR3(0.0f, -1.0f, 0.0f));
    if (Landscape* land = Land())
        AddChild(land);
}

ViewPort::~ViewPort()
{
    Landscape* land = Land();
    if (land && land->CurrentView() == this)
        land->MakeCurrent(nullptr);
    // The landscape outlives its viewports: it leaves the list without being deleted.
    if (land && HasChild(land))
        RemoveChild(land, false);
}

float ViewPort::DefaultDistance() const
{
    return 1005.0f * std::tan(Camera::kQuarterPi) / std::tan(camera.fov);
}

Primitive* ViewPort::OnLeftButton(int x, int y, int phase)
{
    Current current(this);
    return PrimContainer::OnLeftButton(x, y, phase);
}

Primitive* ViewPort::OnRightButton(int x, int y, int phase)
{
    Current current(this);
    return PrimContainer::OnRightButton(x, y, phase);
}

Primitive* ViewPort::OnWheel(int delta)
{
    Current current(this);
    return PrimContainer::OnWheel(delta);
}

Primitive* ViewPort::HitTest(int x, int y)
{
    Current current(this);
    return PrimContainer::HitTest(x, y);
}

int ViewPort::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    Current current(this);
    return PrimContainer::OnKey(value, code, shift, device);
}

void ViewPort::Update()
{
    Current current(this);
    PrimContainer::Update();
}

void ViewPort::Draw()
{
    gfx::Device* device = DXManager::GetDevice();
    camera.Apply(device);
    {
        Current current(this);
        PrimContainer::Draw(); // the children, then the input delegate
    }
    camera.Restore(device);
}

void ViewPort::SetViewRect(float left, float top, float right, float bottom)
{
    if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(right) || !std::isfinite(bottom))
        return;
    viewRect_ = FloatRect{left, top, right, bottom};
    absolutelyPlaced = 1;
    relX = left;
    relY = top;
    hAlign = kAlignLeft;
    vAlign = kAlignTop;
    rect = viewRect_;
    camera.SetScreenOrigin(left, top);
    camera.SetProjection(right - left, bottom - top, Camera::kDefaultNear, Camera::kDefaultFar);
    UpdateAbsolutePosition();
}

float ViewPort::GetRotation() const
{
    return ReduceAngle(targetRotation);
}
