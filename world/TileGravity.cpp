// Loose terrain under gravity (the gravitize trap).
#include "world/TileStore.h"

#include <algorithm>

namespace {

bool IsLoose(int material)
{
    return material != 0 && InMaterialSet(kLooseMaterials, material);
}

// Inside the ellipse inscribed in the rectangle (pixel centres on whole coordinates).
bool InEllipse(const PixelRect& r, int x, int y)
{
    const float cx = (static_cast<float>(r.left) + static_cast<float>(r.right)) * 0.5f;
    const float cy = (static_cast<float>(r.top) + static_cast<float>(r.bottom)) * 0.5f;
    const float rx = (static_cast<float>(r.right) - static_cast<float>(r.left) + 1.0f) * 0.5f;
    const float ry = (static_cast<float>(r.bottom) - static_cast<float>(r.top) + 1.0f) * 0.5f;
    const float nx = (static_cast<float>(x) - cx) / rx;
    const float ny = (static_cast<float>(y) - cy) / ry;
    return nx * nx + ny * ny <= 1.0f;
}

} // namespace

void TileStore::ApplyGravity(int direction, bool stepMode, bool circle, int left, int top, int right, int bottom)
{
    if (width_ <= 0 || height_ <= 0 || left > right || top > bottom)
        return;
    const PixelRect ellipse{left, top, right, bottom};
    const PixelRect area{std::max(left, 0), std::max(top, 0), std::min(right, width_ - 1),
                         std::min(bottom, height_ - 1)};
    if (area.left > area.right || area.top > area.bottom)
        return;
    if (stepMode)
        GravityStep(direction, area, circle, ellipse);
    else
        GravityInstant(area, circle, ellipse);
}

void TileStore::GravityStep(int direction, const PixelRect& area, bool circle, const PixelRect& ellipse)
{
    static constexpr int kStepX[4] = {0, 0, -1, 1};
    static constexpr int kStepY[4] = {1, -1, 0, 0};
    if (direction < 0 || direction > 3)
        return;
    const int sx = kStepX[direction], sy = kStepY[direction];
    auto move = [&](int x, int y) {
        if (circle && !InEllipse(ellipse, x, y))
            return;
        const int material = MaterialAt(x, y);
        if (!IsLoose(material))
            return;
        const int nx = x + sx, ny = y + sy;
        if (HitTestPoint(nx, ny) != 0)
            return;
        // The colour is read straight from the tile: the margin of GetPixelColour would
        // turn pixels near the side edges into invisible terrain.
        const uint32_t colour = FrontAt(x, y);
        PlotPixel(0, MaterialColour(0), x, y);
        if (nx >= 0 && ny >= 0 && nx < width_ && ny < height_)
            PlotPixel(static_cast<uint8_t>(material), colour, nx, ny);
    };
    if (sy != 0) {
        // Rows, starting at the end the terrain moves towards.
        const int count = area.bottom - area.top + 1;
        for (int i = 0; i < count; ++i) {
            const int y = sy > 0 ? area.bottom - i : area.top + i;
            if (!HitTestRect(false, true, area.left, y, area.right, y))
                continue;
            for (int x = area.left; x <= area.right; ++x)
                move(x, y);
        }
    } else {
        const int count = area.right - area.left + 1;
        for (int i = 0; i < count; ++i) {
            const int x = sx > 0 ? area.right - i : area.left + i;
            if (!HitTestRect(false, true, x, area.top, x, area.bottom))
                continue;
            for (int y = area.top; y <= area.bottom; ++y)
                move(x, y);
        }
    }
}

void TileStore::GravityInstant(const PixelRect& area, bool circle, const PixelRect& ellipse)
{
    for (int x = area.left; x <= area.right; ++x) {
        if (!HitTestRect(false, true, x, area.top, x, area.bottom))
            continue;
        int landing = -1; // none
        for (int y = area.bottom; y >= area.top; --y) {
            if (circle && !InEllipse(ellipse, x, y))
                continue;
            const int material = MaterialAt(x, y);
            if (material == 0) {
                if (landing < 0)
                    landing = y;
            } else if (IsLoose(material)) {
                if (landing < 0)
                    continue;
                const uint32_t colour = FrontAt(x, y);
                PlotPixel(0, MaterialColour(0), x, y);
                if (landing == area.bottom)
                    continue; // falls out through the open bottom row
                PlotPixel(static_cast<uint8_t>(material), colour, x, landing);
                --landing;
            } else {
                landing = -1;
            }
        }
    }
}
