// Cursor looks. Every shape is a path built by one function and painted three times: a soft
// shadow one pixel down and right, a dark rim (a wide stroke), then the fill on top, so the
// rim shows only outside the fill and overlapping parts merge into one outline. Shapes are
// laid out on a 32 x 32 grid; the hot spots in the cursor spec point at their tips.
#include "tools/artgen/CursorLooks.h"
#include "tools/artgen/Paint.h"

#include <cairo.h>

#include <cmath>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace artgen {
namespace {

using PathBuilder = std::function<void(cairo_t*)>;
using Points = std::vector<std::pair<double, double>>;

void SetRgb(cairo_t* cr, uint32_t rgb, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0,
                          alpha);
}

constexpr uint32_t kRim = 0x1c1f2b;

// Shadow, rim, fill. `strokeOnly` paints line art (the path's own stroke is the shape).
void Paint(cairo_t* cr, const PathBuilder& path, uint32_t fill, double lineWidth = 0.0)
{
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const bool lines = lineWidth > 0.0;
    auto draw = [&](double widen) {
        cairo_new_path(cr);
        path(cr);
        if (lines) {
            cairo_set_line_width(cr, lineWidth + widen);
            cairo_stroke(cr);
        } else if (widen > 0.0) {
            cairo_set_line_width(cr, widen);
            cairo_stroke_preserve(cr);
            cairo_fill(cr);
        } else {
            cairo_fill(cr);
        }
    };
    cairo_save(cr);
    cairo_translate(cr, 1.2, 1.6);
    SetRgb(cr, 0x000000, 0.28);
    draw(2.6);
    cairo_restore(cr);
    SetRgb(cr, kRim);
    draw(2.6);
    // A gentle top-to-bottom sheen on the fill.
    cairo_pattern_t* sheen = cairo_pattern_create_linear(0, 0, 0, 32);
    auto stop = [&](double at, double lighten) {
        auto ch = [&](int shift) {
            const double v = ((fill >> shift) & 0xFF) / 255.0;
            return lighten >= 0 ? v + (1.0 - v) * lighten : v * (1.0 + lighten);
        };
        cairo_pattern_add_color_stop_rgb(sheen, at, ch(16), ch(8), ch(0));
    };
    stop(0.0, 0.35);
    stop(1.0, -0.12);
    cairo_set_source(cr, sheen);
    draw(0.0);
    cairo_pattern_destroy(sheen);
}

void Polygon(cairo_t* cr, const Points& points)
{
    cairo_move_to(cr, points[0].first, points[0].second);
    for (size_t i = 1; i < points.size(); ++i)
        cairo_line_to(cr, points[i].first, points[i].second);
    cairo_close_path(cr);
}

// The classic pointer, tip at (3, 2).
void PointerPath(cairo_t* cr)
{
    Polygon(cr, {{3, 2}, {3, 24}, {8.5, 19}, {12.5, 28}, {16, 26.4}, {12.2, 17.8}, {19.5, 17.8}});
}

// A hand with the index finger up, fingertip at (11, fingerTop).
void PointingHandPath(cairo_t* cr, double fingerTop)
{
    RoundedRect(cr, 8, fingerTop, 6, 18 - fingerTop, 3);     // index finger
    RoundedRect(cr, 13.5, 11.5, 5, 8, 2.5);                  // folded middle finger
    RoundedRect(cr, 18, 12.5, 4.6, 7.5, 2.3);                // ring finger
    RoundedRect(cr, 22, 14, 4.2, 7, 2.1);                    // little finger
    RoundedRect(cr, 8, 15, 18.2, 14, 5);                     // palm
    cairo_save(cr);                                         // thumb, leaning out
    cairo_translate(cr, 8.5, 19.5);
    cairo_rotate(cr, -0.75);
    RoundedRect(cr, -9, -2.5, 11, 5, 2.5);
    cairo_restore(cr);
}

// An open hand for grabbing and dragging.
void OpenHandPath(cairo_t* cr)
{
    RoundedRect(cr, 7.5, 6, 4.2, 13, 2.1);
    RoundedRect(cr, 11.8, 3, 4.4, 15, 2.2);
    RoundedRect(cr, 16.3, 4, 4.4, 14, 2.2);
    RoundedRect(cr, 20.8, 7, 4, 12, 2);
    RoundedRect(cr, 7.5, 13, 17.3, 15, 5.5);
    cairo_save(cr);
    cairo_translate(cr, 8.5, 20);
    cairo_rotate(cr, -0.6);
    RoundedRect(cr, -8.5, -2.4, 10, 4.8, 2.4);
    cairo_restore(cr);
}

// An arrow along +x from the origin: shaft then head, tip at `length`.
void ArrowAlong(cairo_t* cr, double length, double shaft, double head, double headLength)
{
    Polygon(cr, {{0, -shaft / 2},
                 {length - headLength, -shaft / 2},
                 {length - headLength, -head / 2},
                 {length, 0},
                 {length - headLength, head / 2},
                 {length - headLength, shaft / 2},
                 {0, shaft / 2}});
}

// A double-headed arrow through the centre at `angle`.
void DoubleArrowPath(cairo_t* cr, double angle, double halfLength)
{
    cairo_save(cr);
    cairo_translate(cr, 16, 16);
    cairo_rotate(cr, angle);
    const double s = 4.5, h = 12, hl = 7;
    Polygon(cr, {{-halfLength, 0},
                 {-halfLength + hl, -h / 2},
                 {-halfLength + hl, -s / 2},
                 {halfLength - hl, -s / 2},
                 {halfLength - hl, -h / 2},
                 {halfLength, 0},
                 {halfLength - hl, h / 2},
                 {halfLength - hl, s / 2},
                 {-halfLength + hl, s / 2},
                 {-halfLength + hl, h / 2}});
    cairo_restore(cr);
}

// A big arrow pointing in one direction with its tip 2 pixels from the edge.
void EdgeArrowPath(cairo_t* cr, double angle)
{
    cairo_save(cr);
    cairo_translate(cr, 16, 16);
    cairo_rotate(cr, angle);
    cairo_translate(cr, -12, 0);
    ArrowAlong(cr, 26, 6, 18, 11);
    cairo_restore(cr);
}

void MovePath(cairo_t* cr)
{
    DoubleArrowPath(cr, 0, 14);
    DoubleArrowPath(cr, kPi / 2, 14);
}

void Badge(cairo_t* cr, const char* text)
{
    cairo_new_path(cr);
    cairo_arc(cr, 23, 23, 7.5, 0, 2 * kPi);
    SetRgb(cr, kRim);
    cairo_fill(cr);
    cairo_arc(cr, 23, 23, 6.2, 0, 2 * kPi);
    SetRgb(cr, 0x3d8bfd);
    cairo_fill(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 10.5);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    cairo_move_to(cr, 23 - extents.width / 2 - extents.x_bearing, 23 - extents.height / 2 - extents.y_bearing);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_show_text(cr, text);
}

void Crosshair(cairo_t* cr)
{
    auto lines = [](cairo_t* c) {
        cairo_new_sub_path(c);
        cairo_arc(c, 16, 16, 8.5, 0, 2 * kPi);
        const double gaps[][4] = {{16, 2, 16, 11}, {16, 21, 16, 30}, {2, 16, 11, 16}, {21, 16, 30, 16}};
        for (const auto& g : gaps) {
            cairo_move_to(c, g[0], g[1]);
            cairo_line_to(c, g[2], g[3]);
        }
    };
    Paint(cr, lines, 0xffffff, 1.6);
    cairo_new_path(cr);
    cairo_arc(cr, 16, 16, 1.6, 0, 2 * kPi);
    SetRgb(cr, 0xe8503a);
    cairo_fill(cr);
}

void Rotate(cairo_t* cr, uint32_t fill)
{
    // A thick three-quarter ring with an arrowhead at its clockwise end.
    auto ring = [](cairo_t* c) {
        const double r0 = 7.5, r1 = 12.0, a0 = -kPi * 0.95, a1 = kPi * 0.45;
        cairo_new_sub_path(c);
        cairo_arc(c, 16, 16, r1, a0, a1);
        cairo_arc_negative(c, 16, 16, r0, a1, a0);
        cairo_close_path(c);
        // Head: a triangle across the ring's end, pointing along the turn.
        const double mid = (r0 + r1) / 2, ex = 16 + mid * std::cos(a1), ey = 16 + mid * std::sin(a1);
        const double tx = -std::sin(a1), ty = std::cos(a1); // direction of travel
        const double nx = std::cos(a1), ny = std::sin(a1);  // outwards
        Polygon(c, {{ex + nx * 7.5, ey + ny * 7.5}, {ex + tx * 8, ey + ty * 8}, {ex - nx * 7.5, ey - ny * 7.5}});
    };
    Paint(cr, ring, fill);
}

void Spinner(cairo_t* cr, const ImageSpec& s, int frame)
{
    const int dots = 8;
    for (int i = 0; i < dots; ++i) {
        const double age = std::fmod(double(frame) * dots / std::max(1, s.frames) - i + dots, double(dots)) / dots;
        const double a = 2 * kPi * i / dots - kPi / 2;
        const double x = 16 + 10.5 * std::cos(a), y = 16 + 10.5 * std::sin(a);
        const double r = 3.4 * (1.0 - 0.35 * age);
        cairo_new_path(cr);
        cairo_arc(cr, x, y, r + 1.1, 0, 2 * kPi);
        SetRgb(cr, kRim, 1.0 - 0.6 * age);
        cairo_fill(cr);
        cairo_arc(cr, x, y, r, 0, 2 * kPi);
        SetRgb(cr, s.colour, 1.0 - 0.75 * age);
        cairo_fill(cr);
    }
}

} // namespace

bool DrawCursorFrame(cairo_t* cr, const ImageSpec& spec, int frame)
{
    static const std::map<std::string, std::function<void(cairo_t*, const ImageSpec&, int)>> looks = {
        {"cursor-pointer", [](cairo_t* c, const ImageSpec& s, int) { Paint(c, PointerPath, s.colour); }},
        {"cursor-question",
         [](cairo_t* c, const ImageSpec& s, int) {
             Paint(c, PointerPath, s.colour);
             Badge(c, "?");
         }},
        {"cursor-finger",
         [](cairo_t* c, const ImageSpec& s, int) { Paint(c, [](cairo_t* p) { PointingHandPath(p, 1.5); }, s.colour); }},
        {"cursor-press",
         [](cairo_t* c, const ImageSpec& s, int) {
             Paint(c, [](cairo_t* p) { PointingHandPath(p, 4.5); }, s.colour);
             cairo_new_path(c);
             SetRgb(c, 0x3d8bfd);
             cairo_set_line_width(c, 1.5);
             cairo_arc(c, 11, 4.5, 4.5, kPi * 1.05, kPi * 1.45);
             cairo_stroke(c);
             cairo_arc(c, 11, 4.5, 4.5, kPi * 1.55, kPi * 1.95);
             cairo_stroke(c);
         }},
        {"cursor-hand", [](cairo_t* c, const ImageSpec& s, int) { Paint(c, OpenHandPath, s.colour); }},
        {"cursor-move", [](cairo_t* c, const ImageSpec& s, int) { Paint(c, MovePath, s.colour); }},
        {"cursor-left", [](cairo_t* c, const ImageSpec& s, int) { Paint(c, [](cairo_t* p) { EdgeArrowPath(p, kPi); }, s.colour); }},
        {"cursor-right", [](cairo_t* c, const ImageSpec& s, int) { Paint(c, [](cairo_t* p) { EdgeArrowPath(p, 0); }, s.colour); }},
        {"cursor-up",
         [](cairo_t* c, const ImageSpec& s, int) { Paint(c, [](cairo_t* p) { EdgeArrowPath(p, -kPi / 2); }, s.colour); }},
        {"cursor-down",
         [](cairo_t* c, const ImageSpec& s, int) { Paint(c, [](cairo_t* p) { EdgeArrowPath(p, kPi / 2); }, s.colour); }},
        {"cursor-horizontal",
         [](cairo_t* c, const ImageSpec& s, int) { Paint(c, [](cairo_t* p) { DoubleArrowPath(p, 0, 14.5); }, s.colour); }},
        {"cursor-diagonal-right",
         [](cairo_t* c, const ImageSpec& s, int) {
             Paint(c, [](cairo_t* p) { DoubleArrowPath(p, -kPi / 4, 15.5); }, s.colour);
         }},
        {"cursor-precision", [](cairo_t* c, const ImageSpec&, int) { Crosshair(c); }},
        {"cursor-rotate", [](cairo_t* c, const ImageSpec& s, int) { Rotate(c, s.colour); }},
        {"cursor-spinner", Spinner},
    };
    const auto look = looks.find(spec.look);
    if (look == looks.end())
        return false;
    look->second(cr, spec, frame);
    return true;
}

} // namespace artgen
