// Flimb looks: the creature in every pose its types need, in its group's colour, and the
// markers drawn over it.
//
// A flimb frame is 32 x 48 with the feet on row 46 (the hot spot 16, 46): an egg-shaped body
// with big eyes that look the way it walks (right; the game mirrors it), two stubby feet,
// and what its work needs (a pick, a brick, a drill, an umbrella ...). Frames animate by
// phase t = frame / frames.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace artgen {
namespace {

constexpr double kFeetY = 46.0;

struct Pose {
    double cx = 16.0;        // body centre x
    double bottom = 44.0;    // lowest point of the body
    double width = 20.0;
    double height = 30.0;
    double tilt = 0.0;       // radians, about the feet
    double stride = 0.0;     // -1..1: the legs' swing
    bool legs = true;
    double look = 1.0;       // eyes: -1 left .. 1 right, 0 ahead
    double lookUp = 0.0;     // -1 down .. 1 up
    double eyeOpen = 1.0;    // 0 shut .. 1 open
    int mouth = 0;           // 0 smile, 1 open, 2 flat, 3 grin
    double armLeft = 2.6;    // arm angles in radians from straight up, clockwise
    double armRight = 2.6;
    double alpha = 1.0;
    double flash = 0.0;      // 0 .. 1 towards white
    double dark = 0.0;       // 0 .. 1 towards black (charred)
};

void Ink(cairo_t* cr, double alpha = 1.0)
{
    SetRgb(cr, palette::kInk, alpha);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry)
{
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
}

// The creature in a pose, in its body colour.
void Creature(cairo_t* cr, Rgb colour, const Pose& p)
{
    cairo_save(cr);
    cairo_translate(cr, 16, kFeetY);
    cairo_rotate(cr, p.tilt);
    cairo_translate(cr, -16, -kFeetY);
    Rgb body = Mix(Mix(colour, {1, 1, 1}, p.flash), {0.1, 0.07, 0.05}, p.dark);
    const double a = p.alpha;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // Feet.
    if (p.legs) {
        for (int side = -1; side <= 1; side += 2) {
            const double swing = side * p.stride * 3.0;
            const double fx = p.cx + side * p.width * 0.22 + swing;
            const double lift = std::max(0.0, side * p.stride) * 2.0;
            SetRgb(cr, Darken(body, 0.45), a);
            Ellipse(cr, fx, kFeetY - 1.5 - lift, 3.4, 1.9);
            cairo_fill(cr);
        }
    }
    // Arms, behind the body's outline but over the legs.
    const double shoulderY = p.bottom - p.height * 0.55;
    for (int side = -1; side <= 1; side += 2) {
        const double angle = side < 0 ? -p.armLeft : p.armRight;
        const double sx = p.cx + side * p.width * 0.42;
        const double ex = sx + 7.0 * std::sin(angle), ey = shoulderY - 7.0 * std::cos(angle);
        SetRgb(cr, Darken(body, 0.35), a);
        cairo_set_line_width(cr, 2.6);
        cairo_move_to(cr, sx, shoulderY);
        cairo_line_to(cr, ex, ey);
        cairo_stroke(cr);
        Ellipse(cr, ex, ey, 1.8, 1.8);
        cairo_fill(cr);
    }
    // Body: an egg with a soft shade and an outline.
    const double cy = p.bottom - p.height / 2.0;
    cairo_pattern_t* shade =
        cairo_pattern_create_radial(p.cx - p.width * 0.2, cy - p.height * 0.25, 1.0, p.cx, cy, p.height * 0.6);
    AddStop(shade, 0.0, Lighten(body, 0.55), a);
    AddStop(shade, 0.6, body, a);
    AddStop(shade, 1.0, Darken(body, 0.3), a);
    Ellipse(cr, p.cx, cy, p.width / 2.0, p.height / 2.0);
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    Ink(cr, a);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    // Belly.
    SetRgb(cr, Lighten(body, 0.45), 0.55 * a);
    Ellipse(cr, p.cx + 1.0, cy + p.height * 0.18, p.width * 0.28, p.height * 0.22);
    cairo_fill(cr);
    // Eyes.
    const double eyeY = cy - p.height * 0.18;
    for (int side = -1; side <= 1; side += 2) {
        const double ex = p.cx + side * 3.6 + p.look * 1.5;
        SetRgb(cr, {1, 1, 1}, a);
        Ellipse(cr, ex, eyeY, 3.0, 3.6 * std::max(0.15, p.eyeOpen));
        cairo_fill_preserve(cr);
        Ink(cr, a);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        if (p.eyeOpen > 0.3) {
            Ink(cr, a);
            Ellipse(cr, ex + p.look * 1.2, eyeY - p.lookUp * 1.3, 1.4, 1.6);
            cairo_fill(cr);
        }
    }
    // Mouth.
    const double my = cy + p.height * 0.08, mx = p.cx + p.look * 1.5;
    Ink(cr, a);
    cairo_set_line_width(cr, 1.1);
    switch (p.mouth) {
    case 1:
        Ellipse(cr, mx, my + 1.0, 2.4, 2.8);
        cairo_fill(cr);
        break;
    case 2:
        cairo_move_to(cr, mx - 2.5, my);
        cairo_line_to(cr, mx + 2.5, my);
        cairo_stroke(cr);
        break;
    case 3:
        cairo_arc(cr, mx, my - 1.5, 4.0, 0.2 * kPi, 0.8 * kPi);
        cairo_close_path(cr);
        SetRgb(cr, {1, 1, 1}, a);
        cairo_fill_preserve(cr);
        Ink(cr, a);
        cairo_stroke(cr);
        break;
    default:
        cairo_arc(cr, mx, my - 1.5, 3.0, 0.25 * kPi, 0.75 * kPi);
        cairo_stroke(cr);
        break;
    }
    cairo_restore(cr);
}

// --- Props -----------------------------------------------------------------------------------

void Pick(cairo_t* cr, double hx, double hy, double angle)
{
    cairo_save(cr);
    cairo_translate(cr, hx, hy);
    cairo_rotate(cr, angle);
    SetRgb(cr, FromHex(0x7a4a22));
    cairo_set_line_width(cr, 1.8);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 0, -10);
    cairo_stroke(cr);
    SetRgb(cr, FromHex(0xb8c0c8));
    cairo_set_line_width(cr, 2.2);
    cairo_move_to(cr, -5, -9);
    cairo_curve_to(cr, -2, -12, 2, -12, 6, -8);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void Brick(cairo_t* cr, double x, double y, Rgb colour)
{
    SetRgb(cr, colour);
    cairo_rectangle(cr, x, y, 9, 4);
    cairo_fill_preserve(cr);
    Ink(cr);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

void DrillBit(cairo_t* cr, double turn)
{
    SetRgb(cr, FromHex(0x9aa4ae));
    cairo_move_to(cr, 10, 40);
    cairo_line_to(cr, 22, 40);
    cairo_line_to(cr, 16, 48);
    cairo_close_path(cr);
    cairo_fill_preserve(cr);
    Ink(cr);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    // The thread turns.
    SetRgb(cr, FromHex(0x4c545c));
    for (int i = 0; i < 3; ++i) {
        const double y = 41.5 + i * 2.0 + std::fmod(turn * 2.0, 2.0);
        const double half = (48 - y) * 0.75;
        cairo_move_to(cr, 16 - half, y);
        cairo_line_to(cr, 16 + half, y + 1.0);
        cairo_stroke(cr);
    }
}

void Umbrella(cairo_t* cr, Rgb colour, double sway)
{
    cairo_save(cr);
    cairo_translate(cr, 16 + sway, 9);
    SetRgb(cr, Lighten(colour, 0.3));
    cairo_arc(cr, 0, 4, 12, kPi, 2 * kPi);
    cairo_close_path(cr);
    cairo_fill_preserve(cr);
    Ink(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_move_to(cr, 0, 4);
    cairo_line_to(cr, -sway * 0.5, 14);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void Propeller(cairo_t* cr, double angle)
{
    const double w = 10.0 * std::fabs(std::cos(angle));
    Ink(cr);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, 16, 10);
    cairo_line_to(cr, 16, 6);
    cairo_stroke(cr);
    SetRgb(cr, FromHex(0xf2c230));
    Ellipse(cr, 16, 5, std::max(1.0, w), 1.6);
    cairo_fill_preserve(cr);
    Ink(cr);
    cairo_stroke(cr);
}

void Stars(cairo_t* cr, double t)
{
    for (int i = 0; i < 3; ++i) {
        const double a = 2 * kPi * (t + i / 3.0);
        const double x = 16 + 10 * std::cos(a), y = 9 + 3 * std::sin(a);
        SetRgb(cr, FromHex(0xffe066));
        Ellipse(cr, x, y, 1.8, 1.8);
        cairo_fill(cr);
    }
}

void Flames(cairo_t* cr, double t, double size)
{
    for (int i = 0; i < 4; ++i) {
        const double x = 8 + i * 5.5;
        const double h = size * (8 + 5 * std::sin(2 * kPi * (t + i * 0.27)));
        cairo_pattern_t* fire = cairo_pattern_create_linear(x, 44, x, 44 - h);
        AddStop(fire, 0.0, FromHex(0xff3b0a), 0.95);
        AddStop(fire, 0.6, FromHex(0xffb20a), 0.85);
        AddStop(fire, 1.0, FromHex(0xfff2a0), 0.0);
        cairo_move_to(cr, x - 3, 44);
        cairo_curve_to(cr, x - 3, 44 - h * 0.6, x, 44 - h * 0.8, x, 44 - h);
        cairo_curve_to(cr, x, 44 - h * 0.8, x + 3, 44 - h * 0.6, x + 3, 44);
        cairo_close_path(cr);
        cairo_set_source(cr, fire);
        cairo_fill(cr);
        cairo_pattern_destroy(fire);
    }
}

void Bubbles(cairo_t* cr, double t)
{
    SetRgb(cr, FromHex(0xbfe8ff), 0.8);
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < 3; ++i) {
        const double y = 18 - std::fmod(t * 14 + i * 6, 16);
        Ellipse(cr, 12 + i * 4, y, 1.6, 1.6);
        cairo_stroke(cr);
    }
}

void Water(cairo_t* cr, double level)
{
    SetRgb(cr, FromHex(0x3a7bd5), 0.55);
    cairo_rectangle(cr, 0, level, 32, 48 - level);
    cairo_fill(cr);
}

void Ropes(cairo_t* cr, double t)
{
    SetRgb(cr, FromHex(0x6bd16b));
    cairo_set_line_width(cr, 1.3);
    for (int i = 0; i < 3; ++i) {
        const double y = 22 + i * 7 + std::sin(2 * kPi * t + i) * 1.5;
        cairo_move_to(cr, 4, y);
        cairo_curve_to(cr, 12, y - 4, 20, y + 4, 28, y - 1);
        cairo_stroke(cr);
    }
}

void Sparkles(cairo_t* cr, double t, int count, Rgb colour)
{
    for (int i = 0; i < count; ++i) {
        const double a = 2.399 * i + t * 3.0;
        const double r = 4 + std::fmod(i * 3.7 + t * 12, 14);
        SetRgb(cr, colour, 0.85);
        Ellipse(cr, 16 + r * std::cos(a), 28 + r * std::sin(a) * 1.2, 1.1, 1.1);
        cairo_fill(cr);
    }
}

// --- Poses by part ---------------------------------------------------------------------------

double Phase(const ImageSpec& s, int frame)
{
    return s.frames > 0 ? double(frame) / s.frames : 0.0;
}

bool DrawPose(cairo_t* cr, const ImageSpec& s, int frame)
{
    const Rgb colour = FromHex(s.colour);
    const double t = Phase(s, frame);
    const double wave = std::sin(2 * kPi * t);
    Pose p;
    std::function<void()> before, after;
    const std::string& part = s.part;
    if (part == "walk") {
        p.stride = wave;
        p.bottom = 44.0 - std::fabs(wave) * 1.0;
        p.armLeft = 2.6 + wave * 0.5;
        p.armRight = 2.6 - wave * 0.5;
    } else if (part == "idle") {
        p.eyeOpen = frame == s.frames / 2 ? 0.0 : 1.0;
        p.look = std::cos(2 * kPi * t);
        p.mouth = 3;
    } else if (part == "turn" || part == "turn-back") {
        const double sweep = part == "turn" ? 1.0 - 2.0 * t : -1.0 + 2.0 * t;
        p.look = sweep;
        p.width = 20.0 - 6.0 * (1.0 - std::fabs(sweep));
    } else if (part == "knocked") {
        p.tilt = -0.35 * std::sin(kPi * t);
        p.mouth = 1;
        p.eyeOpen = 0.4;
        p.armLeft = p.armRight = 0.6;
    } else if (part == "fall" || part == "scream" || part == "scream-b") {
        p.stride = wave * 0.5;
        p.armLeft = p.armRight = 0.5 + 0.3 * wave;
        p.lookUp = part == "fall" ? 1.0 : -1.0;
        p.mouth = part == "fall" ? 2 : 1;
        p.bottom = 42.0;
        if (part == "scream-b")
            p.tilt = 0.25 * wave;
    } else if (part == "clob") {
        p.armRight = 1.2 + 0.9 * wave;
        p.mouth = 2;
        p.stride = 0.3 * wave;
        after = [&, wave] { Pick(cr, 16 + 8 + 4 * std::sin(1.2 + 0.9 * wave), 28, 0.9 + 0.9 * wave); };
    } else if (part == "mold") {
        // Frames 0..13: fetch and place; 14: the brick goes down; 15..: stand up.
        const double placing = std::min(1.0, double(frame) / 14.0);
        p.bottom = 44.0 - (frame >= 14 ? 1.5 : 0.0);
        p.armRight = 2.8 - 1.4 * placing;
        p.armLeft = 2.6;
        p.look = 1.0;
        p.lookUp = -0.6;
        after = [&, placing, frame] {
            if (frame < 14)
                Brick(cr, 18 + 6 * placing, 30 + 10 * placing, Mix(colour, {1, 1, 1}, 0.2));
        };
    } else if (part == "nova") {
        const double swell = t;
        p.width = 20.0 + 8.0 * swell;
        p.height = 30.0 + 6.0 * swell;
        p.flash = (frame % 2) * 0.6 * swell + 0.2 * swell;
        p.mouth = 1;
        p.eyeOpen = 1.0;
        p.armLeft = p.armRight = 1.0;
        after = [&, swell] {
            SetRgb(cr, FromHex(0xff4020), 0.6 * swell);
            cairo_set_line_width(cr, 1.0);
            Ellipse(cr, 16, 29, 14 * swell + 2, 18 * swell + 2);
            cairo_stroke(cr);
        };
    } else if (part == "drill") {
        // Pairs: the even frame of each pair on the update, the odd one between.
        const double turn = double(frame) / 2.0;
        p.bottom = 40.0;
        p.legs = false;
        p.armLeft = p.armRight = 2.9;
        p.look = 0.0;
        p.lookUp = -1.0;
        p.mouth = 2;
        p.tilt = 0.05 * std::sin(turn * 2.0);
        after = [&, turn] { DrillBit(cr, turn); };
    } else if (part == "gulp-down" || part == "gulp-up") {
        const bool up = part == "gulp-up";
        p.tilt = up ? -0.3 : 0.3;
        p.mouth = frame % 4 < 2 ? 1 : 3;
        p.lookUp = up ? 1.0 : -1.0;
        p.stride = 0.4 * wave;
    } else if (part == "doppel") {
        p.armLeft = p.armRight = 1.57;
        p.mouth = 2;
        p.look = 0.0;
        p.eyeOpen = frame == 3 ? 0.0 : 1.0;
    } else if (part == "puff") {
        p.armLeft = 0.3;
        p.armRight = 0.3;
        p.legs = true;
        p.stride = 0.3 * wave;
        before = [&, wave] { Umbrella(cr, colour, 2.0 * wave); };
    } else if (part == "spin") {
        p.armLeft = p.armRight = 1.3;
        p.lookUp = 1.0;
        p.mouth = 3;
        after = [&, t] { Propeller(cr, 2 * kPi * t * 2.0); };
    } else if (part == "atomize") {
        p.alpha = 1.0 - t;
        after = [&, t] { Sparkles(cr, t, 14, FromHex(0xffffff)); };
    } else if (part == "lop") {
        // Wind up, throw at frame 9, follow through.
        const double swing = frame < 9 ? -double(frame) / 9.0 : 1.0 - double(frame - 9) / 7.0;
        p.armRight = 2.8 + 1.4 * swing;
        p.look = 1.0;
        p.mouth = frame == 9 ? 1 : 2;
        after = [&, frame] {
            if (frame < 9) {
                SetRgb(cr, Lighten(colour, 0.2));
                Ellipse(cr, 8 - frame * 0.3, 18 - frame * 0.4, 3.5, 3.5);
                cairo_fill_preserve(cr);
                Ink(cr);
                cairo_set_line_width(cr, 0.8);
                cairo_stroke(cr);
            }
        };
    } else if (part == "squish") {
        p.height = 30.0 * (1.0 - 0.7 * t) + 4.0;
        p.width = 20.0 + 10.0 * t;
        p.eyeOpen = 1.0 - t;
        p.mouth = 1;
    } else if (part == "drown") {
        p.bottom = 44.0 + 3.0 * t;
        p.mouth = 1;
        p.lookUp = 1.0;
        p.armLeft = p.armRight = 0.3 + 0.4 * wave;
        after = [&, t] {
            Water(cr, 34 - 2 * std::sin(2 * kPi * t));
            Bubbles(cr, t);
        };
    } else if (part == "shock") {
        p.flash = frame % 2 ? 0.9 : 0.0;
        p.armLeft = p.armRight = 0.4;
        p.mouth = 1;
        p.eyeOpen = frame % 2 ? 0.0 : 1.0;
        after = [&, frame] {
            SetRgb(cr, FromHex(0x9ff0ff), 0.9);
            cairo_set_line_width(cr, 1.0);
            for (int i = 0; i < 3; ++i) {
                const double x = 6 + i * 10 + (frame % 2) * 2;
                cairo_move_to(cr, x, 10);
                cairo_line_to(cr, x + 3, 16);
                cairo_line_to(cr, x - 1, 20);
                cairo_line_to(cr, x + 2, 26);
                cairo_stroke(cr);
            }
        };
    } else if (part == "stun") {
        p.eyeOpen = 0.2;
        p.mouth = 2;
        p.tilt = 0.08 * wave;
        after = [&, t] { Stars(cr, t); };
    } else if (part == "splat") {
        p.height = std::max(4.0, 12.0 - 6.0 * t);
        p.width = 26.0 + 4.0 * t;
        p.bottom = 46.0;
        p.legs = false;
        p.eyeOpen = 0.0;
        p.mouth = 2;
        p.armLeft = p.armRight = 1.57;
    } else if (part == "graviturn") {
        p.tilt = 2 * kPi * t * 0.25;
        p.armLeft = p.armRight = 1.0;
        p.mouth = 1;
    } else if (part == "spawn") {
        // Grows out of the spawner, stands, steps out.
        const double grow = std::min(1.0, double(frame + 1) / 8.0);
        p.height = 30.0 * grow;
        p.width = 20.0 * std::max(0.5, grow);
        p.alpha = 0.4 + 0.6 * grow;
        p.legs = grow >= 1.0;
        p.stride = frame >= 18 ? wave : 0.0;
    } else if (part == "burn" || part == "burn-hard") {
        const bool hard = part == "burn-hard";
        p.dark = hard ? 0.6 : 0.25;
        p.mouth = 1;
        p.armLeft = p.armRight = 0.4 + 0.3 * wave;
        p.stride = wave;
        after = [&, t, hard] { Flames(cr, t, hard ? 1.6 : 1.0); };
    } else if (part == "entangle") {
        p.armLeft = p.armRight = 3.0;
        p.mouth = 1;
        p.tilt = 0.1 * wave;
        after = [&, t] { Ropes(cr, t); };
    } else if (part == "stand") {
        p.bottom = 44.0 - 0.5 * (1 + wave);
        p.eyeOpen = frame == 5 ? 0.0 : 1.0;
        p.look = 0.0;
    } else if (part == "copy-appear") {
        p.alpha = 0.15 + 0.85 * t;
        after = [&, t] { Sparkles(cr, t, 8, Lighten(colour, 0.6)); };
    } else if (part == "copy-land") {
        p.bottom = 44.0 - 2.0 * std::sin(kPi * t);
        p.mouth = 3;
    } else {
        return false;
    }
    if (before)
        before();
    Creature(cr, colour, p);
    if (after)
        after();
    return true;
}

// The select marker: a ring of the group's colour with four arrows that pulse inwards.
void SelectMarker(cairo_t* cr, const ImageSpec& s, int frame)
{
    const Rgb colour = FromHex(s.colour);
    const double cx = s.frameWidth / 2.0, cy = s.frameHeight / 2.0;
    const double pulse = 1.5 * std::sin(2 * kPi * Phase(s, frame));
    cairo_set_line_width(cr, 2.0);
    SetRgb(cr, colour, 0.9);
    cairo_arc(cr, cx, cy, cx - 5.0, 0, 2 * kPi);
    cairo_stroke(cr);
    for (int i = 0; i < 4; ++i) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, i * kPi / 2.0);
        const double tip = cx - 7.0 + pulse;
        cairo_move_to(cr, 0, -tip + 4);
        cairo_line_to(cr, -3.5, -tip - 1);
        cairo_line_to(cr, 3.5, -tip - 1);
        cairo_close_path(cr);
        SetRgb(cr, Lighten(colour, 0.4));
        cairo_fill_preserve(cr);
        Ink(cr);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
}

// The pre-select marker: a chevron pointing down at the flimb.
void PreSelectMarker(cairo_t* cr, const ImageSpec& s)
{
    const Rgb colour = FromHex(s.colour);
    const double w = s.frameWidth, h = s.frameHeight;
    cairo_move_to(cr, 2, 2);
    cairo_line_to(cr, w / 2, h - 2);
    cairo_line_to(cr, w - 2, 2);
    cairo_line_to(cr, w / 2, h * 0.45);
    cairo_close_path(cr);
    SetRgb(cr, Lighten(colour, 0.2), 0.9);
    cairo_fill_preserve(cr);
    Ink(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

// White light, clear in the middle and brightest at the rim: a splat's flash.
void RadialReverse(cairo_t* cr, const ImageSpec& s)
{
    const double cx = s.frameWidth / 2.0, cy = s.frameHeight / 2.0;
    const double r = std::min(cx, cy);
    cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(glow, 0.7, 1, 1, 1, 0.4);
    cairo_pattern_add_color_stop_rgba(glow, 0.95, 1, 1, 1, 1.0);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, 1, 1, 1, 0.0);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
}

} // namespace

void AddFlimbLooks(LookTable& table)
{
    table["flimb"] = DrawPose;
    table["flimb-select"] = [](cairo_t* cr, const ImageSpec& s, int frame) {
        SelectMarker(cr, s, frame);
        return true;
    };
    table["flimb-preselect"] = [](cairo_t* cr, const ImageSpec& s, int) {
        PreSelectMarker(cr, s);
        return true;
    };
    table["radial-reverse"] = [](cairo_t* cr, const ImageSpec& s, int) {
        RadialReverse(cr, s);
        return true;
    };
}

} // namespace artgen
