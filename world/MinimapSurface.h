#pragma once
// The minimap's picture of the terrain: one pixel for every factor x factor square of the
// landscape, in the materials' colours (0xFF333355 where the sample point is empty), kept
// current by the landscape's change notices over just the changed rectangle. The pixels
// live in memory and in a texture of the graphics device when there is one.
#include "media/Surface.h"
#include "world/Landscape.h"

#include <cstdint>
#include <vector>

class MinimapSurface : public MemBaseSurface, public IMinimapSurface {
public:
    static constexpr uint32_t kEmptyColour = 0xFF333355u;

    // Computes the factor, makes the surface and fills it completely.
    explicit MinimapSurface(const Landscape& landscape);
    ~MinimapSurface() override;

    // The larger side of the landscape over 1024, truncated; 1 for landscapes whose sides
    // are both under 1024 pixels (a smaller minimap needs no reduction).
    static uint32_t ReductionFactor(int32_t landscapeWidth, int32_t landscapeHeight);

    // The changed rectangle (right and bottom exclusive, landscape pixels); a rectangle
    // reaching outside the landscape is ignored.
    void Update(int left, int top, int right, int bottom);
    void TerrainChanged(int left, int top, int right, int bottom) override { Update(left, top, right, bottom); }

    uint32_t Factor() const { return factor_; }
    int32_t SurfaceWidth() const { return width_; }
    int32_t SurfaceHeight() const { return height_; }
    // The minimap pixel (column, row); 0 outside.
    uint32_t Pixel(int column, int row) const;

private:
    const Landscape& landscape_;
    uint32_t factor_ = 1;
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<uint32_t> pixels_;
};
