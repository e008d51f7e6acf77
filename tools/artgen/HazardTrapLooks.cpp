// Hazard trap looks: the breakable bridge (whole to broken), the sling-shot and its gust,
// the mush-bomb and its ring, the acid-rain nozzle and bubbles, the swap ball with its front,
// back and pickups, the squish crusher, and the kinds' editor icons.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace artgen {
namespace {

// A fixed hash: the same picture on every build.
double Hash01(int i, int seed)
{
    uint32_t x = static_cast<uint32_t>(i) * 2654435761u ^ static_cast<uint32_t>(seed) * 40503u;
    x ^= x >> 13;
    x *= 0x5bd1e995u;
    x ^= x >> 15;
    return double(x % 1000u) / 1000.0;
}

// One bridge section: a plank deck whose top lies 13 pixels above the centre, on two rails.
// Later frames lose planks (each at its own frame) and sag, the last is gone.
bool Bridge(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const double top = h / 2 - 13, deck = 7;
    const int planks = 6;
    const double plankW = w / planks;
    const double broken = double(frame) / std::max(1, s.frames - 1);
    const Rgb wood = FromHex(s.colour);
    for (int i = 0; i < planks; ++i) {
        const double goneAt = 0.15 + 0.8 * Hash01(i, 3);
        if (frame > 0 && broken >= goneAt)
            continue;
        const double sag = frame > 0 ? broken * 10 * Hash01(i, 9) : 0;
        const double tilt = frame > 0 ? (Hash01(i, 5) - 0.5) * broken * 0.6 : 0;
        cairo_save(cr);
        cairo_translate(cr, i * plankW + plankW / 2, top + deck / 2 + sag);
        cairo_rotate(cr, tilt);
        cairo_rectangle(cr, -plankW / 2 + 0.5, -deck / 2, plankW - 1, deck);
        SetRgb(cr, Mix(wood, palette::kCream, 0.1 * Hash01(i, 1)));
        cairo_fill_preserve(cr);
        SetRgb(cr, Darken(wood, 0.5));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    if (broken < 0.5) {
        SetRgb(cr, Darken(wood, 0.35));
        cairo_set_line_width(cr, 2);
        for (int side = 0; side < 2; ++side) {
            cairo_move_to(cr, side ? w * 0.55 : 0, top + deck + 2 + broken * 8);
            cairo_line_to(cr, side ? w : w * 0.45, top + deck + 2 + broken * 8 * (1 - side));
            cairo_stroke(cr);
        }
    }
    return true;
}

// A forked sling pointing to the upper right (it is drawn turned by rotation - 45).
bool Sling(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb base = FromHex(s.colour);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetRgb(cr, Darken(base, 0.3));
    cairo_set_line_width(cr, w * 0.12);
    cairo_move_to(cr, w * 0.22, h * 0.78);
    cairo_line_to(cr, w * 0.5, h * 0.5);
    cairo_stroke(cr);
    cairo_set_line_width(cr, w * 0.09);
    cairo_move_to(cr, w * 0.5, h * 0.5);
    cairo_line_to(cr, w * 0.48, h * 0.2);
    cairo_move_to(cr, w * 0.5, h * 0.5);
    cairo_line_to(cr, w * 0.8, h * 0.52);
    cairo_stroke(cr);
    const double pull = 0.05 * (frame % 4);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, w * 0.48, h * 0.2);
    cairo_line_to(cr, w * (0.58 - pull), h * (0.42 + pull));
    cairo_line_to(cr, w * 0.8, h * 0.52);
    cairo_stroke(cr);
    return true;
}

// Wind streaks blowing up and to the right, fading with the frame.
bool Gust(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const double t = double(frame) / std::max(1, s.frames - 1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2.5);
    for (int i = 0; i < 4; ++i) {
        const double off = (i - 1.5) * w * 0.12;
        const double from = 0.2 + t * 0.4;
        SetRgb(cr, palette::kCream, 0.85 * (1 - t));
        cairo_move_to(cr, w * from + off, h * (1 - from) + off);
        cairo_line_to(cr, w * (from + 0.3) + off, h * (0.7 - from) + off);
        cairo_stroke(cr);
    }
    return true;
}

// A round mushroom bomb with a spotted cap and a fuse, pulsing.
bool Mushbomb(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, r = std::min(w, h) * 0.42;
    const Rgb base = FromHex(s.colour);
    const double pulse = 1.0 + 0.04 * std::sin(frame * kPi / 4);
    cairo_arc(cr, w / 2, h * 0.55, r * pulse, 0, 2 * kPi);
    cairo_pattern_t* shade = cairo_pattern_create_radial(w * 0.4, h * 0.4, 1, w / 2, h * 0.55, r);
    AddStop(shade, 0, Lighten(base, 0.4));
    AddStop(shade, 1, Darken(base, 0.4));
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    SetRgb(cr, palette::kCream);
    for (int i = 0; i < 5; ++i) {
        const double a = 2 * kPi * Hash01(i, 11), d = r * 0.6 * Hash01(i, 12);
        cairo_arc(cr, w / 2 + std::cos(a) * d, h * 0.55 + std::sin(a) * d, r * 0.15, 0, 2 * kPi);
        cairo_fill(cr);
    }
    SetRgb(cr, (frame & 1) ? palette::kGold : palette::kCream);
    cairo_arc(cr, w / 2, h * 0.55 - r - 2, 2.5, 0, 2 * kPi);
    cairo_fill(cr);
    return true;
}

// The blast ring: a soft band bright at its outer edge, white so the tint colours it.
bool MushbombRing(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, r = std::min(w, h) / 2;
    cairo_pattern_t* ring = cairo_pattern_create_radial(w / 2, h / 2, r * 0.6, w / 2, h / 2, r);
    cairo_pattern_add_color_stop_rgba(ring, 0, 1, 1, 1, 0);
    cairo_pattern_add_color_stop_rgba(ring, 0.8, 1, 1, 1, 0.8);
    cairo_pattern_add_color_stop_rgba(ring, 1, 1, 1, 1, 0);
    cairo_set_source(cr, ring);
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(ring);
    return true;
}

// The acid-rain cloud-nozzle: a grey cloud with a spout pointing down.
bool AcidNozzle(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb base = FromHex(s.colour);
    for (int i = 0; i < 5; ++i) {
        cairo_arc(cr, w * (0.2 + 0.15 * i), h * (0.4 + 0.08 * (i % 2)), w * 0.17, 0, 2 * kPi);
        SetRgb(cr, Mix(base, palette::kCream, 0.15 * (i % 2)));
        cairo_fill(cr);
    }
    cairo_rectangle(cr, w * 0.42, h * 0.55, w * 0.16, h * 0.35);
    SetRgb(cr, Darken(base, 0.4));
    cairo_fill(cr);
    return true;
}

// Green acid bubbles rising inside the cloud, one step per frame.
bool AcidBubbles(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    for (int i = 0; i < 6; ++i) {
        const double rise = std::fmod(Hash01(i, 21) + double(frame) / std::max(1, s.frames), 1.0);
        const double bx = w * (0.2 + 0.6 * Hash01(i, 22)), by = h * (0.7 - 0.5 * rise);
        SetRgb(cr, FromHex(s.colour), 0.9 - 0.6 * rise);
        cairo_arc(cr, bx, by, 1.5 + 2.5 * Hash01(i, 23), 0, 2 * kPi);
        cairo_fill(cr);
    }
    return true;
}

// A white glowing ball (the tint colours it), its glow turning with the frame.
bool SwapBall(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, r = std::min(w, h) / 2 - 1;
    cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2, h / 2, 0, w / 2, h / 2, r);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1, 1, 1, 1);
    cairo_pattern_add_color_stop_rgba(glow, 0.55, 0.85, 0.85, 0.85, 0.9);
    cairo_pattern_add_color_stop_rgba(glow, 1, 0.6, 0.6, 0.6, 0);
    cairo_set_source(cr, glow);
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    const double a = frame * kPi / 8;
    SetRgb(cr, palette::kCream, 0.9);
    cairo_arc(cr, w / 2 + std::cos(a) * r * 0.5, h / 2 + std::sin(a) * r * 0.5, r * 0.12, 0, 2 * kPi);
    cairo_fill(cr);
    return true;
}

// The swap's cage: two arrows chasing round the ball (front) or a dark ring (back).
bool SwapCage(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, r = std::min(w, h) / 2 - 3;
    const bool front = s.part == "front";
    cairo_set_line_width(cr, front ? 3 : 6);
    if (!front) {
        SetRgb(cr, palette::kShade, 0.7);
        cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
        cairo_stroke(cr);
        return true;
    }
    SetRgb(cr, palette::kGold);
    for (int i = 0; i < 2; ++i) {
        const double a0 = i * kPi + 0.3, a1 = a0 + kPi - 0.8;
        cairo_arc(cr, w / 2, h / 2, r, a0, a1);
        cairo_stroke(cr);
        const double tx = w / 2 + std::cos(a1) * r, ty = h / 2 + std::sin(a1) * r;
        cairo_move_to(cr, tx + std::cos(a1) * 5, ty + std::sin(a1) * 5);
        cairo_line_to(cr, tx - std::cos(a1) * 5, ty - std::sin(a1) * 5);
        cairo_line_to(cr, tx - std::sin(a1) * 6, ty + std::cos(a1) * 6);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    return true;
}

// The crusher: a block on a piston that drops in the middle frames (lowest at frame 4).
bool Squish(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb base = FromHex(s.colour);
    const int half = std::max(1, s.frames / 2);
    const double drop = 1.0 - std::abs(double(frame - 4)) / std::max(4, half);
    const double reach = std::max(0.0, drop) * h * 0.45;
    cairo_rectangle(cr, w * 0.1, 0, w * 0.8, h * 0.14);
    SetRgb(cr, Darken(base, 0.4));
    cairo_fill(cr);
    cairo_rectangle(cr, w * 0.44, h * 0.14, w * 0.12, h * 0.12 + reach);
    SetRgb(cr, palette::kDisabled);
    cairo_fill(cr);
    cairo_rectangle(cr, w * 0.15, h * 0.26 + reach, w * 0.7, h * 0.24);
    SetRgb(cr, base);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    return true;
}

// An editor icon: a rounded tile with the look named by the part drawn inside it.
bool Icon(cairo_t* cr, const ImageSpec& s, int)
{
    RoundedRect(cr, 1, 1, s.frameWidth - 2, s.frameHeight - 2, 5);
    SetRgb(cr, palette::kShade, 0.85);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    ImageSpec inner = s;
    inner.look = s.part;
    inner.part.clear();
    inner.frames = 1;
    return DrawFrame(cr, inner, 0);
}

} // namespace

void AddHazardTrapLooks(LookTable& table)
{
    table["trap-bridge"] = Bridge;
    table["trap-sling"] = Sling;
    table["trap-gust"] = Gust;
    table["trap-mushbomb"] = Mushbomb;
    table["trap-mushbomb-ring"] = MushbombRing;
    table["trap-acidrain"] = AcidNozzle;
    table["trap-bubbles"] = AcidBubbles;
    table["trap-swap-ball"] = SwapBall;
    table["trap-swap-cage"] = SwapCage;
    table["trap-squish"] = Squish;
    table["hazard-trap-icon"] = Icon;
}

} // namespace artgen
