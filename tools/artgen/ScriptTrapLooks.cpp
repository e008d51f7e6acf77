// Looks of the scripting traps: the proximity area, the land-watch square and the badges of
// the other scripted kinds (their editor sprites and palette icons), and the red cross shown
// where a picture is missing.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

// Corner brackets round a dashed, faintly filled area: the trigger area itself.
void Area(cairo_t* cr, double w, double h, Rgb c)
{
    cairo_rectangle(cr, 2, 2, w - 4, h - 4);
    SetRgb(cr, c, 0.18);
    cairo_fill_preserve(cr);
    const double dash[] = {4.0, 3.0};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_width(cr, 1.5);
    SetRgb(cr, Lighten(c, 0.3), 0.9);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    const double arm = std::min(w, h) * 0.22;
    cairo_set_line_width(cr, 3);
    SetRgb(cr, Lighten(c, 0.5));
    for (int corner = 0; corner < 4; ++corner) {
        const double x = corner % 2 ? w - 2 : 2, y = corner / 2 ? h - 2 : 2;
        const double sx = corner % 2 ? -1 : 1, sy = corner / 2 ? -1 : 1;
        cairo_move_to(cr, x, y + sy * arm);
        cairo_line_to(cr, x, y);
        cairo_line_to(cr, x + sx * arm, y);
        cairo_stroke(cr);
    }
}

// An eye: the sensing sign.
void Eye(cairo_t* cr, double cx, double cy, double r, Rgb c)
{
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_move_to(cr, -r, 0);
    cairo_curve_to(cr, -r * 0.4, -r * 0.75, r * 0.4, -r * 0.75, r, 0);
    cairo_curve_to(cr, r * 0.4, r * 0.75, -r * 0.4, r * 0.75, -r, 0);
    cairo_close_path(cr);
    SetRgb(cr, palette::kCream);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_arc(cr, 0, 0, r * 0.32, 0, 2 * kPi);
    SetRgb(cr, c);
    cairo_fill(cr);
    cairo_arc(cr, 0, 0, r * 0.14, 0, 2 * kPi);
    SetRgb(cr, palette::kInk);
    cairo_fill(cr);
    cairo_restore(cr);
}

// The round badge the scripted kinds share.
void Badge(cairo_t* cr, double w, double h, Rgb c)
{
    const double r = std::min(w, h) / 2 - 2;
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(body, 0, Lighten(c, 0.35));
    AddStop(body, 1, Darken(c, 0.25));
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

void Arrow(cairo_t* cr, double x1, double y1, double x2, double y2, double head)
{
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_stroke(cr);
    const double a = std::atan2(y2 - y1, x2 - x1);
    cairo_move_to(cr, x2, y2);
    cairo_line_to(cr, x2 - head * std::cos(a - 0.5), y2 - head * std::sin(a - 0.5));
    cairo_line_to(cr, x2 - head * std::cos(a + 0.5), y2 - head * std::sin(a + 0.5));
    cairo_close_path(cr);
    cairo_fill(cr);
}

// The sign of a scripted kind on its badge, in a unit square centred on the badge.
bool Sign(cairo_t* cr, const std::string& part, double s)
{
    SetRgb(cr, palette::kCream);
    cairo_set_line_width(cr, s * 0.07);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    if (part == "modifytrap") {
        // Four arrows: moved, turned, scaled.
        for (int i = 0; i < 4; ++i) {
            const double a = kPi / 2 * i;
            Arrow(cr, std::cos(a) * s * 0.08, std::sin(a) * s * 0.08, std::cos(a) * s * 0.3, std::sin(a) * s * 0.3,
                  s * 0.12);
        }
    } else if (part == "modifyframe") {
        // A film strip with three frames.
        cairo_rectangle(cr, -s * 0.3, -s * 0.2, s * 0.6, s * 0.4);
        cairo_stroke(cr);
        for (int i = 0; i < 3; ++i) {
            cairo_rectangle(cr, -s * 0.26 + i * s * 0.18, -s * 0.11, s * 0.15, s * 0.22);
            cairo_fill(cr);
        }
    } else if (part == "sound") {
        cairo_move_to(cr, -s * 0.3, -s * 0.09);
        cairo_line_to(cr, -s * 0.16, -s * 0.09);
        cairo_line_to(cr, 0, -s * 0.24);
        cairo_line_to(cr, 0, s * 0.24);
        cairo_line_to(cr, -s * 0.16, s * 0.09);
        cairo_line_to(cr, -s * 0.3, s * 0.09);
        cairo_close_path(cr);
        cairo_fill(cr);
        for (int i = 1; i <= 2; ++i) {
            cairo_arc(cr, 0, 0, s * (0.1 + 0.1 * i), -0.8, 0.8);
            cairo_stroke(cr);
        }
    } else if (part == "chat") {
        RoundedRect(cr, -s * 0.3, -s * 0.24, s * 0.6, s * 0.36, s * 0.08);
        cairo_fill(cr);
        cairo_move_to(cr, -s * 0.14, s * 0.1);
        cairo_line_to(cr, -s * 0.2, s * 0.28);
        cairo_line_to(cr, s * 0.02, s * 0.1);
        cairo_fill(cr);
        SetRgb(cr, palette::kInk);
        for (int i = -1; i <= 1; ++i) {
            cairo_arc(cr, i * s * 0.12, -s * 0.06, s * 0.035, 0, 2 * kPi);
            cairo_fill(cr);
        }
    } else if (part == "updater") {
        // A clock.
        cairo_arc(cr, 0, 0, s * 0.28, 0, 2 * kPi);
        cairo_stroke(cr);
        cairo_move_to(cr, 0, 0);
        cairo_line_to(cr, 0, -s * 0.2);
        cairo_move_to(cr, 0, 0);
        cairo_line_to(cr, s * 0.14, s * 0.06);
        cairo_stroke(cr);
    } else if (part == "unlock") {
        // An open padlock.
        cairo_arc(cr, -s * 0.1, -s * 0.08, s * 0.14, kPi, 2 * kPi);
        cairo_line_to(cr, s * 0.04, -s * 0.02);
        cairo_stroke(cr);
        SetRgb(cr, palette::kGold);
        RoundedRect(cr, -s * 0.26, -s * 0.02, s * 0.5, s * 0.32, s * 0.05);
        cairo_fill(cr);
        SetRgb(cr, palette::kInk);
        cairo_arc(cr, -s * 0.01, s * 0.12, s * 0.05, 0, 2 * kPi);
        cairo_fill(cr);
    } else if (part == "camerawatch") {
        Eye(cr, 0, s * 0.05, s * 0.24, FromHex(0x3f7fbf));
        SetRgb(cr, palette::kCream);
        cairo_arc(cr, 0, s * 0.05, s * 0.34, -kPi * 0.9, -kPi * 0.15);
        cairo_stroke(cr);
        Arrow(cr, s * 0.25, -s * 0.2, s * 0.3, -s * 0.1, s * 0.12);
    } else if (part == "aiflimb") {
        // A robot head.
        RoundedRect(cr, -s * 0.24, -s * 0.2, s * 0.48, s * 0.4, s * 0.08);
        cairo_fill(cr);
        SetRgb(cr, palette::kInk);
        cairo_arc(cr, -s * 0.1, -s * 0.03, s * 0.05, 0, 2 * kPi);
        cairo_arc(cr, s * 0.1, -s * 0.03, s * 0.05, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_rectangle(cr, -s * 0.1, s * 0.08, s * 0.2, s * 0.04);
        cairo_fill(cr);
    } else {
        return false;
    }
    return true;
}

// The proximity trap's area with an eye, the land-watch's ground square with an eye, or a
// badge with the kind's sign.
bool ScriptTrap(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb c = FromHex(s.colour);
    if (s.part == "proximity") {
        Area(cr, w, h, c);
        Eye(cr, w / 2, h / 2, std::min(w, h) * 0.22, c);
        return true;
    }
    if (s.part == "landwatch") {
        Area(cr, w, h, c);
        cairo_rectangle(cr, 3, h * 0.55, w - 6, h * 0.45 - 3);
        SetRgb(cr, FromHex(0x886b0b), 0.8);
        cairo_fill(cr);
        Eye(cr, w / 2, h * 0.35, std::min(w, h) * 0.28, c);
        return true;
    }
    Badge(cr, w, h, c);
    cairo_save(cr);
    cairo_translate(cr, w / 2, h / 2);
    const bool known = Sign(cr, s.part, std::min(w, h));
    cairo_restore(cr);
    return known;
}

// A red cross on a light tile: "no picture chosen".
bool RedCross(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    RoundedRect(cr, 1, 1, w - 2, h - 2, std::min(w, h) * 0.1);
    SetRgb(cr, palette::kCream, 0.85);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, std::min(w, h) * 0.14);
    SetRgb(cr, FromHex(s.colour));
    cairo_move_to(cr, w * 0.25, h * 0.25);
    cairo_line_to(cr, w * 0.75, h * 0.75);
    cairo_move_to(cr, w * 0.75, h * 0.25);
    cairo_line_to(cr, w * 0.25, h * 0.75);
    cairo_stroke(cr);
    return true;
}

} // namespace

void AddScriptTrapLooks(LookTable& table)
{
    table["script-trap"] = ScriptTrap;
    table["red-x"] = RedCross;
}

} // namespace artgen
