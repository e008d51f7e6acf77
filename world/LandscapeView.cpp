// The current view of the landscape and the conversions between screen and world through it.
#include "game/ViewPort.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kFarAway = 268435456.0f;

int32_t RoundToNearest(float value)
{
    if (!std::isfinite(value))
        return 0;
    const float clamped = std::clamp(value, -2.0e9f, 2.0e9f);
    return static_cast<int32_t>(std::lround(clamped));
}

} // namespace

ViewPort* Landscape::MakeCurrent(ViewPort* viewport)
{
    ViewPort* previous = view;
    if (viewport == previous)
        return previous;
    view = viewport;
    if (!viewport)
        return previous;
    viewCentre.x = std::trunc(viewport->camera.target.x);
    viewCentre.y = std::trunc(viewport->camera.target.y);
    rect = viewport->rect;
    viewRect = viewport->rect;
    return previous;
}

Landscape::CurrentViewScope::CurrentViewScope(Landscape* landscape, ViewPort* viewport) : landscape_(landscape)
{
    if (landscape_)
        previous_ = landscape_->MakeCurrent(viewport);
}

Landscape::CurrentViewScope::~CurrentViewScope()
{
    if (landscape_)
        landscape_->MakeCurrent(previous_);
}

FloatPoint Landscape::UnprojectPoint(float x, float y) const
{
    if (!view)
        return FloatPoint{x, y};
    const Camera& camera = view->camera;
    // A view of no size (a minimised window) is read with the last projection's size.
    float w = std::trunc(view->rect.right - view->rect.left);
    float h = std::trunc(view->rect.bottom - view->rect.top);
    if (w < 1.0f || h < 1.0f) {
        w = camera.ViewWidth();
        h = camera.ViewHeight();
        if (w < 1.0f || h < 1.0f)
            return FloatPoint{camera.target.x, camera.target.y};
    }
    const float centreX = view->rect.left + w * 0.5f;
    const float centreY = view->rect.top + h * 0.5f;
    const float nx = (x - centreX) * 2.0f / w;
    const float ny = (y - centreY) * 2.0f / h;

    gfx::D3DXMATRIX inverseProjection, inverseView;
    if (!gfx::D3DXMatrixInverse(&inverseProjection, nullptr, &camera.projection)
        || !gfx::D3DXMatrixInverse(&inverseView, nullptr, &camera.view))
        return FloatPoint{camera.target.x, camera.target.y};
    const auto unproject = [&](float depth) {
        const gfx::D3DXVECTOR3 clip(nx, ny, depth);
        gfx::D3DXVECTOR4 eyeSpace;
        gfx::D3DXVec3Transform(&eyeSpace, &clip, &inverseProjection);
        const float wInv = eyeSpace.w != 0.0f ? 1.0f / eyeSpace.w : 0.0f;
        // Screen y grows downwards, the view's y upwards.
        const gfx::D3DXVECTOR3 viewPoint(eyeSpace.x * wInv, -eyeSpace.y * wInv, eyeSpace.z * wInv);
        gfx::D3DXVECTOR3 world;
        gfx::D3DXVec3TransformCoord(&world, &viewPoint, &inverseView);
        return world;
    };
    const gfx::D3DXVECTOR3 nearPoint = unproject(0.0f);
    const gfx::D3DXVECTOR3 farPoint = unproject(1.0f);
    const float span = farPoint.z - nearPoint.z;
    if (span == 0.0f || !std::isfinite(span))
        return FloatPoint{nearPoint.x, nearPoint.y};
    const float t = -nearPoint.z / span;
    return FloatPoint{nearPoint.x + t * (farPoint.x - nearPoint.x), nearPoint.y + t * (farPoint.y - nearPoint.y)};
}

void Landscape::ScreenToWorld(int32_t x, int32_t y, int32_t& worldX, int32_t& worldY) const
{
    const FloatPoint point = UnprojectPoint(static_cast<float>(x), static_cast<float>(y));
    worldX = RoundToNearest(point.x);
    worldY = RoundToNearest(point.y);
}

void Landscape::ScreenRectToWorld(FloatRect& area)
{
    const Landscape* land = GameLandscape();
    if (!land)
        return;
    FloatRect box{kFarAway, kFarAway, -kFarAway, -kFarAway};
    const FloatPoint corners[4] = {land->UnprojectPoint(area.left, area.top), land->UnprojectPoint(area.right, area.top),
                                   land->UnprojectPoint(area.left, area.bottom),
                                   land->UnprojectPoint(area.right, area.bottom)};
    for (const FloatPoint& corner : corners) {
        box.left = std::min(box.left, corner.x);
        box.top = std::min(box.top, corner.y);
        box.right = std::max(box.right, corner.x);
        box.bottom = std::max(box.bottom, corner.y);
    }
    area = box;
}

FloatPoint Landscape::WorldToScreenF(float z, float worldX, float worldY) const
{
    if (!view)
        return FloatPoint{worldX, worldY};
    const gfx::D3DXVECTOR2 screen = view->camera.ProjectToScreen(worldX, worldY, z);
    return FloatPoint{screen.x, screen.y};
}

void Landscape::WorldToScreen(int32_t& screenX, int32_t& screenY, float z, int32_t worldX, int32_t worldY) const
{
    const FloatPoint point = WorldToScreenF(z, static_cast<float>(worldX), static_cast<float>(worldY));
    screenX = RoundToNearest(point.x);
    screenY = RoundToNearest(point.y);
}

void Landscape::ClampView(bool wholeView)
{
    const float landWidth = static_cast<float>(Width());
    const float landHeight = static_cast<float>(Height());
    if (!wholeView) {
        const FloatPoint topLeft = UnprojectPoint(viewRect.left, viewRect.top);
        const FloatPoint bottomRight = UnprojectPoint(viewRect.right, viewRect.bottom);
        const auto clampAxis = [](float& centre, float extent, float size) {
            const float margin = extent * 0.5f * 0.125f;
            if (centre + margin > size)
                centre = size - margin;
            if (centre - margin < 0.0f)
                centre = margin;
        };
        clampAxis(viewCentre.x, std::fabs(bottomRight.x - topLeft.x), landWidth);
        clampAxis(viewCentre.y, std::fabs(bottomRight.y - topLeft.y), landHeight);
        return;
    }
    FloatRect box = viewRect;
    ScreenRectToWorld(box);
    const auto clampAxis = [](float& centre, float start, float end, float size) {
        const float extent = end - start;
        float moved = start;
        if (extent > size)
            moved = -(extent - size) / 2.0f;
        else if (start < 0.0f)
            moved = 0.0f;
        else if (end > size)
            moved = size - extent;
        if (moved != start)
            centre = moved + extent / 2.0f;
    };
    clampAxis(viewCentre.x, box.left, box.right, landWidth);
    clampAxis(viewCentre.y, box.top, box.bottom, landHeight);
}
