// Level looks: the terrain primitives levels stamp into the landscape (rock, ground slab,
// girder) and the pictures of the level-flow traps (start tank, exit door, level node,
// FlimbMaster crest).
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace artgen {
namespace {

// A small fixed sequence for the ragged outlines: the same picture on every build.
double Wobble(int i, int seed)
{
    uint32_t x = static_cast<uint32_t>(i * 2654435761u) ^ static_cast<uint32_t>(seed * 40503u);
    x ^= x >> 13;
    x *= 0x5bd1e995u;
    x ^= x >> 15;
    return double(x % 1000u) / 1000.0;
}

// A lumpy boulder filling the frame, lit from the top left, with a few cracks.
bool Rock(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2;
    const int points = 18;
    for (int i = 0; i <= points; ++i) {
        const double a = 2 * kPi * (i % points) / points;
        const double r = 0.82 + 0.16 * Wobble(i % points, 7);
        const double x = cx + std::cos(a) * (w / 2 - 1) * r, y = cy + std::sin(a) * (h / 2 - 1) * r;
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    const Rgb base = FromHex(s.colour);
    cairo_pattern_t* light = cairo_pattern_create_radial(cx - w / 4, cy - h / 4, 2, cx, cy, std::max(w, h) / 1.6);
    AddStop(light, 0, Lighten(base, 0.35));
    AddStop(light, 1, Darken(base, 0.45));
    cairo_set_source(cr, light);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(light);
    SetRgb(cr, Darken(base, 0.65));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    SetRgb(cr, Darken(base, 0.55), 0.8);
    cairo_set_line_width(cr, 1.2);
    for (int crack = 0; crack < 3; ++crack) {
        double x = w * (0.3 + 0.2 * crack), y = h * (0.25 + 0.15 * Wobble(crack, 3));
        cairo_move_to(cr, x, y);
        for (int step = 0; step < 4; ++step) {
            x += (Wobble(step + crack * 5, 11) - 0.5) * w * 0.12;
            y += h * 0.1;
            cairo_line_to(cr, x, y);
        }
        cairo_stroke(cr);
    }
    return true;
}

// A slab of earth with a grassy top edge.
bool Ground(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb earth = FromHex(s.colour);
    cairo_move_to(cr, 0, h * 0.25);
    const int bumps = std::max(4, int(w / 16));
    for (int i = 0; i <= bumps; ++i)
        cairo_line_to(cr, w * i / bumps, h * (0.18 + 0.1 * Wobble(i, 5)));
    cairo_line_to(cr, w, h);
    cairo_line_to(cr, 0, h);
    cairo_close_path(cr);
    cairo_pattern_t* band = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(band, 0, Lighten(earth, 0.15));
    AddStop(band, 1, Darken(earth, 0.4));
    cairo_set_source(cr, band);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    // Pebbles.
    for (int i = 0; i < bumps * 2; ++i) {
        SetRgb(cr, Darken(earth, 0.3 + 0.3 * Wobble(i, 9)), 0.9);
        cairo_arc(cr, w * Wobble(i, 13), h * (0.45 + 0.5 * Wobble(i, 17)), 1.5 + 2 * Wobble(i, 19), 0, 2 * kPi);
        cairo_fill(cr);
    }
    // Grass along the top.
    const Rgb grass = FromHex(0x4f9a2f);
    cairo_set_line_width(cr, 2);
    for (int i = 0; i < int(w / 3); ++i) {
        const double x = i * 3 + Wobble(i, 23) * 2;
        const int bump = std::min(bumps, int(x / w * bumps));
        const double top = h * (0.18 + 0.1 * Wobble(bump, 5));
        SetRgb(cr, Mix(grass, Lighten(grass, 0.4), Wobble(i, 29)));
        cairo_move_to(cr, x, top + h * 0.08);
        cairo_line_to(cr, x + (Wobble(i, 31) - 0.5) * 4, top - h * 0.08 * (0.5 + Wobble(i, 37)));
        cairo_stroke(cr);
    }
    return true;
}

// A riveted steel girder along the frame.
bool Girder(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb steel = FromHex(s.colour);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_pattern_t* band = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(band, 0, Lighten(steel, 0.4));
    AddStop(band, 0.5, steel);
    AddStop(band, 1, Darken(steel, 0.45));
    cairo_set_source(cr, band);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    SetRgb(cr, Darken(steel, 0.6));
    cairo_set_line_width(cr, 1.5);
    const int bays = std::max(1, int(w / h / 1.5));
    for (int i = 0; i < bays; ++i) {
        const double x0 = w * i / bays, x1 = w * (i + 1) / bays;
        cairo_move_to(cr, x0 + 3, h - 4);
        cairo_line_to(cr, (x0 + x1) / 2, 4);
        cairo_line_to(cr, x1 - 3, h - 4);
        cairo_stroke(cr);
        SetRgb(cr, Lighten(steel, 0.6));
        cairo_arc(cr, x0 + 4, h / 2, 1.6, 0, 2 * kPi);
        cairo_fill(cr);
        SetRgb(cr, Darken(steel, 0.6));
    }
    cairo_rectangle(cr, 0.75, 0.75, w - 1.5, h - 1.5);
    cairo_stroke(cr);
    return true;
}

// The start point: a glass tank of flimbs on a base, a funnel at the bottom.
bool StartTank(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb metal = FromHex(0x5d6470);
    const Rgb liquid = FromHex(s.colour);
    RoundedRect(cr, w * 0.15, h * 0.31, w * 0.7, h * 0.62, w * 0.12);
    SetRgb(cr, Lighten(liquid, 0.1), 0.85);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Glass highlight.
    SetRgb(cr, palette::kCream, 0.45);
    RoundedRect(cr, w * 0.22, h * 0.35, w * 0.1, h * 0.5, w * 0.05);
    cairo_fill(cr);
    // Lid and funnel.
    GlossyBody(cr, w * 0.08, h * 0.2, w * 0.84, h * 0.12, h * 0.04, metal, State::Normal);
    cairo_move_to(cr, w * 0.3, h * 0.93);
    cairo_line_to(cr, w * 0.7, h * 0.93);
    cairo_line_to(cr, w * 0.56, h);
    cairo_line_to(cr, w * 0.44, h);
    cairo_close_path(cr);
    SetRgb(cr, metal);
    cairo_fill(cr);
    // A gauge window above the lid.
    RoundedRect(cr, w * 0.3, h * 0.03, w * 0.4, h * 0.15, h * 0.04);
    SetRgb(cr, palette::kShade, 0.85);
    cairo_fill(cr);
    return true;
}

// The exit: an arched doorway with a glowing inside.
bool ExitDoor(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb glow = FromHex(s.colour);
    const Rgb stone = FromHex(0x8c7b6a);
    cairo_move_to(cr, w * 0.08, h);
    cairo_line_to(cr, w * 0.08, h * 0.45);
    cairo_arc(cr, w / 2, h * 0.45, w * 0.42, kPi, 2 * kPi);
    cairo_line_to(cr, w * 0.92, h);
    cairo_close_path(cr);
    SetRgb(cr, stone);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_move_to(cr, w * 0.24, h);
    cairo_line_to(cr, w * 0.24, h * 0.5);
    cairo_arc(cr, w / 2, h * 0.5, w * 0.26, kPi, 2 * kPi);
    cairo_line_to(cr, w * 0.76, h);
    cairo_close_path(cr);
    cairo_pattern_t* light = cairo_pattern_create_linear(0, h * 0.25, 0, h);
    AddStop(light, 0, Lighten(glow, 0.7));
    AddStop(light, 1, glow);
    cairo_set_source(cr, light);
    cairo_fill(cr);
    cairo_pattern_destroy(light);
    return true;
}

// A level node of the boss map: a round badge with a flag.
bool LevelNode(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, r = std::min(w, h) / 2 - 2;
    const Rgb base = FromHex(s.colour);
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
    SetRgb(cr, base);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    SetRgb(cr, palette::kCream);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, w * 0.42, h * 0.72);
    cairo_line_to(cr, w * 0.42, h * 0.28);
    cairo_stroke(cr);
    cairo_move_to(cr, w * 0.42, h * 0.28);
    cairo_line_to(cr, w * 0.68, h * 0.36);
    cairo_line_to(cr, w * 0.42, h * 0.46);
    cairo_close_path(cr);
    cairo_fill(cr);
    return true;
}

// The FlimbMaster's crest: a shield with a crown.
bool Crest(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb base = FromHex(s.colour);
    cairo_move_to(cr, w * 0.12, h * 0.18);
    cairo_line_to(cr, w * 0.88, h * 0.18);
    cairo_curve_to(cr, w * 0.88, h * 0.6, w * 0.7, h * 0.85, w / 2, h * 0.97);
    cairo_curve_to(cr, w * 0.3, h * 0.85, w * 0.12, h * 0.6, w * 0.12, h * 0.18);
    cairo_close_path(cr);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, w, h);
    AddStop(shade, 0, Lighten(base, 0.3));
    AddStop(shade, 1, Darken(base, 0.4));
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    // Crown.
    cairo_move_to(cr, w * 0.3, h * 0.5);
    cairo_line_to(cr, w * 0.3, h * 0.32);
    cairo_line_to(cr, w * 0.4, h * 0.42);
    cairo_line_to(cr, w * 0.5, h * 0.28);
    cairo_line_to(cr, w * 0.6, h * 0.42);
    cairo_line_to(cr, w * 0.7, h * 0.32);
    cairo_line_to(cr, w * 0.7, h * 0.5);
    cairo_close_path(cr);
    SetRgb(cr, palette::kGold);
    cairo_fill(cr);
    return true;
}

} // namespace

void AddLevelLooks(LookTable& table)
{
    table["terrain-rock"] = Rock;
    table["terrain-ground"] = Ground;
    table["terrain-girder"] = Girder;
    table["trap-start"] = StartTank;
    table["trap-exit"] = ExitDoor;
    table["trap-level-node"] = LevelNode;
    table["trap-crest"] = Crest;
}

} // namespace artgen
