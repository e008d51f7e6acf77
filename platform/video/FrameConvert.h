#pragma once
// Colour conversion of decoded pictures: Y'CbCr (BT.601, studio range) planes with 4:2:0,
// 4:2:2 or 4:4:4 chroma to keyed ARGB pixels.
#include "platform/video/VideoTypes.h"

#include <cstddef>
#include <cstdint>

namespace platform::video {

struct PixelPlane {
    const uint8_t* data = nullptr; // row 0
    ptrdiff_t stride = 0;          // bytes from one row to the next (may be negative)
};

struct PictureLayout {
    int x = 0, y = 0;          // picture offset inside the luma plane
    int width = 0, height = 0; // picture size
    int chromaShiftX = 1;      // 1 when chroma has half the luma columns
    int chromaShiftY = 1;      // 1 when chroma has half the luma rows
};

// Writes width x height pixels, rows of `outStride` pixels.
void ConvertPicture(const PixelPlane planes[3], const PictureLayout& layout, const KeyRule& key, uint32_t* out,
                    ptrdiff_t outStride);

} // namespace platform::video
