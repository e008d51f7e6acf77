#include "platform/video/FrameConvert.h"

namespace platform::video {
namespace {

inline uint32_t Clamp255(int v)
{
    return v < 0 ? 0u : v > 255 ? 255u : uint32_t(v);
}

} // namespace

void ConvertPicture(const PixelPlane planes[3], const PictureLayout& layout, const KeyRule& key, uint32_t* out,
                    ptrdiff_t outStride)
{
    // 10-bit fixed point of R = 1.164 (Y - 16) + 1.596 Cr, G = 1.164 (Y - 16) - 0.813 Cr -
    // 0.391 Cb, B = 1.164 (Y - 16) + 2.018 Cb.
    for (int row = 0; row < layout.height; ++row) {
        const int ly = layout.y + row;
        const int cy = ly >> layout.chromaShiftY;
        const uint8_t* yRow = planes[0].data + ly * planes[0].stride;
        const uint8_t* cbRow = planes[1].data + cy * planes[1].stride;
        const uint8_t* crRow = planes[2].data + cy * planes[2].stride;
        uint32_t* target = out + row * outStride;
        for (int col = 0; col < layout.width; ++col) {
            const int lx = layout.x + col;
            const int cx = lx >> layout.chromaShiftX;
            const int luma = 1192 * (int(yRow[lx]) - 16) + 512;
            const int cb = int(cbRow[cx]) - 128;
            const int cr = int(crRow[cx]) - 128;
            const uint32_t r = Clamp255((luma + 1634 * cr) >> 10);
            const uint32_t g = Clamp255((luma - 833 * cr - 400 * cb) >> 10);
            const uint32_t b = Clamp255((luma + 2066 * cb) >> 10);
            target[col] = KeyPixel((r << 16) | (g << 8) | b, key);
        }
    }
}

} // namespace platform::video
