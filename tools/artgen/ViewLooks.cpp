// Looks of the game view's overlays: the health bars (a frame per group and the fills
// shown in proportion to a flimb's energy), the action triangle and star over marked
// flimbs, the minimap's flimb icons, its zoom border, the dig tool's brush and the small
// win badge shown instead of the minimap.
#include "tools/artgen/Paint.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace artgen {
namespace {

// A health bar frame of the group colour with two dark wells: blocks on top, bar below.
// The wells lie where the game draws the fills: (4, 2) and (4, 13), 45 pixels wide.
bool HealthBar(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb base = FromHex(s.colour);
    if (s.part == "frame") {
        RoundedRect(cr, 0.75, 0.75, w - 1.5, h - 1.5, 4);
        cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, h);
        AddStop(body, 0, Lighten(base, 0.3));
        AddStop(body, 1, Darken(base, 0.35));
        cairo_set_source(cr, body);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(body);
        SetRgb(cr, palette::kInk, 0.95);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        for (const double top : {2.0, 13.0}) {
            cairo_rectangle(cr, 4, top, w - 8, top < 10 ? 9 : 7);
            SetRgb(cr, palette::kShade, 0.85);
            cairo_fill(cr);
        }
        return true;
    }
    const bool full = s.part == "bar-full" || s.part == "blocks-full";
    const bool blocks = s.part.rfind("blocks", 0) == 0;
    if (!full && s.part != "bar-empty" && s.part != "blocks-empty")
        return false;
    const Rgb fill = full ? base : Darken(base, 0.7);
    if (blocks) {
        constexpr int kBlocks = 9;
        const double cell = w / kBlocks;
        for (int i = 0; i < kBlocks; ++i)
            cairo_rectangle(cr, i * cell + 0.5, 0.5, cell - 1.5, h - 1);
    } else {
        cairo_rectangle(cr, 0, 0, w, h);
    }
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(shade, 0, Lighten(fill, full ? 0.45 : 0.1));
    AddStop(shade, 1, fill);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    return true;
}

// A triangle pointing down at the flimb below it (the hot spot is its tip).
bool ActionTriangle(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    cairo_move_to(cr, 2, 2);
    cairo_line_to(cr, w - 2, 2);
    cairo_line_to(cr, w / 2, h - 2);
    cairo_close_path(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(body, 0, Lighten(FromHex(s.colour), 0.4));
    AddStop(body, 1, FromHex(s.colour));
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    SetRgb(cr, palette::kInk, 0.9);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    return true;
}

// A five-pointed star.
bool ActionStar(cairo_t* cr, const ImageSpec& s, int)
{
    const double cx = s.frameWidth / 2.0, cy = s.frameHeight / 2.0;
    const double outer = std::min(cx, cy) - 1.5, inner = outer * 0.45;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? inner : outer;
        const double a = -kPi / 2 + i * kPi / 5;
        if (i == 0)
            cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk, 0.9);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    return true;
}

// A flimb on the minimap: a round head of the group colour with a nose to its right, so
// that the icon shows which way the flimb walks.
bool MinimapFlimb(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    cairo_arc(cr, w * 0.45, h / 2, std::min(w, h) * 0.38, 0, 2 * kPi);
    cairo_move_to(cr, w * 0.7, h * 0.3);
    cairo_line_to(cr, w - 0.5, h / 2);
    cairo_line_to(cr, w * 0.7, h * 0.7);
    cairo_close_path(cr);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk, 0.9);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    return true;
}

// The rectangle of the minimap that the game view shows: a bright rim around an even
// fill (the game draws the fill faintly), cut in thirds.
bool ZoomBorder(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    SetRgb(cr, FromHex(s.colour));
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    SetRgb(cr, palette::kInk, 0.8);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    SetRgb(cr, palette::kCream);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return true;
}

// The dig tool's brush: an opaque disc with a soft rim.
bool DigBrush(cairo_t* cr, const ImageSpec& s, int)
{
    const double cx = s.frameWidth / 2.0, cy = s.frameHeight / 2.0;
    cairo_arc(cr, cx, cy, std::min(cx, cy) - 0.5, 0, 2 * kPi);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill(cr);
    return true;
}

// A gold medal on a ribbon with a laurel of dots: the level's champion badge.
bool WinBadge(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const double cx = w / 2, cy = h * 0.6, r = std::min(w, h) * 0.3;
    cairo_move_to(cr, cx - r * 0.9, 0);
    cairo_line_to(cr, cx - r * 0.1, cy - r * 0.6);
    cairo_line_to(cr, cx + r * 0.1, cy - r * 0.6);
    cairo_line_to(cr, cx + r * 0.9, 0);
    cairo_close_path(cr);
    SetRgb(cr, FromHex(0x2f6fd6));
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_pattern_t* gold = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, r * 0.1, cx, cy, r);
    AddStop(gold, 0, Lighten(FromHex(s.colour), 0.5));
    AddStop(gold, 1, Darken(FromHex(s.colour), 0.2));
    cairo_set_source(cr, gold);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(gold);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    for (int i = 0; i < 12; ++i) {
        const double a = kPi * (0.15 + 0.7 * i / 11.0);
        for (const double side : {-1.0, 1.0}) {
            cairo_arc(cr, cx + side * (r * 1.35) * std::cos(a), cy + (r * 1.35) * std::sin(a) - r * 0.3, r * 0.1, 0,
                      2 * kPi);
            SetRgb(cr, FromHex(0x5aa34a));
            cairo_fill(cr);
        }
    }
    return true;
}

} // namespace

void AddViewLooks(LookTable& table)
{
    table["health-bar"] = HealthBar;
    table["action-triangle"] = ActionTriangle;
    table["action-star"] = ActionStar;
    table["minimap-flimb"] = MinimapFlimb;
    table["zoom-border"] = ZoomBorder;
    table["dig-brush"] = DigBrush;
    table["win-badge"] = WinBadge;
}

} // namespace artgen
