// Looks of the level-flow traps' extra pieces: glows, the start's release flash, spark and
// base, the exit's beam and sparkles, the icons of the scripting traps and the action star.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

// A soft halo of the colour, strongest in the middle.
bool Glow(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb c = FromHex(s.colour);
    cairo_save(cr);
    cairo_translate(cr, w / 2, h / 2);
    cairo_scale(cr, w / 2, h / 2);
    cairo_pattern_t* halo = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    AddStop(halo, 0, Lighten(c, 0.5), 0.7);
    AddStop(halo, 0.6, c, 0.3);
    AddStop(halo, 1, c, 0);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_set_source(cr, halo);
    cairo_fill(cr);
    cairo_pattern_destroy(halo);
    cairo_restore(cr);
    return true;
}

// The release flash: jagged bolts round the funnel, turning with the frame.
bool Shock(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h * 0.9;
    const Rgb c = FromHex(s.colour);
    cairo_set_line_width(cr, 2);
    for (int bolt = 0; bolt < 5; ++bolt) {
        const double a = kPi * (0.15 + 0.7 * ((bolt * 37 + frame * 11) % 100) / 100.0);
        double x = cx, y = cy;
        cairo_move_to(cr, x, y);
        for (int step = 1; step <= 4; ++step) {
            const double r = std::min(w, h) * 0.12 * step;
            const double jag = (step % 2 ? 0.25 : -0.25);
            x = cx + std::cos(a + jag) * r;
            y = cy - std::sin(a + jag) * r;
            cairo_line_to(cr, x, y);
        }
        SetRgb(cr, Lighten(c, 0.6), 0.9);
        cairo_stroke(cr);
    }
    return true;
}

// A four-pointed spark (or sparkle: smaller on later frames).
bool Spark(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2;
    const double r = std::min(w, h) / 2 * (1.0 - 0.5 * frame / std::max(1, s.frames));
    const Rgb c = FromHex(s.colour);
    cairo_move_to(cr, cx, cy - r);
    cairo_line_to(cr, cx + r * 0.25, cy - r * 0.25);
    cairo_line_to(cr, cx + r, cy);
    cairo_line_to(cr, cx + r * 0.25, cy + r * 0.25);
    cairo_line_to(cr, cx, cy + r);
    cairo_line_to(cr, cx - r * 0.25, cy + r * 0.25);
    cairo_line_to(cr, cx - r, cy);
    cairo_line_to(cr, cx - r * 0.25, cy - r * 0.25);
    cairo_close_path(cr);
    SetRgb(cr, Lighten(c, 0.4));
    cairo_fill(cr);
    return true;
}

// The plate a start tank stands on.
bool Base(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    GlossyBody(cr, w * 0.05, h * 0.9, w * 0.9, h * 0.1, h * 0.03, FromHex(s.colour), State::Normal);
    return true;
}

// The beam that lifts a saved flimb: a tapering column of light, brightest mid-animation.
bool Beam(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb c = FromHex(s.colour);
    const double phase = std::sin(kPi * (frame + 0.5) / std::max(1, s.frames));
    cairo_move_to(cr, w * 0.3, h);
    cairo_line_to(cr, w * 0.7, h);
    cairo_line_to(cr, w * 0.55, 0);
    cairo_line_to(cr, w * 0.45, 0);
    cairo_close_path(cr);
    cairo_pattern_t* band = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(band, 0, c, 0);
    AddStop(band, 1, Lighten(c, 0.5), 0.8 * phase);
    cairo_set_source(cr, band);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    return true;
}

// The editor icons of the scripting traps: a badge with a sign of the kind.
bool TrapIcon(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, r = std::min(w, h) / 2 - 2;
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    SetRgb(cr, palette::kCream);
    cairo_set_line_width(cr, 2.5);
    if (s.part == "winlose") {
        // A chequered flag.
        cairo_move_to(cr, w * 0.35, h * 0.75);
        cairo_line_to(cr, w * 0.35, h * 0.25);
        cairo_stroke(cr);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 2; ++j)
                if ((i + j) % 2 == 0) {
                    cairo_rectangle(cr, w * (0.37 + 0.08 * i), h * (0.27 + 0.1 * j), w * 0.08, h * 0.1);
                    cairo_fill(cr);
                }
    } else if (s.part == "path") {
        // A ring for the waypoint; its number is drawn over it.
        cairo_arc(cr, w / 2, h / 2, r * 0.6, 0, 2 * kPi);
        SetRgb(cr, palette::kCream, 0.9);
        cairo_fill(cr);
    } else if (s.part == "modifyflimb") {
        // A wand with a star.
        cairo_move_to(cr, w * 0.3, h * 0.72);
        cairo_line_to(cr, w * 0.6, h * 0.42);
        cairo_stroke(cr);
        SetRgb(cr, palette::kGold);
        cairo_arc(cr, w * 0.65, h * 0.36, r * 0.22, 0, 2 * kPi);
        cairo_fill(cr);
    } else {
        return false;
    }
    return true;
}

// The action star: five points, gold.
bool Star(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2;
    const double outer = std::min(w, h) / 2 - 1, inner = outer * 0.45;
    for (int i = 0; i < 10; ++i) {
        const double a = -kPi / 2 + kPi * i / 5;
        const double r = i % 2 ? inner : outer;
        if (i == 0)
            cairo_move_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
        else
            cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
    }
    cairo_close_path(cr);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    return true;
}

} // namespace

void AddFlowTrapLooks(LookTable& table)
{
    table["trap-glow"] = Glow;
    table["trap-shock"] = Shock;
    table["trap-spark"] = Spark;
    table["trap-base"] = Base;
    table["trap-beam"] = Beam;
    table["flow-trap-icon"] = TrapIcon;
    table["star"] = Star;
}

} // namespace artgen
