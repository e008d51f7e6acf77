// Front-end looks: the menu backdrop (star field, the crowd of flimbs along the bottom,
// the two start pylons with the electricity between them, the logo, the bubbles), the menu
// rows (icons, separators, the captioned plate), the intro's logos, the new-user prompt's
// pictures, the quit menu's flimb and the package installer's banners. One style throughout: dark ink outlines, glossy
// bodies, warm gold rims over a deep violet night.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace artgen {
namespace {

// A small deterministic generator: the art is the same on every build.
struct Lcg {
    uint32_t state;
    double Next()
    {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1u << 24);
    }
};

// A flimb: a round body in its group colour, two big eyes, little feet. (cx, cy) is the
// body's centre, r its radius; lean tilts it (radians); look shifts the pupils (-1 .. 1).
void DrawFlimb(cairo_t* cr, double cx, double cy, double r, Rgb body, double lean, double look)
{
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, lean);
    const double line = std::max(1.0, r * 0.1);
    // Feet.
    for (double side : {-1.0, 1.0}) {
        cairo_new_sub_path(cr);
        cairo_save(cr);
        cairo_translate(cr, side * r * 0.45, r * 0.92);
        cairo_scale(cr, r * 0.34, r * 0.18);
        cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
        cairo_restore(cr);
        SetRgb(cr, Darken(body, 0.35));
        cairo_fill_preserve(cr);
        SetRgb(cr, palette::kInk);
        cairo_set_line_width(cr, line * 0.8);
        cairo_stroke(cr);
    }
    // Body.
    cairo_pattern_t* shade = cairo_pattern_create_radial(-r * 0.35, -r * 0.4, r * 0.1, 0, 0, r * 1.05);
    AddStop(shade, 0, Lighten(body, 0.45));
    AddStop(shade, 1, Darken(body, 0.25));
    cairo_new_sub_path(cr);
    cairo_save(cr);
    cairo_scale(cr, 1.0, 1.05);
    cairo_arc(cr, 0, 0, r, 0, 2 * kPi);
    cairo_restore(cr);
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
    // Eyes.
    for (double side : {-1.0, 1.0}) {
        const double ex = side * r * 0.33, ey = -r * 0.2;
        cairo_new_sub_path(cr);
        cairo_arc(cr, ex, ey, r * 0.27, 0, 2 * kPi);
        SetRgb(cr, palette::kCream);
        cairo_fill_preserve(cr);
        SetRgb(cr, palette::kInk);
        cairo_set_line_width(cr, line * 0.7);
        cairo_stroke(cr);
        cairo_new_sub_path(cr);
        cairo_arc(cr, ex + look * r * 0.1, ey + r * 0.04, r * 0.12, 0, 2 * kPi);
        SetRgb(cr, palette::kInk);
        cairo_fill(cr);
    }
    // Smile.
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, r * 0.2, r * 0.3, kPi * 0.2, kPi * 0.8);
    cairo_set_line_width(cr, line * 0.8);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    // Gloss.
    cairo_new_sub_path(cr);
    cairo_save(cr);
    cairo_translate(cr, -r * 0.45, -r * 0.62);
    cairo_scale(cr, r * 0.22, r * 0.12);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
    cairo_fill(cr);
    cairo_restore(cr);
}

const Rgb kGroupColours[] = {FromHex(0x5d7bff), FromHex(0x4fd06a), FromHex(0xff5a4a), FromHex(0xffd23f),
                             FromHex(0xff9a2e), FromHex(0x9a6cff), FromHex(0xf0f0f0), FromHex(0x3fd0d0)};

// Text with a dark outline and a gradient fill, centred on (cx, cy).
void OutlinedText(cairo_t* cr, const char* text, double cx, double cy, double size, Rgb top, Rgb bottom,
                  double outline)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    const double x = cx - extents.width / 2 - extents.x_bearing;
    const double y = cy - extents.height / 2 - extents.y_bearing;
    cairo_new_path(cr);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, text);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, outline);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, cy - size / 2, 0, cy + size / 2);
    AddStop(fill, 0, top);
    AddStop(fill, 1, bottom);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
}

// ---- backdrop

bool StarField(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb base = FromHex(s.colour);
    cairo_pattern_t* sky = cairo_pattern_create_radial(w * 0.5, h * 0.55, 0, w * 0.5, h * 0.55, std::max(w, h) * 0.7);
    AddStop(sky, 0, Lighten(base, 0.18));
    AddStop(sky, 0.6, base);
    AddStop(sky, 1, Darken(base, 0.6));
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);
    Lcg random{0x51a75u};
    // Nebula clouds.
    for (int i = 0; i < 9; ++i) {
        const double x = random.Next() * w, y = random.Next() * h, r = (0.12 + random.Next() * 0.2) * w;
        const Rgb tint = i % 3 == 0 ? FromHex(0xd04fa0) : i % 3 == 1 ? FromHex(0x4f7ad0) : FromHex(0x7a4fd0);
        cairo_pattern_t* cloud = cairo_pattern_create_radial(x, y, 0, x, y, r);
        AddStop(cloud, 0, tint, 0.22);
        AddStop(cloud, 1, tint, 0.0);
        cairo_set_source(cr, cloud);
        cairo_paint(cr);
        cairo_pattern_destroy(cloud);
    }
    // Stars.
    for (int i = 0; i < 260; ++i) {
        const double x = random.Next() * w, y = random.Next() * h, b = random.Next();
        const double r = 0.25 + b * b * 1.1;
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, r, 0, 2 * kPi);
        cairo_set_source_rgba(cr, 1.0, 0.95 + 0.05 * b, 0.85 + 0.15 * b, 0.35 + 0.65 * b);
        cairo_fill(cr);
    }
    return true;
}

bool FlimbCrowd(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    // A soft hill they stand on.
    cairo_move_to(cr, 0, h);
    cairo_curve_to(cr, w * 0.25, h * 0.45, w * 0.75, h * 0.45, w, h);
    cairo_close_path(cr);
    cairo_pattern_t* hill = cairo_pattern_create_linear(0, h * 0.5, 0, h);
    AddStop(hill, 0, FromHex(s.colour));
    AddStop(hill, 1, Darken(FromHex(s.colour), 0.6));
    cairo_set_source(cr, hill);
    cairo_fill(cr);
    cairo_pattern_destroy(hill);
    Lcg random{0xf11b5u};
    const int count = std::max(3, int(w / (h * 0.42)));
    for (int i = 0; i < count; ++i) {
        // On the hill's curve: the point at parameter t of its Bezier.
        const double t = (i + 0.5) / count, u = 1 - t;
        const double x = w * (0.75 * u * u * t + 2.25 * u * t * t + t * t * t);
        const double ground = h * (u * u * u + 1.35 * u * u * t + 1.35 * u * t * t + t * t * t);
        const double r = h * (0.13 + random.Next() * 0.05);
        DrawFlimb(cr, x, ground - r * 1.1, r, kGroupColours[i % 8], (random.Next() - 0.5) * 0.4,
                  random.Next() * 2 - 1);
    }
    return true;
}

bool StartPylon(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const bool left = s.part == "left";
    if (!left && s.part != "right")
        return false;
    if (!left) { // mirrored
        cairo_translate(cr, w, 0);
        cairo_scale(cr, -1, 1);
    }
    const Rgb metal = FromHex(s.colour);
    // A bracket from the frame corner.
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, w * 0.55, 0);
    cairo_curve_to(cr, w * 0.6, h * 0.25, w * 0.45, h * 0.4, w * 0.3, h * 0.55);
    cairo_line_to(cr, 0, h * 0.7);
    cairo_close_path(cr);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, w * 0.6, h * 0.6);
    AddStop(body, 0, Lighten(metal, 0.3));
    AddStop(body, 1, Darken(metal, 0.4));
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    // Rivets.
    for (int i = 0; i < 3; ++i) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, w * (0.1 + 0.13 * i), h * (0.12 + 0.1 * i), 3, 0, 2 * kPi);
        SetRgb(cr, palette::kGold);
        cairo_fill(cr);
    }
    // The glowing orb the electricity leaves from.
    const double ox = w * 0.38, oy = h * 0.45, r = std::min(w, h) * 0.16;
    cairo_pattern_t* glow = cairo_pattern_create_radial(ox, oy, 0, ox, oy, r * 2.2);
    AddStop(glow, 0, FromHex(0xbfe8ff), 0.9);
    AddStop(glow, 1, FromHex(0x3f8fff), 0.0);
    cairo_set_source(cr, glow);
    cairo_arc(cr, ox, oy, r * 2.2, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    cairo_arc(cr, ox, oy, r, 0, 2 * kPi);
    cairo_pattern_t* orb = cairo_pattern_create_radial(ox - r / 3, oy - r / 3, 1, ox, oy, r);
    AddStop(orb, 0, palette::kCream);
    AddStop(orb, 1, FromHex(0x3f8fff));
    cairo_set_source(cr, orb);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(orb);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
    return true;
}

bool Electricity(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    Lcg random{0xe1ec7u};
    for (int pass = 0; pass < 3; ++pass) {
        cairo_move_to(cr, 0, h / 2);
        const int steps = 24;
        for (int i = 1; i <= steps; ++i) {
            const double x = w * i / steps;
            const double y = i == steps ? h / 2 : h / 2 + (random.Next() - 0.5) * h * 0.75;
            cairo_line_to(cr, x, y);
        }
        const Rgb bolt = pass == 0 ? FromHex(0x3f8fff) : pass == 1 ? FromHex(0x9fd8ff) : palette::kCream;
        SetRgb(cr, bolt, pass == 0 ? 0.35 : 0.9);
        cairo_set_line_width(cr, pass == 0 ? 9.0 : pass == 1 ? 3.5 : 1.5);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }
    return true;
}

bool Logo(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    // A plate behind the word.
    RoundedRect(cr, w * 0.04, h * 0.12, w * 0.92, h * 0.76, h * 0.3);
    cairo_pattern_t* plate = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(plate, 0, Lighten(FromHex(s.colour), 0.2));
    AddStop(plate, 1, Darken(FromHex(s.colour), 0.45));
    cairo_set_source(cr, plate);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(plate);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, h * 0.05);
    cairo_stroke(cr);
    OutlinedText(cr, "FLIMBS", w * 0.5, h * 0.5, h * 0.52, FromHex(0xfff4b0), FromHex(0xf08a24), h * 0.08);
    // A flimb peeking over the plate's right edge.
    DrawFlimb(cr, w * 0.9, h * 0.2, h * 0.16, kGroupColours[1], 0.3, -0.6);
    return true;
}

// The bubble carries the alpha it is shown at (164 of 255), so that the game draws it in
// plain white, the renderer's fast path.
bool Bubble(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, r = std::min(w, h) / 2 - 1;
    cairo_push_group(cr);
    cairo_pattern_t* body = cairo_pattern_create_radial(w / 2, h / 2, r * 0.5, w / 2, h / 2, r);
    AddStop(body, 0, FromHex(s.colour), 0.08);
    AddStop(body, 0.85, FromHex(s.colour), 0.35);
    AddStop(body, 1, Lighten(FromHex(s.colour), 0.5), 0.8);
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    cairo_new_sub_path(cr);
    cairo_arc(cr, w * 0.36, h * 0.34, r * 0.22, 0, 2 * kPi);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
    cairo_fill(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, 164.0 / 255.0);
    return true;
}

// ---- menu rows

void Gear(cairo_t* cr, double cx, double cy, double r)
{
    const int teeth = 8;
    cairo_new_sub_path(cr);
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = i * kPi / teeth, a1 = (i + 1) * kPi / teeth;
        const double radius = i % 2 ? r * 0.78 : r;
        cairo_arc(cr, cx, cy, radius, a0, a1);
    }
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, cx, cy, r * 0.35, 2 * kPi, 0);
}

bool MenuIcon(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2, u = std::min(w, h) / 66.0;
    const std::string& kind = s.part;
    static const char* const kKinds[] = {"planet", "multiplayer", "extras", "settings", "exit",
                                         "editor", "movies", "package-creator", "package-installer", "credits"};
    if (std::find(std::begin(kKinds), std::end(kKinds), kind) == std::end(kKinds))
        return false;
    const Rgb base = FromHex(s.colour);
    // The badge.
    cairo_pattern_t* disc = cairo_pattern_create_radial(cx - 9 * u, cy - 10 * u, 3 * u, cx, cy, 31 * u);
    AddStop(disc, 0, Lighten(base, 0.4));
    AddStop(disc, 1, Darken(base, 0.35));
    cairo_arc(cr, cx, cy, 30 * u, 0, 2 * kPi);
    cairo_set_source(cr, disc);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(disc);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, 3 * u);
    cairo_stroke_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.2 * u);
    cairo_stroke(cr);

    const double line = 3 * u;
    cairo_set_line_width(cr, line);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const auto inkFill = [&](Rgb fill) {
        SetRgb(cr, fill);
        cairo_fill_preserve(cr);
        SetRgb(cr, palette::kInk);
        cairo_stroke(cr);
    };
    if (kind == "planet") { // a ringed planet
        cairo_arc(cr, cx, cy, 14 * u, 0, 2 * kPi);
        inkFill(FromHex(0x6fd0ff));
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, 1.0, 0.35);
        cairo_arc(cr, 0, 0, 23 * u, kPi * 0.05, kPi * 0.95);
        cairo_restore(cr);
        SetRgb(cr, palette::kGold);
        cairo_stroke(cr);
    } else if (kind == "multiplayer") {
        DrawFlimb(cr, cx - 9 * u, cy + 1 * u, 10 * u, kGroupColours[0], -0.15, 1);
        DrawFlimb(cr, cx + 10 * u, cy + 1 * u, 10 * u, kGroupColours[2], 0.15, -1);
    } else if (kind == "extras") { // a star
        for (int i = 0; i < 10; ++i) {
            const double a = -kPi / 2 + i * kPi / 5, r = i % 2 ? 7 * u : 17 * u;
            if (i == 0)
                cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
            else
                cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        }
        cairo_close_path(cr);
        inkFill(FromHex(0xffd23f));
    } else if (kind == "settings") {
        Gear(cr, cx, cy, 17 * u);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        inkFill(FromHex(0xd8dde8));
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    } else if (kind == "exit") { // a door with an arrow out
        cairo_rectangle(cr, cx - 14 * u, cy - 17 * u, 17 * u, 34 * u);
        inkFill(FromHex(0x9a5a2e));
        cairo_move_to(cr, cx - 2 * u, cy);
        cairo_line_to(cr, cx + 17 * u, cy);
        cairo_move_to(cr, cx + 10 * u, cy - 7 * u);
        cairo_line_to(cr, cx + 17 * u, cy);
        cairo_line_to(cr, cx + 10 * u, cy + 7 * u);
        SetRgb(cr, palette::kCream);
        cairo_set_line_width(cr, 4 * u);
        cairo_stroke(cr);
    } else if (kind == "editor") { // a pencil
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, -kPi / 4);
        cairo_rectangle(cr, -18 * u, -5 * u, 28 * u, 10 * u);
        inkFill(FromHex(0xffc63f));
        cairo_move_to(cr, 10 * u, -5 * u);
        cairo_line_to(cr, 19 * u, 0);
        cairo_line_to(cr, 10 * u, 5 * u);
        cairo_close_path(cr);
        inkFill(FromHex(0xf0d8b0));
        cairo_restore(cr);
    } else if (kind == "movies") { // a film strip
        RoundedRect(cr, cx - 17 * u, cy - 12 * u, 34 * u, 24 * u, 3 * u);
        inkFill(FromHex(0x303040));
        for (int i = 0; i < 4; ++i)
            for (double y : {-9.0, 7.0}) {
                cairo_rectangle(cr, cx + (-14 + i * 8) * u, cy + y * u, 4 * u, 2.5 * u);
                SetRgb(cr, palette::kCream);
                cairo_fill(cr);
            }
        cairo_move_to(cr, cx - 4 * u, cy - 5 * u);
        cairo_line_to(cr, cx + 6 * u, cy);
        cairo_line_to(cr, cx - 4 * u, cy + 5 * u);
        cairo_close_path(cr);
        SetRgb(cr, FromHex(0xff5a4a));
        cairo_fill(cr);
    } else if (kind == "package-creator" || kind == "package-installer") { // a box
        cairo_rectangle(cr, cx - 15 * u, cy - 8 * u, 30 * u, 24 * u);
        inkFill(FromHex(0xc8904a));
        cairo_move_to(cr, cx - 15 * u, cy - 8 * u);
        cairo_line_to(cr, cx - 10 * u, cy - 16 * u);
        cairo_line_to(cr, cx + 20 * u, cy - 16 * u);
        cairo_line_to(cr, cx + 15 * u, cy - 8 * u);
        cairo_close_path(cr);
        inkFill(FromHex(0xe0b070));
        SetRgb(cr, FromHex(0x2f9e4f));
        cairo_set_line_width(cr, 5 * u);
        if (kind == "package-creator") { // a plus
            cairo_move_to(cr, cx, cy - 2 * u);
            cairo_line_to(cr, cx, cy + 12 * u);
            cairo_move_to(cr, cx - 7 * u, cy + 5 * u);
            cairo_line_to(cr, cx + 7 * u, cy + 5 * u);
        } else { // an arrow into the box
            cairo_move_to(cr, cx, cy - 4 * u);
            cairo_line_to(cr, cx, cy + 11 * u);
            cairo_move_to(cr, cx - 6 * u, cy + 5 * u);
            cairo_line_to(cr, cx, cy + 11 * u);
            cairo_line_to(cr, cx + 6 * u, cy + 5 * u);
        }
        cairo_stroke(cr);
    } else { // credits: a scroll
        RoundedRect(cr, cx - 13 * u, cy - 16 * u, 26 * u, 32 * u, 3 * u);
        inkFill(FromHex(0xf4e2b8));
        cairo_set_line_width(cr, 2 * u);
        for (int i = 0; i < 4; ++i) {
            cairo_move_to(cr, cx - 8 * u, cy + (-9 + i * 6) * u);
            cairo_line_to(cr, cx + 8 * u, cy + (-9 + i * 6) * u);
        }
        SetRgb(cr, FromHex(0x8a6a4a));
        cairo_stroke(cr);
    }
    return true;
}

// A gilded bar with a gem in the row's colour; the top piece has the gem's upper half
// hanging down, the bottom one its lower half pointing up.
bool MenuSeparator(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    if (s.part != "top" && s.part != "bottom")
        return false;
    const bool top = s.part == "top";
    const double bar = top ? 0 : h * 0.45;
    cairo_rectangle(cr, w * 0.04, bar, w * 0.92, h * 0.55);
    cairo_pattern_t* gold = cairo_pattern_create_linear(0, bar, 0, bar + h * 0.55);
    AddStop(gold, 0, Lighten(palette::kGold, 0.4));
    AddStop(gold, 1, Darken(palette::kGold, 0.35));
    cairo_set_source(cr, gold);
    cairo_fill(cr);
    cairo_pattern_destroy(gold);
    const double cx = w / 2;
    cairo_move_to(cr, cx - h, bar + h * 0.27);
    cairo_line_to(cr, cx, top ? h : 0);
    cairo_line_to(cr, cx + h, bar + h * 0.27);
    cairo_close_path(cr);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return true;
}

// The row's plate: a wide glossy body, one frame per state (normal, hover, pressed).
bool MenuButton(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    GlossyBody(cr, 3, 3, w - 6, h - 6, (h - 6) / 2, FromHex(s.colour), StateOfFrame(frame));
    return true;
}

// An arrow button (the avatar row and the planet's ribbon): normal, hover, pressed.
bool RibbonArrow(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    if (s.part != "left" && s.part != "right")
        return false;
    const State state = StateOfFrame(frame);
    GlossyBody(cr, 2, 2, w - 4, h - 4, (std::min(w, h) - 4) / 2, FromHex(s.colour), state);
    const double dir = s.part == "left" ? -1 : 1, cx = w / 2, cy = h / 2, a = std::min(w, h) * 0.22;
    cairo_move_to(cr, cx - dir * a * 0.6, cy - a);
    cairo_line_to(cr, cx + dir * a, cy);
    cairo_line_to(cr, cx - dir * a * 0.6, cy + a);
    cairo_close_path(cr);
    SetRgb(cr, palette::kCream);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    return true;
}

// ---- intro, prompt, quit

// The maker's still logo: its wordmark over a dark stage.
bool CompanyLogo(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_pattern_t* light = cairo_pattern_create_radial(w / 2, h / 2, 0, w / 2, h / 2, w * 0.5);
    AddStop(light, 0, FromHex(s.colour), 0.35);
    AddStop(light, 1, FromHex(s.colour), 0.0);
    cairo_set_source(cr, light);
    cairo_paint(cr);
    cairo_pattern_destroy(light);
    // The mark: a hexagon with a Q.
    const double mx = w / 2, my = h * 0.4, r = h * 0.2;
    cairo_new_path(cr);
    for (int i = 0; i < 6; ++i)
        cairo_line_to(cr, mx + r * std::cos(kPi / 6 + i * kPi / 3), my + r * std::sin(kPi / 6 + i * kPi / 3));
    cairo_close_path(cr);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kCream);
    cairo_set_line_width(cr, h * 0.015);
    cairo_stroke(cr);
    OutlinedText(cr, "Q", mx, my, r * 1.3, palette::kCream, Lighten(FromHex(s.colour), 0.6), h * 0.01);
    OutlinedText(cr, "QUARVEX", w / 2, h * 0.75, h * 0.14, palette::kCream, FromHex(0xb0b8d8), h * 0.012);
    return true;
}

bool PartnerLogo(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb base = FromHex(s.colour);
    RoundedRect(cr, 2, 2, w - 4, h - 4, h * 0.15);
    SetRgb(cr, palette::kCream);
    cairo_fill(cr);
    const double mx = h * 0.5, my = h * 0.5, r = h * 0.3;
    cairo_new_path(cr);
    if (s.part == "aurora") { // three arcs
        for (int i = 0; i < 3; ++i) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, mx, my + r * 0.6, r * (0.5 + 0.3 * i), kPi, 2 * kPi);
        }
        SetRgb(cr, base);
        cairo_set_line_width(cr, h * 0.06);
        cairo_stroke(cr);
    } else if (s.part == "bitforge") { // an anvil of squares
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3 - i; ++j)
                cairo_rectangle(cr, mx - r + j * r * 0.7 + i * r * 0.35, my + r * 0.5 - i * r * 0.6, r * 0.55,
                                r * 0.5);
        SetRgb(cr, base);
        cairo_fill(cr);
    } else if (s.part == "lumen") { // a sun
        cairo_arc(cr, mx, my, r * 0.55, 0, 2 * kPi);
        SetRgb(cr, base);
        cairo_fill(cr);
        for (int i = 0; i < 8; ++i) {
            const double a = i * kPi / 4;
            cairo_move_to(cr, mx + r * 0.75 * std::cos(a), my + r * 0.75 * std::sin(a));
            cairo_line_to(cr, mx + r * 1.1 * std::cos(a), my + r * 1.1 * std::sin(a));
        }
        cairo_set_line_width(cr, h * 0.05);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    } else if (s.part == "northwind") { // a compass needle
        cairo_move_to(cr, mx, my - r * 1.1);
        cairo_line_to(cr, mx + r * 0.35, my);
        cairo_line_to(cr, mx, my + r * 1.1);
        cairo_line_to(cr, mx - r * 0.35, my);
        cairo_close_path(cr);
        SetRgb(cr, base);
        cairo_fill(cr);
    } else {
        return false;
    }
    std::string name = s.part;
    name[0] = char(std::toupper(static_cast<unsigned char>(name[0])));
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, h * 0.24);
    cairo_move_to(cr, h * 0.95, h * 0.6);
    SetRgb(cr, Darken(base, 0.3));
    cairo_show_text(cr, name.c_str());
    return true;
}

// A flimb in a president's sash, waving: the new-user prompt's host.
bool President(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const double r = std::min(w * 0.42, h * 0.34);
    DrawFlimb(cr, w / 2, h * 0.55, r, FromHex(s.colour), -0.08, 0.4);
    // Sash.
    cairo_move_to(cr, w / 2 - r * 0.8, h * 0.55 - r * 0.2);
    cairo_line_to(cr, w / 2 + r * 0.85, h * 0.55 + r * 0.75);
    SetRgb(cr, FromHex(0xd03040), 0.9);
    cairo_set_line_width(cr, r * 0.22);
    cairo_stroke(cr);
    // Top hat.
    cairo_rectangle(cr, w / 2 - r * 0.45, h * 0.55 - r * 1.75, r * 0.9, r * 0.75);
    cairo_rectangle(cr, w / 2 - r * 0.7, h * 0.55 - r * 1.05, r * 1.4, r * 0.14);
    SetRgb(cr, FromHex(0x24202a));
    cairo_fill(cr);
    // A waving arm.
    cairo_move_to(cr, w / 2 + r * 0.9, h * 0.55);
    cairo_curve_to(cr, w / 2 + r * 1.2, h * 0.45, w / 2 + r * 1.15, h * 0.3, w / 2 + r * 1.05, h * 0.2);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, r * 0.12);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    return true;
}

// A flimb holding a little "bye" sign: the quit menu's picture.
bool QuitFlimb(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, r = std::min(w * 0.3, h * 0.34);
    DrawFlimb(cr, w * 0.35, h * 0.58, r, FromHex(s.colour), 0.12, 1);
    const double sx = w * 0.62, sy = h * 0.12;
    cairo_move_to(cr, w * 0.35 + r * 0.9, h * 0.58);
    cairo_line_to(cr, sx + w * 0.15, sy + h * 0.36);
    SetRgb(cr, FromHex(0x8a6a4a));
    cairo_set_line_width(cr, r * 0.12);
    cairo_stroke(cr);
    RoundedRect(cr, sx, sy, w * 0.33, h * 0.3, 4);
    SetRgb(cr, palette::kCream);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, h * 0.13);
    cairo_move_to(cr, sx + w * 0.05, sy + h * 0.2);
    cairo_show_text(cr, "Bye?");
    return true;
}

// The options' picture frame before the player has an avatar: a grey flimb shape on a
// dark tile.
bool AvatarNone(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    RoundedRect(cr, 1, 1, w - 2, h - 2, w * 0.08);
    SetRgb(cr, Darken(FromHex(s.colour), 0.3));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    DrawFlimb(cr, w / 2, h * 0.5, w * 0.28, FromHex(0x8a8494), 0, 0);
    return true;
}

// ---- the package installer

// A wooden crate with its lid flung open: the package, its levels hopping out as flimbs.
void DrawCrate(cairo_t* cr, double x, double y, double size)
{
    const Rgb wood = FromHex(0xc98a3c);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    // The body.
    RoundedRect(cr, x, y, size, size * 0.72, size * 0.06);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, y, 0, y + size * 0.72);
    AddStop(body, 0, Lighten(wood, 0.15));
    AddStop(body, 1, Darken(wood, 0.35));
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, size * 0.035);
    cairo_stroke(cr);
    // Planks and the gold band.
    cairo_set_line_width(cr, size * 0.02);
    for (int i = 1; i < 3; ++i) {
        cairo_move_to(cr, x + size * 0.04, y + size * 0.24 * i);
        cairo_line_to(cr, x + size * 0.96, y + size * 0.24 * i);
    }
    SetRgb(cr, Darken(wood, 0.45));
    cairo_stroke(cr);
    cairo_rectangle(cr, x + size * 0.44, y, size * 0.12, size * 0.72);
    SetRgb(cr, palette::kGold);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, size * 0.02);
    cairo_stroke(cr);
    // The lid, tipped back over the left edge.
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -0.55);
    RoundedRect(cr, -size * 0.02, -size * 0.16, size * 1.02, size * 0.16, size * 0.04);
    SetRgb(cr, Lighten(wood, 0.05));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, size * 0.035);
    cairo_stroke(cr);
    cairo_restore(cr);
}

bool InstallerBanner(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb base = FromHex(s.colour);
    RoundedRect(cr, 1.5, 1.5, w - 3, h - 3, h * 0.1);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(sky, 0, Darken(base, 0.45));
    AddStop(sky, 0.7, base);
    AddStop(sky, 1, Lighten(base, 0.15));
    cairo_set_source(cr, sky);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(sky);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    Lcg random{0x1a57a11u};
    for (int i = 0; i < 70; ++i) {
        const double x = random.Next() * w, y = random.Next() * h * 0.8, b = random.Next();
        cairo_new_sub_path(cr);
        cairo_arc(cr, x, y, 0.4 + b * 1.2, 0, 2 * kPi);
        cairo_set_source_rgba(cr, 1.0, 0.96, 0.88, 0.3 + 0.6 * b);
        cairo_fill(cr);
    }
    // A hill along the bottom.
    cairo_new_path(cr);
    cairo_move_to(cr, 0, h);
    cairo_curve_to(cr, w * 0.3, h * 0.72, w * 0.7, h * 0.7, w, h * 0.86);
    cairo_line_to(cr, w, h);
    cairo_close_path(cr);
    SetRgb(cr, Darken(FromHex(0x3f8f4f), 0.2));
    cairo_fill(cr);
    cairo_restore(cr);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);

    OutlinedText(cr, "FLIMBS", w * 0.36, h * 0.36, h * 0.3, FromHex(0xfff4b0), FromHex(0xf08a24), h * 0.03);
    OutlinedText(cr, "Package Installer", w * 0.36, h * 0.62, h * 0.12, palette::kCream, FromHex(0xb8d8f0),
                 h * 0.018);
    const double crate = h * 0.42;
    DrawCrate(cr, w * 0.74, h * 0.5, crate);
    DrawFlimb(cr, w * 0.78, h * 0.3, h * 0.085, kGroupColours[0], -0.3, -0.6);
    DrawFlimb(cr, w * 0.87, h * 0.17, h * 0.075, kGroupColours[2], 0.2, 0.4);
    DrawFlimb(cr, w * 0.95, h * 0.33, h * 0.07, kGroupColours[1], 0.45, 0.8);
    return true;
}

bool InstallerFooter(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    // A gold rule, then the ground the flimbs walk along, home to the level folder.
    cairo_move_to(cr, w * 0.02, 2);
    cairo_line_to(cr, w * 0.98, 2);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    RoundedRect(cr, 1, h * 0.72, w - 2, h * 0.26, h * 0.1);
    cairo_pattern_t* ground = cairo_pattern_create_linear(0, h * 0.72, 0, h);
    AddStop(ground, 0, FromHex(s.colour));
    AddStop(ground, 1, Darken(FromHex(s.colour), 0.55));
    cairo_set_source(cr, ground);
    cairo_fill(cr);
    cairo_pattern_destroy(ground);
    const int count = 9;
    for (int i = 0; i < count; ++i) {
        const double r = h * 0.17;
        const double x = w * (0.08 + 0.1 * i);
        DrawFlimb(cr, x, h * 0.72 - r * 1.05, r, kGroupColours[i % 8], 0.18, 1);
    }
    // The door they walk to.
    RoundedRect(cr, w * 0.93, h * 0.2, w * 0.05, h * 0.52, w * 0.012);
    SetRgb(cr, FromHex(0x2a170f));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    return true;
}

} // namespace

void AddMenuLooks(LookTable& table)
{
    table["star-field"] = StarField;
    table["flimb-crowd"] = FlimbCrowd;
    table["start-pylon"] = StartPylon;
    table["electricity"] = Electricity;
    table["menu-logo"] = Logo;
    table["bubble"] = Bubble;
    table["menu-icon"] = MenuIcon;
    table["menu-separator"] = MenuSeparator;
    table["menu-button"] = MenuButton;
    table["ribbon-arrow"] = RibbonArrow;
    table["company-logo"] = CompanyLogo;
    table["partner-logo"] = PartnerLogo;
    table["president"] = President;
    table["quit-flimb"] = QuitFlimb;
    table["avatar-none"] = AvatarNone;
    table["installer-banner"] = InstallerBanner;
    table["installer-footer"] = InstallerFooter;
}

} // namespace artgen
