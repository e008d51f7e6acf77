// Creature and collectible trap looks: the frozen flimb thawing, the crawling slug, the
// particle and its halo, the copier's machine parts and node, the qdot, the receptacle with
// its fluid, the gravitize area, the black hole, the follower and its dig, the walk bug and
// the entanglement machine with its shock.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

double Phase(const ImageSpec& s, int frame)
{
    return s.frames > 1 ? double(frame) / double(s.frames) : 0.0;
}

// A small flimb figure standing on (cx, feet), `h` tall, in the colour.
void Figure(cairo_t* cr, double cx, double feet, double h, Rgb body)
{
    SetRgb(cr, body);
    cairo_arc(cr, cx, feet - h * 0.75, h * 0.22, 0, 2 * kPi);
    cairo_fill(cr);
    RoundedRect(cr, cx - h * 0.2, feet - h * 0.55, h * 0.4, h * 0.5, h * 0.12);
    cairo_fill(cr);
    SetRgb(cr, palette::kInk);
    cairo_arc(cr, cx + h * 0.07, feet - h * 0.78, h * 0.04, 0, 2 * kPi);
    cairo_fill(cr);
}

// The frozen flimb: a figure in a block of ice that melts away over the frames.
bool Frozen(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, melt = Phase(s, frame);
    Figure(cr, w / 2, h - 2, h * 0.8, FromHex(s.colour));
    const double top = 2 + melt * h * 0.8;
    RoundedRect(cr, 3, top, w - 6, h - 3 - top, 5);
    cairo_pattern_t* ice = cairo_pattern_create_linear(0, top, w, h);
    AddStop(ice, 0, FromHex(0xe8f8ff), 0.75 - melt * 0.4);
    AddStop(ice, 1, FromHex(0x7fc8ff), 0.65 - melt * 0.4);
    cairo_set_source(cr, ice);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(ice);
    SetRgb(cr, FromHex(0xffffff), 0.9 - melt * 0.6);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    SetRgb(cr, FromHex(0xffffff), 0.7);
    cairo_move_to(cr, 8, top + 6);
    cairo_line_to(cr, 14, top + 14);
    cairo_stroke(cr);
    return true;
}

// The slug: a shelled crawler whose body ripples as it moves, resting on the frame's bottom.
bool Slug(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, t = Phase(s, frame) * 2 * kPi;
    const Rgb base = FromHex(s.colour);
    SetRgb(cr, Darken(base, 0.2));
    cairo_move_to(cr, 3, h - 1);
    for (int i = 0; i <= 8; ++i) {
        const double x = 3 + (w - 6) * i / 8.0;
        cairo_line_to(cr, x, h - 6 - 2 * std::sin(t + i));
    }
    cairo_line_to(cr, w - 3, h - 1);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_arc(cr, w * 0.45, h * 0.55, h * 0.36, 0, 2 * kPi);
    SetRgb(cr, base);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 1.5);
    for (double r = h * 0.28; r > 2; r -= h * 0.09) {
        cairo_arc(cr, w * 0.45, h * 0.55, r, t, t + 4.5);
        cairo_stroke(cr);
    }
    SetRgb(cr, palette::kCream);
    cairo_arc(cr, w * 0.88, h * 0.6, 2.5, 0, 2 * kPi);
    cairo_fill(cr);
    return true;
}

// The particle: a white orb (front, tinted by group) and its pulsing halo (back).
bool Orb(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, t = Phase(s, frame) * 2 * kPi;
    if (s.part == "back") {
        const double r = std::min(w, h) / 2 - 1 - 2 * (1 + std::sin(t));
        cairo_pattern_t* halo = cairo_pattern_create_radial(w / 2, h / 2, 0, w / 2, h / 2, r);
        AddStop(halo, 0.4, FromHex(0xffffff), 0.8);
        AddStop(halo, 1, FromHex(0xffffff), 0);
        cairo_set_source(cr, halo);
        cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_pattern_destroy(halo);
        return true;
    }
    const double r = std::min(w, h) * 0.3;
    cairo_pattern_t* body = cairo_pattern_create_radial(w / 2 - r / 3, h / 2 - r / 3, 1, w / 2, h / 2, r);
    AddStop(body, 0, FromHex(0xffffff));
    AddStop(body, 1, FromHex(0xb0b0b0));
    cairo_set_source(cr, body);
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    SetRgb(cr, FromHex(0xffffff), 0.9);
    cairo_set_line_width(cr, 1.5);
    cairo_arc(cr, w / 2, h / 2, r + 2, t, t + 2);
    cairo_stroke(cr);
    return true;
}

// The copier's parts, by part name.
bool Copier(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, t = Phase(s, frame);
    const Rgb metal = FromHex(s.colour);
    cairo_set_line_width(cr, 2);
    if (s.part == "core") {
        RoundedRect(cr, 8, h * 0.25, w - 16, h * 0.7, 10);
        GlossyBody(cr, 8, h * 0.25, w - 16, h * 0.7, 10, metal, State::Normal);
        SetRgb(cr, Darken(metal, 0.5));
        cairo_rectangle(cr, w * 0.3, h * 0.05, w * 0.4, h * 0.25);
        cairo_fill(cr);
        return true;
    }
    if (s.part == "base") {
        RoundedRect(cr, 1, 1, w - 2, h - 2, 6);
        SetRgb(cr, Darken(metal, 0.35));
        cairo_fill_preserve(cr);
        SetRgb(cr, palette::kInk);
        cairo_stroke(cr);
        return true;
    }
    if (s.part == "crystal") {
        const Rgb c = FromHex(s.colour);
        cairo_move_to(cr, w / 2, 1);
        cairo_line_to(cr, w - 3, h * 0.4);
        cairo_line_to(cr, w / 2, h - 1);
        cairo_line_to(cr, 3, h * 0.4);
        cairo_close_path(cr);
        SetRgb(cr, Lighten(c, 0.2));
        cairo_fill_preserve(cr);
        SetRgb(cr, Darken(c, 0.4));
        cairo_stroke(cr);
        return true;
    }
    if (s.part == "glow") {
        cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2, h / 2, 0, w / 2, h / 2, w / 2);
        AddStop(glow, 0, Lighten(FromHex(s.colour), 0.5), 1);
        AddStop(glow, 1, FromHex(s.colour), 0);
        cairo_set_source(cr, glow);
        cairo_paint(cr);
        cairo_pattern_destroy(glow);
        return true;
    }
    if (s.part == "shock") {
        SetRgb(cr, FromHex(0xbfe8ff), 0.9);
        cairo_move_to(cr, w / 2, 2);
        for (int i = 1; i <= 6; ++i)
            cairo_line_to(cr, w / 2 + ((i + frame) % 2 ? 1 : -1) * w * 0.25, 2 + (h - 4) * i / 6.0);
        cairo_stroke(cr);
        return true;
    }
    if (s.part == "lasers") {
        SetRgb(cr, FromHex(0xff5050), 0.8);
        cairo_set_line_width(cr, 3 + 2 * std::sin(t * 2 * kPi));
        cairo_move_to(cr, 0, h / 2);
        cairo_line_to(cr, w, h / 2);
        cairo_stroke(cr);
        SetRgb(cr, FromHex(0xffffff), 0.9);
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, 0, h / 2);
        cairo_line_to(cr, w, h / 2);
        cairo_stroke(cr);
        return true;
    }
    // The arm (back), and the claw at the top of it: open at frame 0, closed at the last.
    const double closed = s.frames > 1 ? double(frame) / (s.frames - 1) : 1.0;
    if (s.part == "claws_back") {
        cairo_rectangle(cr, w / 2 - 5, h * 0.2, 10, h * 0.78);
        SetRgb(cr, Darken(metal, 0.3));
        cairo_fill_preserve(cr);
        SetRgb(cr, palette::kInk);
        cairo_stroke(cr);
        return true;
    }
    const bool front = s.part == "claws_front";
    const double spread = 0.25 + 0.6 * (1 - closed);
    SetRgb(cr, front ? Lighten(metal, 0.2) : metal);
    cairo_set_line_width(cr, front ? 5 : 7);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int sideSign : {-1, 1}) {
        cairo_move_to(cr, w / 2, h * 0.3);
        cairo_line_to(cr, w / 2 + sideSign * w * 0.35 * spread, h * 0.1);
        cairo_line_to(cr, w / 2 + sideSign * w * 0.3 * spread * 0.5, 3);
    }
    cairo_stroke(cr);
    return true;
}

// The node a claw tip leaves in the land: a ring round an open centre.
bool Node(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    SetRgb(cr, FromHex(s.colour));
    cairo_set_line_width(cr, 4);
    cairo_arc(cr, w / 2, h / 2, std::min(w, h) / 2 - 3, 0, 2 * kPi);
    cairo_stroke(cr);
    return true;
}

// The qdot: a spinning golden token.
bool Qdot(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, t = Phase(s, frame) * 2 * kPi;
    const double rx = std::max(2.0, std::fabs(std::cos(t)) * w * 0.35), ry = h * 0.35;
    cairo_save(cr);
    cairo_translate(cr, w / 2, h / 2);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    SetRgb(cr, palette::kCream);
    cairo_set_font_size(cr, h * 0.4);
    cairo_move_to(cr, w / 2 - rx * 0.45, h * 0.64);
    if (rx > w * 0.2)
        cairo_show_text(cr, "Q");
    return true;
}

// The receptacle: a glass vessel (overlay), its dark inside (back), and the fluid that fills
// it over the frames.
bool Receptacle(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    if (s.part == "back") {
        RoundedRect(cr, w * 0.15, h * 0.2, w * 0.7, h * 0.78, 8);
        SetRgb(cr, palette::kShade, 0.8);
        cairo_fill(cr);
        return true;
    }
    if (s.part == "fluid") {
        const double level = s.frames > 1 ? double(frame) / (s.frames - 1) : 1.0;
        const double top = h * 0.95 - level * h * 0.7;
        cairo_rectangle(cr, w * 0.2, top, w * 0.6, h * 0.95 - top);
        SetRgb(cr, FromHex(s.colour), 0.85);
        cairo_fill(cr);
        return true;
    }
    RoundedRect(cr, w * 0.15, h * 0.2, w * 0.7, h * 0.78, 8);
    SetRgb(cr, FromHex(0xd8f0ff), 0.25);
    cairo_fill_preserve(cr);
    SetRgb(cr, FromHex(s.colour));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    SetRgb(cr, FromHex(0xffffff), 0.5 + 0.4 * std::sin(Phase(s, frame) * 2 * kPi));
    cairo_move_to(cr, w * 0.3, h * 0.3);
    cairo_line_to(cr, w * 0.3, h * 0.8);
    cairo_stroke(cr);
    return true;
}

// The gravitize area as the editor shows it: a dashed frame with an arrow down.
bool GravityArea(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    SetRgb(cr, FromHex(s.colour));
    cairo_set_line_width(cr, 3);
    const double dash[] = {6, 4};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_rectangle(cr, 2, 2, w - 4, h - 4);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_move_to(cr, w / 2, h * 0.2);
    cairo_line_to(cr, w / 2, h * 0.75);
    cairo_stroke(cr);
    cairo_move_to(cr, w * 0.35, h * 0.6);
    cairo_line_to(cr, w / 2, h * 0.8);
    cairo_line_to(cr, w * 0.65, h * 0.6);
    cairo_stroke(cr);
    return true;
}

// The black hole: a dark disc with a swirling purple rim.
bool Hole(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, t = Phase(s, frame) * 2 * kPi, r = std::min(w, h) / 2 - 1;
    cairo_pattern_t* disc = cairo_pattern_create_radial(w / 2, h / 2, 0, w / 2, h / 2, r);
    AddStop(disc, 0, FromHex(0x000000), 1);
    AddStop(disc, 0.55, FromHex(0x100018), 1);
    AddStop(disc, 1, FromHex(s.colour), 0);
    cairo_set_source(cr, disc);
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(disc);
    SetRgb(cr, Lighten(FromHex(s.colour), 0.3), 0.8);
    cairo_set_line_width(cr, 2);
    for (int arm = 0; arm < 3; ++arm) {
        const double a0 = t + arm * 2 * kPi / 3;
        cairo_move_to(cr, w / 2 + std::cos(a0) * r * 0.9, h / 2 + std::sin(a0) * r * 0.9);
        for (int i = 1; i <= 10; ++i) {
            const double a = a0 + i * 0.25, rr = r * (0.9 - i * 0.06);
            cairo_line_to(cr, w / 2 + std::cos(a) * rr, h / 2 + std::sin(a) * rr);
        }
        cairo_stroke(cr);
    }
    return true;
}

// The follower: a round ghostly creature; frames 0-4 awake (eyes open, mouth moving), 5-9
// asleep (eyes shut), 10-15 waking.
bool Follower(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const bool asleep = frame >= 5 && frame <= 9;
    const double bob = std::sin(frame * 1.3) * 1.5;
    cairo_arc(cr, w / 2, h / 2 + bob, std::min(w, h) * 0.4, 0, 2 * kPi);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    const double open = asleep ? 0.0 : frame >= 10 ? (frame - 9) / 6.0 : 1.0;
    for (int sideSign : {-1, 1}) {
        const double ex = w / 2 + sideSign * w * 0.14, ey = h * 0.42 + bob;
        cairo_save(cr);
        cairo_translate(cr, ex, ey);
        cairo_scale(cr, 4, std::max(0.5, 4 * open));
        cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
        cairo_restore(cr);
        SetRgb(cr, asleep ? palette::kInk : palette::kCream);
        cairo_fill(cr);
    }
    if (!asleep) {
        cairo_arc(cr, w / 2, h * 0.64 + bob, w * 0.08 * (1 + (frame % 5) * 0.15), 0, kPi);
        SetRgb(cr, palette::kInk);
        cairo_fill(cr);
    }
    return true;
}

// The follower's dig: a solid disc.
bool Dig(cairo_t* cr, const ImageSpec& s, int)
{
    SetRgb(cr, FromHex(s.colour));
    cairo_arc(cr, s.frameWidth / 2.0, s.frameHeight / 2.0, std::min(s.frameWidth, s.frameHeight) / 2.0, 0, 2 * kPi);
    cairo_fill(cr);
    return true;
}

// The walk bug: a beetle with stepping legs, standing on the frame's bottom.
bool Bug(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.5);
    for (int leg = 0; leg < 3; ++leg) {
        const double lx = w * (0.3 + leg * 0.2), swing = ((frame + leg) % 2 ? 3 : -3);
        cairo_move_to(cr, lx, h * 0.6);
        cairo_line_to(cr, lx + swing, h - 1);
    }
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, w / 2, h * 0.5);
    cairo_scale(cr, w * 0.38, h * 0.3);
    cairo_arc(cr, 0, 0, 1, kPi, 2 * kPi);
    cairo_close_path(cr);
    cairo_restore(cr);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_stroke(cr);
    cairo_arc(cr, w * 0.14, h * 0.45, h * 0.12, 0, 2 * kPi);
    cairo_fill(cr);
    return true;
}

// The entanglement machine: two pads on a bar (base), and the arc between them (shock).
bool Entangle(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb metal = FromHex(s.colour);
    if (s.part == "shock") {
        const double t = Phase(s, frame);
        SetRgb(cr, FromHex(0xd0b0ff), 0.9 - 0.5 * t);
        cairo_set_line_width(cr, 2.5);
        const double x0 = w / 2 - 52, x1 = w / 2 + 52, y = h * 0.45;
        cairo_move_to(cr, x0, y);
        for (int i = 1; i <= 12; ++i)
            cairo_line_to(cr, x0 + (x1 - x0) * i / 12.0, y + (((i + frame) % 2) ? -1 : 1) * (4 + 8 * std::sin(t * kPi)));
        cairo_stroke(cr);
        return true;
    }
    cairo_rectangle(cr, 4, h - 12, w - 8, 8);
    SetRgb(cr, Darken(metal, 0.3));
    cairo_fill(cr);
    for (int sideSign : {-1, 1}) {
        const double px = w / 2 + sideSign * 52;
        RoundedRect(cr, px - 14, h - 16, 28, 8, 3);
        SetRgb(cr, metal);
        cairo_fill_preserve(cr);
        SetRgb(cr, palette::kInk);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    cairo_arc(cr, w / 2, h - 18, 10, kPi, 2 * kPi);
    SetRgb(cr, Lighten(metal, 0.3));
    cairo_fill(cr);
    return true;
}

} // namespace

void AddCreatureTrapLooks(LookTable& table)
{
    table["trap-frozen-flimb"] = Frozen;
    table["trap-slug"] = Slug;
    table["trap-particle"] = Orb;
    table["trap-copier"] = Copier;
    table["trap-copier-node"] = Node;
    table["trap-qdot"] = Qdot;
    table["trap-receptacle"] = Receptacle;
    table["trap-gravitize"] = GravityArea;
    table["trap-blackhole"] = Hole;
    table["trap-follower"] = Follower;
    table["trap-dig"] = Dig;
    table["trap-walkbug"] = Bug;
    table["trap-entanglement"] = Entangle;
}

} // namespace artgen
