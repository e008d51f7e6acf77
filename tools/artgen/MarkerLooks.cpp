// Marker looks: soft light drawn with radial gradients so they sit well on any terrain.
#include "tools/artgen/MarkerLooks.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

constexpr double kPi = 3.14159265358979;

void Stop(cairo_pattern_t* pattern, double at, uint32_t rgb, double alpha)
{
    cairo_pattern_add_color_stop_rgba(pattern, at, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                                      (rgb & 0xFF) / 255.0, alpha);
}

// A glowing ring that fades inwards and outwards: the halo round a chosen flimb.
void Halo(cairo_t* cr, const ImageSpec& s)
{
    const double cx = s.frameWidth / 2.0, cy = s.frameHeight / 2.0;
    const double r = std::min(cx, cy);
    cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    Stop(glow, 0.00, s.colour, 0.0);
    Stop(glow, 0.45, s.colour, 0.10);
    Stop(glow, 0.72, s.colour, 0.85);
    Stop(glow, 0.80, 0xffffff, 0.95);
    Stop(glow, 0.88, s.colour, 0.55);
    Stop(glow, 1.00, s.colour, 0.0);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
}

// A selection ring with four notches and a bright rim: the chosen group's marker.
void SelectRing(cairo_t* cr, const ImageSpec& s)
{
    const double cx = s.frameWidth / 2.0, cy = s.frameHeight / 2.0;
    const double r = std::min(cx, cy) - 3.0;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 4; ++i) {
        const double a = kPi / 4 + i * kPi / 2;
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, r, a - kPi / 5, a + kPi / 5);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
        cairo_set_line_width(cr, 6.0);
        cairo_stroke_preserve(cr);
        cairo_set_source_rgba(cr, ((s.colour >> 16) & 0xFF) / 255.0, ((s.colour >> 8) & 0xFF) / 255.0,
                              (s.colour & 0xFF) / 255.0, 1.0);
        cairo_set_line_width(cr, 3.5);
        cairo_stroke(cr);
    }
    cairo_pattern_t* inner = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    Stop(inner, 0.0, s.colour, 0.0);
    Stop(inner, 1.0, s.colour, 0.35);
    cairo_arc(cr, cx, cy, r - 2, 0, 2 * kPi);
    cairo_set_source(cr, inner);
    cairo_fill(cr);
    cairo_pattern_destroy(inner);
}

} // namespace

bool DrawMarkerFrame(cairo_t* cr, const ImageSpec& spec, int)
{
    if (spec.look == "halo")
        Halo(cr, spec);
    else if (spec.look == "select-ring")
        SelectRing(cr, spec);
    else
        return false;
    return true;
}

} // namespace artgen
