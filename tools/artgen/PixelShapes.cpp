#include "tools/artgen/PixelShapes.h"

#include <cairo.h>

namespace artgen {

bool WritePixels(cairo_t* cr, const ImageSpec& s, const std::function<uint32_t(int x, int y)>& argb)
{
    cairo_surface_t* target = cairo_get_target(cr);
    if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE)
        return false;
    cairo_surface_flush(target);
    double ox = 0, oy = 0;
    cairo_user_to_device(cr, &ox, &oy);
    unsigned char* data = cairo_image_surface_get_data(target);
    const int stride = cairo_image_surface_get_stride(target);
    for (int y = 0; y < s.frameHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + (int(oy) + y) * stride) + int(ox);
        for (int x = 0; x < s.frameWidth; ++x) {
            const uint32_t p = argb(x, y);
            row[x] = (p >> 24) ? 0xFF000000u | (p & 0xFFFFFFu) : 0u;
        }
    }
    cairo_surface_mark_dirty(target);
    return true;
}

uint32_t ScaledRgb(uint32_t rgb, int numerator, int denominator, int add)
{
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int v = (int((rgb >> shift) & 0xFF) * numerator + add) / denominator;
        out |= uint32_t(v > 255 ? 255 : v) << shift;
    }
    return out;
}

} // namespace artgen
