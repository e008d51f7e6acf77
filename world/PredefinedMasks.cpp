#include "world/PredefinedMasks.h"

#include "world/BashTypes.h"

#include <cmath>

namespace {

const char* const kMaskFiles[kPredefinedMaskFiles] = {
    "Masks\\mask_house_prot.png", "Masks\\mask_start_prot.png", "Masks\\mask_doppel_left.png",
    "Masks\\mask-drill.png",      "Masks\\mask_mold_0.png",     "Masks\\mask_mold_1.png",
    "Masks\\mask_mold_2.png",     "Masks\\mask_mold_3.png",     "Masks\\mask_mold_4.png",
    "Masks\\mask_mold_5.png",     "Masks\\mask_mold_6.png",     "Masks\\mask_mold_7.png",
    "Masks\\mask_nova.png",       "Masks\\mask_clob.png",       "Masks\\mask-gulp-up.png",
    "Masks\\mask-gulp-down.png",  "Masks\\mask_lop.png"};

// The hot spot of each file at scale 1.
constexpr int32_t kMaskHotspots[kPredefinedMaskFiles][2] = {};

} // namespace

const char* PredefinedMaskFile(int mask)
{
    return mask >= 0 && mask < kPredefinedMaskFiles ? kMaskFiles[mask] : nullptr;
}

bool PredefinedMaskShapeFor(int mask, int imageWidth, int imageHeight, float scale, int direction, int flip,
                            PredefinedMaskShape& out)
{
    out = {};
    if (mask < 0 || mask >= kPredefinedMaskFiles || direction < 0 || direction > 3 || flip < 0 || flip > 1 ||
        !std::isfinite(scale) || scale <= 0.0f || imageWidth <= 0 || imageHeight <= 0)
        return false;
    const float scaledWidth = std::ceil(float(imageWidth) * scale);
    const float scaledHeight = std::ceil(float(imageHeight) * scale);
    if (scaledWidth < 1.0f || scaledHeight < 1.0f || scaledWidth > float(kMaxLandscapeSize) ||
        scaledHeight > float(kMaxLandscapeSize))
        return false;
    const int32_t w = int32_t(scaledWidth), h = int32_t(scaledHeight);
    auto scaled = [scale](int32_t v) { return int32_t(float(v) * scale + 0.99f); };
    const int32_t hx = scaled(kMaskHotspots[mask][0]), hy = scaled(kMaskHotspots[mask][1]);
    const bool across = direction >= 2; // sides swapped
    out.width = across ? h : w;
    out.height = across ? w : h;
    switch (direction) {
    case 0: out.hotspotX = hx, out.hotspotY = hy, out.rotation = 0.0f; break;
    case 1: out.hotspotX = w - hx - 1, out.hotspotY = h - hy - 1, out.rotation = 180.0f; break;
    case 2: out.hotspotX = h - hy - 1, out.hotspotY = hx, out.rotation = 270.0f; break;
    default: out.hotspotX = hy, out.hotspotY = w - hx - 1, out.rotation = 90.0f; break;
    }
    if (flip) {
        if (across)
            out.hotspotY = out.height - out.hotspotY - 1;
        else
            out.hotspotX = out.width - out.hotspotX - 1;
    }
    out.scaleX = flip ? -scale : scale;
    out.scaleY = scale;
    return true;
}
