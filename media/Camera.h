#pragma once
// A camera for three-dimensional drawing: eye, target and up vectors, a perspective
// projection, and the view and projection matrices built from them (left-handed, as the
// device's helpers are).
//
// Field of view. `fov` is the angle the views' zoom is measured with
// (zoom = eye distance x tan(fov) / tan(pi / 4)).
// - keepHorizontalExtent off: `fov` is the projection's vertical field, nothing more.
// - keepHorizontalExtent on (the game's viewports): SetProjection sets
//   tan(fov) = tan(pi / 4) x (4 / 3) / aspect, so a view shows the same width of the world
//   at a given eye distance whatever its aspect (a 4:3 view has fov pi / 4, a wider one a
//   narrower field). The projection is scaled to the screen: over its height a view shows
//   zoom x screenHeight / 1005 world units, so zoom 1005 draws the world one unit per pixel
//   on a full-screen view, and a smaller view of height h does so at zoom h x 1005 /
//   screenHeight.
//
// Projections are made with near 200 and far -200 by default: a far plane behind the eye
// leaves the depth range open, so everything more than 200 units in front of the eye is
// drawn. Main thread only.
#include "platform/gfx/D3DMath.h"

namespace gfx {
class Device;
}

class Camera {
public:
    static constexpr float kDefaultNear = 200.0f;
    static constexpr float kDefaultFar = -200.0f;
    static constexpr float kQuarterPi = 0.785398163397448f;

    // Eye (10, 10, 8.1649), target 0, up (0, -1, 0), fov pi / 4, switch off, a projection
    // of the whole screen with near 200 and far -200.
    Camera();

    // A projection of a width x height view with the near and far values; the view's
    // aspect is width / height. A width or height of 0 or less keeps the last projection.
    void SetProjection(float width, float height, float nearZ, float farZ);
    // Where the projection lands on the screen (pixels), for ProjectToScreen and the
    // screen-to-world conversions; SetProjection keeps the origin.
    void SetScreenOrigin(float left, float top);

    // Places the eye `distance` away from the target against the current view direction.
    void LookAt(float distance);
    // Eye, target and up at once.
    void LookAt(const gfx::D3DXVECTOR3& newEye, const gfx::D3DXVECTOR3& newTarget, const gfx::D3DXVECTOR3& newUp);
    // Moves the target and the eye together (the view direction is kept).
    void SetTarget(float x, float y, float z);
    // Moves the eye by `amount` along the view direction (negative: away from the target).
    void MoveEye(float amount);
    // The view matrix from eye, target and up.
    void RebuildView();
    // The distance from the eye to the target.
    float EyeDistance() const;

    // Saves the device's view, projection and world transforms, then sets its own view and
    // projection. Restore puts the saved ones back (nothing when Apply did not run).
    void Apply(gfx::Device* device);
    void Restore(gfx::Device* device);

    // A world point on the screen (pixels, the projection's origin added).
    gfx::D3DXVECTOR2 ProjectToScreen(float x, float y, float z) const;
    // Screen pixels per world unit on a plane `depth` in front of the eye.
    float PixelsPerUnit(float depth) const;
    // The width and height of the projection in pixels.
    float ViewWidth() const { return viewWidth; }
    float ViewHeight() const { return viewHeight; }

    gfx::D3DXVECTOR3 eye{10.0f, 10.0f, 8.1649f};
    gfx::D3DXVECTOR3 target{0.0f, 0.0f, 0.0f};
    gfx::D3DXVECTOR3 up{0.0f, -1.0f, 0.0f};
    float fov = kQuarterPi;
    float aspect = 4.0f / 3.0f;
    float nearZ = kDefaultNear;
    float farZ = kDefaultFar;
    bool keepHorizontalExtent = false;
    gfx::D3DXMATRIX view;
    gfx::D3DXMATRIX projection;

private:
    float viewWidth = 0.0f, viewHeight = 0.0f;
    float originX = 0.0f, originY = 0.0f;
    // The projection's vertical field (radians).
    float verticalField = kQuarterPi;
    bool applied_ = false;
    gfx::D3DXMATRIX savedView, savedProjection, savedWorld;
};
