#include "tools/artgen/Symbols.h"

#include <algorithm>
#include <cmath>

namespace artgen {

Box FrameBox(const ImageSpec& s, double inset)
{
    const double size = std::min(s.frameWidth, s.frameHeight) * (1.0 - 2 * inset);
    return Box{(s.frameWidth - size) / 2.0, (s.frameHeight - size) / 2.0, size};
}

void Outline(cairo_t* cr, const Box& b, double width)
{
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, b.L(width));
    cairo_stroke(cr);
}

void FillOutlined(cairo_t* cr, const Box& b, Rgb c)
{
    SetRgb(cr, c);
    cairo_fill_preserve(cr);
    Outline(cr, b);
}

// A round dark badge with a coloured rim.
void Badge(cairo_t* cr, const Box& b, Rgb rim)
{
    cairo_arc(cr, b.X(0.5), b.Y(0.5), b.L(0.46), 0, 2 * kPi);
    cairo_pattern_t* shade = cairo_pattern_create_radial(b.X(0.4), b.Y(0.35), b.L(0.05), b.X(0.5), b.Y(0.5), b.L(0.5));
    AddStop(shade, 0, Mix(palette::kShade, rim, 0.35));
    AddStop(shade, 1, palette::kShade);
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    SetRgb(cr, rim);
    cairo_set_line_width(cr, b.L(0.06));
    cairo_stroke(cr);
}

// A flimb: a round body with two eyes and little feet.
void Flimb(cairo_t* cr, const Box& b, Rgb c, double cx, double cy, double r)
{
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, b.X(cx), b.Y(cy));
    cairo_scale(cr, 1.0, 1.15);
    cairo_arc(cr, 0, 0, b.L(r), 0, 2 * kPi);
    cairo_restore(cr);
    FillOutlined(cr, b, c);
    for (double side : {-1.0, 1.0}) {
        cairo_arc(cr, b.X(cx + side * r * 0.38), b.Y(cy - r * 0.2), b.L(r * 0.22), 0, 2 * kPi);
        SetRgb(cr, palette::kCream);
        cairo_fill(cr);
        cairo_arc(cr, b.X(cx + side * r * 0.34), b.Y(cy - r * 0.16), b.L(r * 0.1), 0, 2 * kPi);
        SetRgb(cr, palette::kInk);
        cairo_fill(cr);
        cairo_rectangle(cr, b.X(cx + side * r * 0.55 - r * 0.22), b.Y(cy + r * 1.05), b.L(r * 0.44), b.L(r * 0.22));
        FillOutlined(cr, b, Darken(c, 0.3));
    }
}

void Star(cairo_t* cr, const Box& b, double cx, double cy, double outer, double inner, int points)
{
    cairo_new_path(cr);
    for (int i = 0; i < points * 2; ++i) {
        const double a = -kPi / 2 + i * kPi / points;
        const double r = (i % 2 ? inner : outer);
        const double x = b.X(cx + r * std::cos(a)), y = b.Y(cy + r * std::sin(a));
        i ? cairo_line_to(cr, x, y) : cairo_move_to(cr, x, y);
    }
    cairo_close_path(cr);
}

void Arrow(cairo_t* cr, const Box& b, double x, double y0, double y1, Rgb c)
{
    const double dir = y1 > y0 ? 1.0 : -1.0;
    cairo_new_path(cr);
    cairo_move_to(cr, b.X(x - 0.08), b.Y(y0));
    cairo_line_to(cr, b.X(x + 0.08), b.Y(y0));
    cairo_line_to(cr, b.X(x + 0.08), b.Y(y1 - dir * 0.14));
    cairo_line_to(cr, b.X(x + 0.2), b.Y(y1 - dir * 0.14));
    cairo_line_to(cr, b.X(x), b.Y(y1));
    cairo_line_to(cr, b.X(x - 0.2), b.Y(y1 - dir * 0.14));
    cairo_line_to(cr, b.X(x - 0.08), b.Y(y1 - dir * 0.14));
    cairo_close_path(cr);
    FillOutlined(cr, b, c);
}

void Qdot(cairo_t* cr, const Box& b, double cx, double cy, double r)
{
    cairo_pattern_t* glow = cairo_pattern_create_radial(b.X(cx), b.Y(cy), 0, b.X(cx), b.Y(cy), b.L(r * 1.6));
    AddStop(glow, 0, FromHex(0xfff6c0), 1.0);
    AddStop(glow, 0.45, FromHex(0xffb020), 1.0);
    AddStop(glow, 0.62, FromHex(0xff8800), 0.6);
    AddStop(glow, 1, FromHex(0xff8800), 0.0);
    cairo_arc(cr, b.X(cx), b.Y(cy), b.L(r * 1.6), 0, 2 * kPi);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
}

} // namespace artgen
