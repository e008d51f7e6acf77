#include "media/Camera.h"

#include "media/DXManager.h"
#include "platform/gfx/Device.h"

#include <cmath>

namespace {

constexpr float kReferenceAspect = 4.0f / 3.0f;
constexpr float kUnitZoomDistance = 1005.0f;
constexpr int kDefaultScreenWidth = 1024;
constexpr int kDefaultScreenHeight = 768;

float ScreenWidth()
{
    return static_cast<float>(DXManager::screenWidth > 0 ? DXManager::screenWidth : kDefaultScreenWidth);
}

float ScreenHeight()
{
    return static_cast<float>(DXManager::screenHeight > 0 ? DXManager::screenHeight : kDefaultScreenHeight);
}

gfx::D3DXVECTOR3 ViewDirection(const gfx::D3DXVECTOR3& eye, const gfx::D3DXVECTOR3& target)
{
    gfx::D3DXVECTOR3 direction = target - eye;
    if (gfx::D3DXVec3Length(&direction) <= 0.0f)
        return {0.0f, 0.0f, -1.0f};
    gfx::D3DXVec3Normalize(&direction, &direction);
    return direction;
}

} // namespace

Camera::Camera()
{
    gfx::D3DXMatrixIdentity(&view);
    gfx::D3DXMatrixIdentity(&projection);
    SetProjection(ScreenWidth(), ScreenHeight(), kDefaultNear, kDefaultFar);
    RebuildView();
}

void Camera::SetProjection(float width, float height, float nearValue, float farValue)
{
    if (!(width > 0.0f) || !(height > 0.0f))
        return; // a view of no size (a minimised window) keeps what it had
    viewWidth = width;
    viewHeight = height;
    aspect = width / height;
    nearZ = nearValue;
    farZ = farValue;
    if (keepHorizontalExtent) {
        fov = std::atan(std::tan(kQuarterPi) * kReferenceAspect / aspect);
        verticalField = 2.0f * std::atan(std::tan(fov) * ScreenHeight() / (2.0f * kUnitZoomDistance));
    } else {
        verticalField = fov;
    }
    gfx::D3DXMatrixPerspectiveFovLH(&projection, verticalField, aspect, nearZ, farZ);
}

void Camera::SetScreenOrigin(float left, float top)
{
    originX = left;
    originY = top;
}

void Camera::LookAt(float distance)
{
    const gfx::D3DXVECTOR3 direction = ViewDirection(eye, target);
    eye = target - direction * distance;
    RebuildView();
}

void Camera::LookAt(const gfx::D3DXVECTOR3& newEye, const gfx::D3DXVECTOR3& newTarget, const gfx::D3DXVECTOR3& newUp)
{
    eye = newEye;
    target = newTarget;
    up = newUp;
    RebuildView();
}

void Camera::SetTarget(float x, float y, float z)
{
    const gfx::D3DXVECTOR3 offset = eye - target;
    target = gfx::D3DXVECTOR3(x, y, z);
    eye = target + offset;
    RebuildView();
}

void Camera::MoveEye(float amount)
{
    eye = eye + ViewDirection(eye, target) * amount;
    RebuildView();
}

void Camera::RebuildView()
{
    gfx::D3DXMatrixLookAtLH(&view, &eye, &target, &up);
}

float Camera::EyeDistance() const
{
    const gfx::D3DXVECTOR3 offset = target - eye;
    return gfx::D3DXVec3Length(&offset);
}

void Camera::Apply(gfx::Device* device)
{
    if (!device)
        return;
    device->GetTransform(gfx::D3DTS_VIEW, &savedView);
    device->GetTransform(gfx::D3DTS_PROJECTION, &savedProjection);
    device->GetTransform(gfx::D3DTS_WORLD, &savedWorld);
    applied_ = true;
    device->SetTransform(gfx::D3DTS_VIEW, &view);
    device->SetTransform(gfx::D3DTS_PROJECTION, &projection);
}

void Camera::Restore(gfx::Device* device)
{
    if (!device || !applied_)
        return;
    device->SetTransform(gfx::D3DTS_VIEW, &savedView);
    device->SetTransform(gfx::D3DTS_PROJECTION, &savedProjection);
    device->SetTransform(gfx::D3DTS_WORLD, &savedWorld);
    applied_ = false;
}

gfx::D3DXVECTOR2 Camera::ProjectToScreen(float x, float y, float z) const
{
    const gfx::D3DXMATRIX viewProjection = view * projection;
    const gfx::D3DXVECTOR3 point(x, y, z);
    gfx::D3DXVECTOR4 clip;
    gfx::D3DXVec3Transform(&clip, &point, &viewProjection);
    gfx::D3DXVECTOR2 screen;
    if (clip.w == 0.0f)
        return screen;
    screen.x = originX + (1.0f + clip.x / clip.w) * viewWidth * 0.5f;
    screen.y = originY + (1.0f - clip.y / clip.w) * viewHeight * 0.5f;
    return screen;
}

float Camera::PixelsPerUnit(float depth) const
{
    if (!(depth > 0.0f))
        return 0.0f;
    return projection(1, 1) * viewHeight * 0.5f / depth;
}
