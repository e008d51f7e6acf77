// Brush masks: the shapes digging removes and building lays, written pixel by pixel
// (tools/artgen/PixelShapes.h), fully opaque in the look's colour or fully transparent.
//
// Parts: "block" (a plain protection block), "half-block" (the Doppel's left half, its outer
// top corner cut), "slot" (the Drill: a slot with rounded bottom corners), "brick" (a Mold
// brick: lighter top row, darker bottom row), "disc" (the Nova and Lop craters), "face" (the
// Clob tunnel face, rounded on its leading right side), "diagonal-up" and "diagonal-down"
// (the Gulp's round-ended bands).
#include "tools/artgen/Looks.h"
#include "tools/artgen/PixelShapes.h"

#include <cstdint>
#include <functional>

namespace artgen {
namespace {

using Shape = std::function<bool(int64_t x2, int64_t y2, int64_t w2, int64_t h2)>;

// Every pixel of the frame: colour(x, y) when the shape holds its centre, else transparent.
bool Fill(cairo_t* cr, const ImageSpec& s, const Shape& inside,
          const std::function<uint32_t(int x, int y)>& colour)
{
    const int64_t w2 = 2 * s.frameWidth, h2 = 2 * s.frameHeight;
    return WritePixels(cr, s, [&](int x, int y) {
        return inside(2 * x + 1, 2 * y + 1, w2, h2) ? 0xFF000000u | colour(x, y) : 0u;
    });
}

// Within distance r2 (doubled units) of the segment (ax, ay)-(bx, by).
bool NearSegment(int64_t x, int64_t y, int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t r2)
{
    const int64_t dx = bx - ax, dy = by - ay, wx = x - ax, wy = y - ay;
    const int64_t along = wx * dx + wy * dy, length = dx * dx + dy * dy;
    if (along <= 0)
        return wx * wx + wy * wy <= r2 * r2;
    if (along >= length)
        return (x - bx) * (x - bx) + (y - by) * (y - by) <= r2 * r2;
    const int64_t cross = wx * dy - wy * dx;
    return cross * cross <= r2 * r2 * length;
}

// A band from one corner region to the opposite one, its ends round, as wide as a quarter
// of the smaller side on each side of its axis.
Shape Diagonal(bool up)
{
    return [up](int64_t x, int64_t y, int64_t w, int64_t h) {
        const int64_t r = (w < h ? w : h) * 10 / 44;
        const int64_t ax = r, bx = w - r;
        const int64_t ay = up ? h - r : r, by = up ? r : h - r;
        return NearSegment(x, y, ax, ay, bx, by, r);
    };
}

bool MaskLook(cairo_t* cr, const ImageSpec& s, int)
{
    const uint32_t c = s.colour & 0xFFFFFFu;
    auto plain = [c](int, int) { return c; };
    if (s.part == "block")
        return Fill(cr, s, [](int64_t, int64_t, int64_t, int64_t) { return true; }, plain);
    if (s.part == "half-block") // cut: the outer top corner, 3 pixels along each edge
        return Fill(cr, s, [](int64_t x, int64_t y, int64_t, int64_t) { return x + y > 2 * 3 + 2; }, plain);
    if (s.part == "slot") // bottom corners rounded with a radius of a third of the height
        return Fill(
            cr, s,
            [](int64_t x, int64_t y, int64_t w, int64_t h) {
                const int64_t r = h * 3 / 8 + 1, cy = h - r;
                if (y <= cy)
                    return true;
                const int64_t cx = x < r ? r : x > w - r ? w - r : x;
                return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
            },
            plain);
    if (s.part == "brick")
        return Fill(cr, s, [](int64_t, int64_t, int64_t, int64_t) { return true; },
                    [&s, c](int, int y) {
                        if (y == 0)
                            return ScaledRgb(c, 1, 2, 255); // halfway to white
                        return y == s.frameHeight - 1 ? ScaledRgb(c, 3, 4, 0) : c;
                    });
    if (s.part == "disc")
        return Fill(
            cr, s,
            [](int64_t x, int64_t y, int64_t w, int64_t h) {
                const int64_t d = w < h ? w : h, dx = x - w / 2, dy = y - h / 2;
                return 4 * (dx * dx + dy * dy) <= d * d;
            },
            plain);
    if (s.part == "face") // flat trailing (left) half, half an ellipse leading
        return Fill(
            cr, s,
            [](int64_t x, int64_t y, int64_t w, int64_t h) {
                const int64_t cx = w / 2, cy = h / 2;
                if (x <= cx)
                    return true;
                const int64_t a = w - cx, b = cy;
                return (x - cx) * (x - cx) * b * b + (y - cy) * (y - cy) * a * a <= a * a * b * b;
            },
            plain);
    if (s.part == "diagonal-up")
        return Fill(cr, s, Diagonal(true), plain);
    if (s.part == "diagonal-down")
        return Fill(cr, s, Diagonal(false), plain);
    return false;
}

} // namespace

void AddMaskLooks(LookTable& table)
{
    table["mask"] = MaskLook;
}

} // namespace artgen
