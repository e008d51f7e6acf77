// Manned-device and moving-land looks: the freezer turret (base, barrel, muzzle flash and the
// control strip under it), the hover platform (base, rings, fuel bar and its dot, glow), the
// goo gun, the modify-land trigger area and the solid slabs that moving land is made of.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

// The turret's base: a riveted dome on a wide foot, its bottom two rows above the frame's
// bottom (the hot spot's row); part "fire" gives it an ember band.
bool BlasterBase(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb body = FromHex(s.colour);
    RoundedRect(cr, 2, h - 12, w - 4, 10, 3);
    SetRgb(cr, Darken(body, 0.45));
    cairo_fill(cr);
    cairo_arc(cr, w / 2, h - 12, w * 0.36, kPi, 2 * kPi);
    cairo_close_path(cr);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, h * 0.2, 0, h - 12);
    AddStop(shade, 0, Lighten(body, 0.35));
    AddStop(shade, 1, Darken(body, 0.2));
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    const Rgb band = s.part == "fire" ? FromHex(0xff7a1a) : FromHex(0x9fe8ff);
    cairo_rectangle(cr, w * 0.2, h - 18, w * 0.6, 3);
    SetRgb(cr, band);
    cairo_fill(cr);
    SetRgb(cr, palette::kCream);
    for (int i = 0; i < 4; ++i) {
        cairo_arc(cr, 8 + i * (w - 16) / 3, h - 7, 1.3, 0, 2 * kPi);
        cairo_fill(cr);
    }
    return true;
}

// The barrel, pointing up from its pivot hub (eight rows above the frame's bottom).
bool BlasterBarrel(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb metal = FromHex(s.colour);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, w, 0);
    AddStop(shade, 0, Darken(metal, 0.4));
    AddStop(shade, 0.45, Lighten(metal, 0.4));
    AddStop(shade, 1, Darken(metal, 0.5));
    cairo_set_source(cr, shade);
    cairo_rectangle(cr, w * 0.3, 4, w * 0.4, h - 14);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    RoundedRect(cr, w * 0.15, 0, w * 0.7, 10, 2);
    SetRgb(cr, Darken(metal, 0.3));
    cairo_fill(cr);
    cairo_arc(cr, w / 2, h - 8, w * 0.45, 0, 2 * kPi);
    SetRgb(cr, Darken(metal, 0.55));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return true;
}

// The muzzle flash, pointing right from its hot spot, fading over the frames.
bool BlasterZap(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const double t = double(frame) / std::max(1, s.frames - 1);
    const Rgb glow = FromHex(s.colour);
    const double reach = w * (0.5 + 0.45 * (1 - t));
    cairo_pattern_t* flash = cairo_pattern_create_radial(8, h / 2, 1, 8, h / 2, reach);
    cairo_pattern_add_color_stop_rgba(flash, 0, 1, 1, 1, 0.95 * (1 - t * 0.7));
    AddStop(flash, 0.4, glow, 0.8 * (1 - t));
    AddStop(flash, 1, glow, 0);
    cairo_set_source(cr, flash);
    cairo_move_to(cr, 8, h / 2 - h * 0.4);
    cairo_line_to(cr, 8 + reach, h / 2);
    cairo_line_to(cr, 8, h / 2 + h * 0.4);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_pattern_destroy(flash);
    return true;
}

// A small arrow (or bar) glyph centred on (cx, cy).
void Glyph(cairo_t* cr, double cx, double cy, int kind, Rgb colour)
{
    SetRgb(cr, colour);
    switch (kind) {
    case 0: // turn left
        cairo_move_to(cr, cx - 6, cy);
        cairo_line_to(cr, cx + 4, cy - 6);
        cairo_line_to(cr, cx + 4, cy + 6);
        break;
    case 3: // turn right
        cairo_move_to(cr, cx + 6, cy);
        cairo_line_to(cr, cx - 4, cy - 6);
        cairo_line_to(cr, cx - 4, cy + 6);
        break;
    case 1: // fire: a star
        for (int i = 0; i < 10; ++i) {
            const double a = -kPi / 2 + i * kPi / 5, r = (i % 2) ? 3.0 : 7.0;
            if (i == 0)
                cairo_move_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
            else
                cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
        }
        break;
    default: // eject: an arrow up over a bar
        cairo_rectangle(cr, cx - 6, cy + 4, 12, 2);
        cairo_fill(cr);
        cairo_move_to(cr, cx, cy - 7);
        cairo_line_to(cr, cx + 6, cy + 1);
        cairo_line_to(cr, cx - 6, cy + 1);
        break;
    }
    cairo_close_path(cr);
    cairo_fill(cr);
}

// The control strip under the turret: turn left, fire, eject, turn right.
bool BlasterControls(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, cell = w / 4;
    const Rgb base = FromHex(s.colour);
    for (int i = 0; i < 4; ++i) {
        RoundedRect(cr, i * cell + 1, 1, cell - 2, h - 2, 4);
        SetRgb(cr, i == 1 ? Darken(FromHex(0xc0392b), 0.1) : Darken(base, 0.35), 0.9);
        cairo_fill_preserve(cr);
        SetRgb(cr, palette::kGold);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        Glyph(cr, i * cell + cell / 2, h / 2, i, palette::kCream);
    }
    return true;
}

// The hover platform: a glass dome over a disc with two thrusters; the disc's top is the
// hot spot's row (where the rider stands).
bool HoverBase(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, deck = h * 0.75;
    const Rgb body = FromHex(s.colour);
    cairo_save(cr);
    cairo_translate(cr, w / 2, deck - 2);
    cairo_scale(cr, w * 0.34, deck * 0.7);
    cairo_arc(cr, 0, 0, 1, kPi, 2 * kPi);
    cairo_restore(cr);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0.7, 0.9, 1.0, 0.22);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0.85, 0.95, 1.0, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    RoundedRect(cr, 1, deck, w - 2, 7, 3);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, deck, 0, deck + 7);
    AddStop(shade, 0, Lighten(body, 0.4));
    AddStop(shade, 1, Darken(body, 0.35));
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    SetRgb(cr, Darken(body, 0.5));
    for (int side = 0; side < 2; ++side) {
        const double tx = side ? w * 0.72 : w * 0.18;
        cairo_rectangle(cr, tx, deck + 7, w * 0.1, h - deck - 8);
        cairo_fill(cr);
    }
    return true;
}

// The hover's rings: an ellipse of light turning with the frame; the back half behind the
// platform, the front half before it.
bool HoverRing(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const bool front = s.part == "front";
    const Rgb light = FromHex(s.colour);
    cairo_save(cr);
    cairo_translate(cr, w / 2, h / 2);
    cairo_scale(cr, w / 2 - 2, h / 2 - 2);
    cairo_arc(cr, 0, 0, 1, front ? 0 : kPi, front ? kPi : 2 * kPi);
    cairo_restore(cr);
    SetRgb(cr, light, front ? 0.85 : 0.5);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    const double a = (front ? 0.0 : kPi) + kPi * (double(frame) + 0.5) / std::max(1, s.frames);
    cairo_arc(cr, w / 2 + std::cos(a) * (w / 2 - 2), h / 2 + std::sin(a) * (h / 2 - 2), 2.5, 0, 2 * kPi);
    SetRgb(cr, palette::kCream);
    cairo_fill(cr);
    return true;
}

// The fuel gauge's frame: a narrow upright tube.
bool HoverBar(cairo_t* cr, const ImageSpec& s, int)
{
    RoundedRect(cr, 0.5, 0.5, s.frameWidth - 1, s.frameHeight - 1, 2);
    SetRgb(cr, palette::kShade, 0.7);
    cairo_fill_preserve(cr);
    SetRgb(cr, FromHex(s.colour));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return true;
}

// A soft round light (the gauge's dot and the engine glow).
bool SoftDot(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, r = std::min(w, h) / 2;
    cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2, h / 2, 0, w / 2, h / 2, r);
    AddStop(glow, 0, palette::kCream, 1);
    AddStop(glow, 0.4, FromHex(s.colour), 0.8);
    AddStop(glow, 1, FromHex(s.colour), 0);
    cairo_set_source(cr, glow);
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    return true;
}

// The goo gun: a chunky green pistol pointing right, a tank on top.
bool GooGun(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb goo = FromHex(s.colour);
    RoundedRect(cr, w * 0.15, h * 0.3, w * 0.75, h * 0.35, 2);
    SetRgb(cr, palette::kDisabled);
    cairo_fill(cr);
    cairo_rectangle(cr, w * 0.85, h * 0.36, w * 0.13, h * 0.22);
    SetRgb(cr, Darken(goo, 0.4));
    cairo_fill(cr);
    cairo_rectangle(cr, w * 0.2, h * 0.6, w * 0.16, h * 0.38);
    SetRgb(cr, palette::kInk);
    cairo_fill(cr);
    cairo_arc(cr, w * 0.5, h * 0.25, h * 0.2, 0, 2 * kPi);
    SetRgb(cr, goo);
    cairo_fill_preserve(cr);
    SetRgb(cr, Darken(goo, 0.5));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return true;
}

// The modify-land trigger area (drawn only in god mode and the editor): a dashed frame with
// arrows crossing it.
bool ModifyLandArea(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb colour = FromHex(s.colour);
    RoundedRect(cr, 1.5, 1.5, w - 3, h - 3, 3);
    SetRgb(cr, colour, 0.25);
    cairo_fill_preserve(cr);
    const double dashes[] = {3.0, 2.0};
    cairo_set_dash(cr, dashes, 2, 0);
    SetRgb(cr, colour);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    SetRgb(cr, palette::kCream);
    cairo_move_to(cr, w * 0.2, h * 0.7);
    cairo_line_to(cr, w * 0.7, h * 0.2);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_move_to(cr, w * 0.78, h * 0.12);
    cairo_line_to(cr, w * 0.5, h * 0.2);
    cairo_line_to(cr, w * 0.7, h * 0.42);
    cairo_close_path(cr);
    cairo_fill(cr);
    return true;
}

// A moving-land piece: a fully opaque slab of riveted metal (every pixel solid, so that it
// stamps as a whole rectangle).
bool TerrainSlab(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb metal = FromHex(s.colour);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(shade, 0, Lighten(metal, 0.3));
    AddStop(shade, 1, Darken(metal, 0.35));
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    SetRgb(cr, Darken(metal, 0.55));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    SetRgb(cr, palette::kCream, 0.8);
    for (double x = 6; x < w - 3; x += 16)
        for (double y = 5; y < h - 3; y += 16) {
            cairo_arc(cr, x, y, 1.4, 0, 2 * kPi);
            cairo_fill(cr);
        }
    return true;
}

} // namespace

void AddDeviceTrapLooks(LookTable& table)
{
    table["trap-blaster-base"] = BlasterBase;
    table["trap-blaster-barrel"] = BlasterBarrel;
    table["trap-blaster-zap"] = BlasterZap;
    table["trap-blaster-controls"] = BlasterControls;
    table["trap-hover-base"] = HoverBase;
    table["trap-hover-ring"] = HoverRing;
    table["trap-hover-bar"] = HoverBar;
    table["trap-soft-dot"] = SoftDot;
    table["trap-googun"] = GooGun;
    table["trap-modifyland-area"] = ModifyLandArea;
    table["terrain-slab"] = TerrainSlab;
}

} // namespace artgen
