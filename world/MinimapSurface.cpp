#include "world/MinimapSurface.h"

#include "media/DXManager.h"
#include "world/BashTypes.h"

#include <algorithm>

uint32_t MinimapSurface::ReductionFactor(int32_t landscapeWidth, int32_t landscapeHeight)
{
    if (landscapeWidth <= 0 || landscapeHeight <= 0)
        return 1;
    const float k = std::min(1024.0f / static_cast<float>(landscapeWidth), 1024.0f / static_cast<float>(landscapeHeight));
    const uint32_t factor = static_cast<uint32_t>(1.0f / k);
    return factor == 0 ? 1 : factor;
}

MinimapSurface::MinimapSurface(const Landscape& landscape) : landscape_(landscape)
{
    name = "minimap";
    factor_ = ReductionFactor(landscape.Width(), landscape.Height());
    width_ = std::max(0, landscape.Width() / static_cast<int32_t>(factor_));
    height_ = std::max(0, landscape.Height() / static_cast<int32_t>(factor_));
    pixels_.assign(size_t(width_) * size_t(height_), kEmptyColour);
    if (width_ > 0 && height_ > 0 && DXManager::GetDevice())
        Create(width_, height_);
    Update(0, 0, landscape.Width(), landscape.Height());
}

MinimapSurface::~MinimapSurface() = default;

uint32_t MinimapSurface::Pixel(int column, int row) const
{
    if (column < 0 || row < 0 || column >= width_ || row >= height_)
        return 0;
    return pixels_[size_t(row) * size_t(width_) + size_t(column)];
}

void MinimapSurface::Update(int left, int top, int right, int bottom)
{
    const int landWidth = landscape_.Width(), landHeight = landscape_.Height();
    if (left < 0 || left > landWidth || top < 0 || top > landHeight || right < 0 || right > landWidth || bottom < 0
        || bottom > landHeight)
        return;
    const int f = static_cast<int>(factor_);
    const int c0 = left / f, r0 = top / f;
    const int c1 = std::min((right + f - 1) / f, width_);
    const int r1 = std::min((bottom + f - 1) / f, height_);
    if (c0 >= c1 || r0 >= r1)
        return;
    for (int r = r0; r < r1; ++r) {
        uint32_t* row = pixels_.data() + size_t(r) * size_t(width_);
        for (int c = c0; c < c1; ++c) {
            const uint32_t colour = MaterialColour(landscape_.HitTestPoint(c * f, r * f));
            row[c] = colour == 0 ? kEmptyColour : colour;
        }
    }
    gfx::D3DLOCKED_RECT locked{};
    if (!texture || !Lock(locked))
        return; // the memory copy is current; the texture keeps what it had
    for (int r = r0; r < r1; ++r) {
        auto* target = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + size_t(r) * size_t(locked.Pitch));
        std::copy(pixels_.begin() + ptrdiff_t(size_t(r) * size_t(width_) + size_t(c0)),
                  pixels_.begin() + ptrdiff_t(size_t(r) * size_t(width_) + size_t(c1)), target + c0);
    }
    Unlock();
}
