// Trap looks: the liquids (surfaces, gradient band, solid fill), the teleporter (base, arch,
// beam), the size gates and their flash, the anti-gravity ring, arrows and glow, the shock
// barrier (section, end pieces, lightning), the power-up orbs and the editor's trap icons.
// Animated looks cycle over their frame count so that the last frame leads back to the first.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"
#include "tools/artgen/PickupSymbols.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace artgen {
namespace {

// 0 .. 1 over the frames of the image.
double Phase(const ImageSpec& s, int frame)
{
    return s.frames > 1 ? double(frame) / s.frames : 0.0;
}

// A wavy liquid surface across the frame: a bright crest line over the liquid, the waves
// moving one wavelength over the frames. "back" draws the darker back surface.
bool LiquidSurface(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const bool back = s.part == "back";
    const Rgb liquid = back ? Darken(FromHex(s.colour), 0.35) : FromHex(s.colour);
    const double shift = Phase(s, frame) * 2 * kPi;
    auto crest = [&](double x) { return h * 0.5 + std::sin(x / w * 2 * kPi * 2 + shift) * h * 0.18; };
    cairo_move_to(cr, 0, crest(0));
    for (double x = 1; x <= w; x += 1)
        cairo_line_to(cr, x, crest(x));
    cairo_line_to(cr, w, h);
    cairo_line_to(cr, 0, h);
    cairo_close_path(cr);
    cairo_pattern_t* band = cairo_pattern_create_linear(0, h * 0.3, 0, h);
    AddStop(band, 0, Lighten(liquid, 0.35), back ? 0.8 : 0.9);
    AddStop(band, 1, liquid, back ? 0.8 : 0.9);
    cairo_set_source(cr, band);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    cairo_move_to(cr, 0, crest(0));
    for (double x = 1; x <= w; x += 1)
        cairo_line_to(cr, x, crest(x));
    SetRgb(cr, Lighten(liquid, 0.7), back ? 0.6 : 1.0);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    return true;
}

// The band under the surface: light at the top, the liquid's deep colour at the bottom.
bool LiquidGradient(cairo_t* cr, const ImageSpec& s, int)
{
    const Rgb liquid = FromHex(s.colour);
    cairo_rectangle(cr, 0, 0, s.frameWidth, s.frameHeight);
    cairo_pattern_t* band = cairo_pattern_create_linear(0, 0, 0, s.frameHeight);
    AddStop(band, 0, liquid, 0.9);
    AddStop(band, 1, Darken(liquid, 0.45), 0.95);
    cairo_set_source(cr, band);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    return true;
}

// The deep liquid: the band's bottom colour, flat.
bool LiquidSolid(cairo_t* cr, const ImageSpec& s, int)
{
    SetRgb(cr, Darken(FromHex(s.colour), 0.45), 0.95);
    cairo_rectangle(cr, 0, 0, s.frameWidth, s.frameHeight);
    cairo_fill(cr);
    return true;
}

// The teleporter's solid base: a steel plate with glowing studs.
bool TeleportBase(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    GlossyBody(cr, 1, 1, w - 2, h - 2, h * 0.3, FromHex(0x5d6470), State::Normal);
    const Rgb glow = FromHex(s.colour);
    for (int i = 1; i <= 4; ++i) {
        SetRgb(cr, Lighten(glow, 0.3));
        cairo_arc(cr, w * i / 5.0, h / 2, h * 0.16, 0, 2 * kPi);
        cairo_fill(cr);
    }
    return true;
}

// The arch over the pad: "back" the dim inner arch, "front" the rim in front of a flimb.
bool TeleportArch(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb glow = FromHex(s.colour);
    if (s.part == "back") {
        cairo_move_to(cr, w * 0.12, h);
        cairo_line_to(cr, w * 0.12, h * 0.45);
        cairo_arc(cr, w / 2, h * 0.45, w * 0.38, kPi, 2 * kPi);
        cairo_line_to(cr, w * 0.88, h);
        cairo_close_path(cr);
        cairo_pattern_t* inner = cairo_pattern_create_linear(0, 0, 0, h);
        AddStop(inner, 0, Darken(glow, 0.5), 0.85);
        AddStop(inner, 1, Lighten(glow, 0.2), 0.55);
        cairo_set_source(cr, inner);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(inner);
        SetRgb(cr, FromHex(0x3a3f48));
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
        return true;
    }
    // The front rim: two posts and a glowing lip.
    SetRgb(cr, FromHex(0x5d6470));
    RoundedRect(cr, 1, 0, w * 0.14, h, 3);
    cairo_fill(cr);
    RoundedRect(cr, w * 0.86 - 1, 0, w * 0.14, h, 3);
    cairo_fill(cr);
    SetRgb(cr, Lighten(glow, 0.4), 0.9);
    RoundedRect(cr, w * 0.1, h * 0.65, w * 0.8, h * 0.3, h * 0.12);
    cairo_fill(cr);
    return true;
}

// The teleporter's beam: sparkles rising through a glowing column.
bool TeleportBeam(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb glow = FromHex(s.colour);
    cairo_pattern_t* column = cairo_pattern_create_linear(0, 0, w, 0);
    AddStop(column, 0, glow, 0.0);
    AddStop(column, 0.5, Lighten(glow, 0.5), 0.45);
    AddStop(column, 1, glow, 0.0);
    cairo_rectangle(cr, w * 0.15, h * 0.1, w * 0.7, h * 0.9);
    cairo_set_source(cr, column);
    cairo_fill(cr);
    cairo_pattern_destroy(column);
    const double phase = Phase(s, frame);
    for (int i = 0; i < 6; ++i) {
        const double t = std::fmod(phase + i / 6.0, 1.0);
        const double x = w * (0.3 + 0.4 * std::fmod(i * 0.37, 1.0));
        const double y = h * (0.95 - 0.85 * t);
        SetRgb(cr, palette::kCream, 1.0 - t * 0.8);
        cairo_arc(cr, x, y, 1.5 + 1.5 * (1 - t), 0, 2 * kPi);
        cairo_fill(cr);
    }
    return true;
}

// An arrow from the centre towards a direction (0 down, 1 up, 2 left, 3 right).
void Arrow(cairo_t* cr, double cx, double cy, double length, int direction, double width)
{
    static const double dx[4] = {0, 0, -1, 1}, dy[4] = {1, -1, 0, 0};
    const double ex = cx + dx[direction] * length, ey = cy + dy[direction] * length;
    const double bx = cx - dx[direction] * length * 0.6, by = cy - dy[direction] * length * 0.6;
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, bx, by);
    cairo_line_to(cr, ex, ey);
    cairo_stroke(cr);
    const double px = -dy[direction], py = dx[direction];
    cairo_move_to(cr, ex + dx[direction] * width, ey + dy[direction] * width);
    cairo_line_to(cr, ex - dx[direction] * length * 0.5 + px * length * 0.45,
                  ey - dy[direction] * length * 0.5 + py * length * 0.45);
    cairo_line_to(cr, ex - dx[direction] * length * 0.5 - px * length * 0.45,
                  ey - dy[direction] * length * 0.5 - py * length * 0.45);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// The symbol of a power-up orb, by its part name.
void PickupSymbol(cairo_t* cr, const std::string& symbol, double cx, double cy, double r)
{
    SetRgb(cr, palette::kCream);
    if (symbol == "grow" || symbol == "shrink") {
        const bool grow = symbol == "grow";
        cairo_set_line_width(cr, r * 0.16);
        for (int corner = 0; corner < 4; ++corner) {
            const double sx = corner % 2 ? 1 : -1, sy = corner / 2 ? 1 : -1;
            const double inner = r * 0.2, outer = r * 0.62;
            const double from = grow ? inner : outer, to = grow ? outer : inner;
            cairo_move_to(cr, cx + sx * from, cy + sy * from);
            cairo_line_to(cr, cx + sx * to, cy + sy * to);
            cairo_stroke(cr);
            cairo_move_to(cr, cx + sx * to, cy + sy * to);
            cairo_line_to(cr, cx + sx * (to - (grow ? 1 : -1) * r * 0.25), cy + sy * to);
            cairo_line_to(cr, cx + sx * to, cy + sy * (to - (grow ? 1 : -1) * r * 0.25));
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        return;
    }
    if (symbol == "teleport") {
        cairo_set_line_width(cr, r * 0.14);
        for (int ring = 1; ring <= 3; ++ring) {
            cairo_arc(cr, cx, cy, r * 0.2 * ring, 0, 2 * kPi);
            cairo_stroke(cr);
        }
        return;
    }
    if (symbol.size() == 2 && symbol[0] == 'x' && symbol[1] >= '0' && symbol[1] <= '3') {
        Arrow(cr, cx, cy, r * 0.55, symbol[1] - '0', r * 0.18);
        return;
    }
    if (DrawScenicPickupSymbol(cr, symbol, cx, cy, r))
        return;
    // Two arrows: down and its partner.
    const int partner = symbol == "ud" ? 1 : symbol == "dl" ? 2 : 3;
    Arrow(cr, cx - r * 0.25, cy, r * 0.45, 0, r * 0.14);
    Arrow(cr, cx + r * 0.25, cy, r * 0.45, partner, r * 0.14);
}

// A glowing power-up orb with its symbol; it pulses over the frames ("float" parts bob).
bool PickupOrb(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const double phase = Phase(s, frame) * 2 * kPi;
    std::string symbol = s.part;
    const bool floating = symbol.rfind("float-", 0) == 0;
    if (floating)
        symbol = symbol.substr(6);
    const double bob = floating ? std::sin(phase) * h * 0.06 : -std::fabs(std::sin(phase)) * h * 0.08;
    const double r = std::min(w, h) * 0.38, cx = w / 2, cy = h / 2 + bob;
    const Rgb base = FromHex(s.colour);
    cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, r * 0.6, cx, cy, r * 1.3);
    AddStop(halo, 0, Lighten(base, 0.5), 0.6);
    AddStop(halo, 1, base, 0.0);
    cairo_set_source(cr, halo);
    cairo_arc(cr, cx, cy, r * 1.3, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(halo);
    cairo_pattern_t* ball = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, r / 6, cx, cy, r);
    AddStop(ball, 0, Lighten(base, 0.6));
    AddStop(ball, 1, Darken(base, 0.35));
    cairo_set_source(cr, ball);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(ball);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    PickupSymbol(cr, symbol, cx, cy, r);
    return true;
}

// A size gate half: part "<n>-front" or "<n>-back"; the digit picks the sizes shown on it
// (1 tiny/large, 2 normal/large, 3 tiny/normal): a small and a large chevron.
bool SizeGate(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const bool back = s.part.find("back") != std::string::npos;
    const int pair = s.part.empty() ? 1 : std::clamp(s.part[0] - '0', 1, 3);
    const Rgb frameColour = FromHex(s.colour);
    if (back) {
        RoundedRect(cr, w * 0.2, h * 0.02, w * 0.6, h * 0.96, w * 0.2);
        cairo_pattern_t* field = cairo_pattern_create_linear(0, 0, w, 0);
        AddStop(field, 0, frameColour, 0.15);
        AddStop(field, 0.5, Lighten(frameColour, 0.5), 0.5);
        AddStop(field, 1, frameColour, 0.15);
        cairo_set_source(cr, field);
        cairo_fill(cr);
        cairo_pattern_destroy(field);
        return true;
    }
    // Two pillars and a lintel; the chevrons read small -> large left to right.
    GlossyBody(cr, 1, h * 0.1, w * 0.18, h * 0.9 - 1, w * 0.06, frameColour, State::Normal);
    GlossyBody(cr, w * 0.82 - 1, h * 0.1, w * 0.18, h * 0.9 - 1, w * 0.06, frameColour, State::Normal);
    GlossyBody(cr, 1, 1, w - 2, h * 0.14, w * 0.06, Darken(frameColour, 0.2), State::Normal);
    const double small[3] = {0.35, 0.6, 0.35}, large[3] = {1.0, 1.0, 0.6};
    SetRgb(cr, palette::kCream);
    for (int side = 0; side < 2; ++side) {
        const double size = (side == 0 ? small : large)[pair - 1] * h * 0.08;
        const double cx = w * (side == 0 ? 0.38 : 0.62), cy = h * 0.075;
        cairo_move_to(cr, cx - size * 0.6, cy - size * 0.5);
        cairo_line_to(cr, cx + size * 0.6, cy);
        cairo_line_to(cr, cx - size * 0.6, cy + size * 0.5);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    return true;
}

// The flash of a size change: an expanding ring of light.
bool SizeFlash(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const double t = (frame + 1.0) / std::max(1, s.frames);
    const Rgb glow = FromHex(s.colour);
    cairo_save(cr);
    cairo_translate(cr, w / 2, h * 0.55);
    cairo_scale(cr, 1.0, h / w * 1.1);
    cairo_arc(cr, 0, 0, w * 0.45 * t, 0, 2 * kPi);
    cairo_restore(cr);
    SetRgb(cr, Lighten(glow, 0.5), 1.0 - t * 0.8);
    cairo_set_line_width(cr, 5 * (1.1 - t));
    cairo_stroke(cr);
    return true;
}

// The anti-gravity ring: a turning ring of segments around a dark core.
bool GravityRing(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2, r = std::min(w, h) / 2 - 3;
    const Rgb base = FromHex(s.colour);
    cairo_arc(cr, cx, cy, r * 0.55, 0, 2 * kPi);
    SetRgb(cr, Darken(base, 0.6), 0.8);
    cairo_fill(cr);
    const double turn = Phase(s, frame) * 2 * kPi / 6;
    cairo_set_line_width(cr, r * 0.28);
    for (int i = 0; i < 6; ++i) {
        const double a = turn + i * 2 * kPi / 6;
        cairo_arc(cr, cx, cy, r * 0.82, a, a + 2 * kPi / 6 * 0.7);
        SetRgb(cr, i % 2 ? base : Lighten(base, 0.45));
        cairo_stroke(cr);
    }
    return true;
}

// The light of a rule: a small bright arrow head pointing down (turned when drawn).
bool GravityLight(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    SetRgb(cr, Lighten(FromHex(s.colour), 0.6));
    cairo_move_to(cr, w * 0.15, h * 0.25);
    cairo_line_to(cr, w * 0.85, h * 0.25);
    cairo_line_to(cr, w * 0.5, h * 0.85);
    cairo_close_path(cr);
    cairo_fill(cr);
    return true;
}

// A soft radial glow with a few spokes (it turns as it fades).
bool GravityGlow(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2, r = std::min(w, h) / 2;
    const Rgb base = FromHex(s.colour);
    cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    AddStop(glow, 0, Lighten(base, 0.7), 0.9);
    AddStop(glow, 1, base, 0.0);
    cairo_set_source(cr, glow);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    SetRgb(cr, palette::kCream, 0.5);
    cairo_set_line_width(cr, 2);
    for (int i = 0; i < 4; ++i) {
        const double a = i * kPi / 2 + kPi / 4;
        cairo_move_to(cr, cx + std::cos(a) * r * 0.3, cy + std::sin(a) * r * 0.3);
        cairo_line_to(cr, cx + std::cos(a) * r * 0.85, cy + std::sin(a) * r * 0.85);
        cairo_stroke(cr);
    }
    return true;
}

// One section of the shock barrier: two electrode rails with a crackle between them,
// drawn inside a transparent margin (the section length comes from the opaque part).
bool ShockSection(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const double top = h * 0.15, bottom = h * 0.85;
    const Rgb rail = FromHex(0x6a7080);
    const Rgb spark = FromHex(s.colour);
    for (double x : {w * 0.22, w * 0.7}) {
        cairo_rectangle(cr, x, top, w * 0.08, bottom - top);
        SetRgb(cr, rail);
        cairo_fill(cr);
    }
    SetRgb(cr, Lighten(spark, 0.2), 0.55);
    cairo_set_line_width(cr, 1.5);
    cairo_move_to(cr, w * 0.3, top + 2);
    for (int i = 1; i <= 6; ++i)
        cairo_line_to(cr, i % 2 ? w * 0.65 : w * 0.35, top + (bottom - top) * i / 6.0 - 1);
    cairo_stroke(cr);
    return true;
}

// An end piece of the barrier: a round insulator cap ("top" opens downwards, "bottom"
// upwards).
bool ShockEnd(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const bool top = s.part == "top";
    const Rgb body = FromHex(s.colour);
    const double y = top ? h * 0.1 : h * 0.05;
    GlossyBody(cr, w * 0.1, y, w * 0.8, h * 0.85, h * 0.3, body, State::Normal);
    SetRgb(cr, palette::kGold);
    for (int i = 0; i < 3; ++i) {
        cairo_arc(cr, w * (0.3 + 0.2 * i), y + h * 0.42, h * 0.12, 0, 2 * kPi);
        cairo_fill(cr);
    }
    return true;
}

// Lightning down the section: a jagged bolt that changes shape with each frame.
bool ShockZap(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb spark = FromHex(s.colour);
    auto jag = [&](int i) {
        uint32_t x = uint32_t(i * 2654435761u) ^ uint32_t((frame + 1) * 40503u);
        x ^= x >> 13;
        x *= 0x5bd1e995u;
        return double(x % 1000u) / 1000.0;
    };
    for (int pass = 0; pass < 2; ++pass) {
        cairo_move_to(cr, w / 2, 0);
        for (int i = 1; i <= 8; ++i)
            cairo_line_to(cr, w * (0.25 + 0.5 * jag(i)), h * i / 8.0);
        if (pass == 0) {
            SetRgb(cr, spark, 0.5);
            cairo_set_line_width(cr, 5);
        } else {
            SetRgb(cr, palette::kCream);
            cairo_set_line_width(cr, 1.5);
        }
        cairo_stroke(cr);
    }
    return true;
}

// An editor palette icon: a rounded tile in the kind's colour with its emblem.
bool TrapIcon(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2, r = std::min(w, h) / 2;
    const Rgb base = FromHex(s.colour);
    GlossyBody(cr, 2, 2, w - 4, h - 4, r * 0.3, Darken(base, 0.25), State::Normal);
    SetRgb(cr, palette::kCream);
    if (s.part == "water") {
        cairo_move_to(cr, cx, cy - r * 0.55);
        cairo_curve_to(cr, cx + r * 0.5, cy, cx + r * 0.4, cy + r * 0.5, cx, cy + r * 0.5);
        cairo_curve_to(cr, cx - r * 0.4, cy + r * 0.5, cx - r * 0.5, cy, cx, cy - r * 0.55);
        cairo_fill(cr);
    } else if (s.part == "teleport") {
        PickupSymbol(cr, "teleport", cx, cy, r);
    } else if (s.part == "size") {
        PickupSymbol(cr, "grow", cx, cy, r);
    } else if (s.part == "antigrav") {
        PickupSymbol(cr, "ud", cx, cy, r);
    } else if (s.part == "shock") {
        cairo_move_to(cr, cx + r * 0.15, cy - r * 0.6);
        cairo_line_to(cr, cx - r * 0.3, cy + r * 0.08);
        cairo_line_to(cr, cx, cy + r * 0.08);
        cairo_line_to(cr, cx - r * 0.15, cy + r * 0.6);
        cairo_line_to(cr, cx + r * 0.3, cy - r * 0.08);
        cairo_line_to(cr, cx, cy - r * 0.08);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else {
        return false;
    }
    return true;
}

} // namespace

void AddTrapLooks(LookTable& table)
{
    table["trap-liquid-surface"] = LiquidSurface;
    table["trap-liquid-gradient"] = LiquidGradient;
    table["trap-liquid-solid"] = LiquidSolid;
    table["trap-teleport-base"] = TeleportBase;
    table["trap-teleport-arch"] = TeleportArch;
    table["trap-teleport-beam"] = TeleportBeam;
    table["trap-pickup"] = PickupOrb;
    table["trap-size-gate"] = SizeGate;
    table["trap-size-flash"] = SizeFlash;
    table["trap-gravity-ring"] = GravityRing;
    table["trap-gravity-light"] = GravityLight;
    table["trap-gravity-glow"] = GravityGlow;
    table["trap-shock-section"] = ShockSection;
    table["trap-shock-end"] = ShockEnd;
    table["trap-shock-zap"] = ShockZap;
    table["trap-icon"] = TrapIcon;
}

} // namespace artgen
