// In-game HUD and screen-frame looks: the frame round a full screen (corners and edge
// strips with a gold inner edge), the belt's morph buttons (face, flip sheet, glass
// overlay, the "not available" marks), the Gulp glyph and the belt pictures of the flimb
// types.
#include "tools/artgen/Paint.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace artgen {
namespace {

// Thickness of the screen frame's bands (design pixels): the strips have them as their
// own size; the corners join them.
constexpr double kFrameSide = 20;
constexpr double kFrameTop = 12;
constexpr double kFrameBottom = 14;

// A band of the frame across `thickness` along +x (vertical band) or +y, outer edge at 0.
void FrameBand(cairo_t* cr, double x, double y, double w, double h, bool vertical, Rgb body)
{
    cairo_pattern_t* shade = vertical ? cairo_pattern_create_linear(x, 0, x + w, 0)
                                      : cairo_pattern_create_linear(0, y, 0, y + h);
    AddStop(shade, 0, Darken(body, 0.45));
    AddStop(shade, 0.55, body);
    AddStop(shade, 1, Lighten(body, 0.18));
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
}

// Draws the top-left corner of a frame whose vertical band is `side` wide and whose
// horizontal band is `top` high; the other corners are this one mirrored.
void FrameCorner(cairo_t* cr, double w, double h, double side, double top, Rgb body)
{
    const double r = std::min(8.0, std::min(w - side, h - top));
    FrameBand(cr, 0, 0, side, h, true, body);
    FrameBand(cr, 0, 0, w, top, false, body);
    // A rounded gusset in the inner corner.
    cairo_move_to(cr, side, top);
    cairo_line_to(cr, side + r, top);
    cairo_arc_negative(cr, side + r, top + r, r, -kPi / 2, kPi);
    cairo_close_path(cr);
    SetRgb(cr, Lighten(body, 0.12));
    cairo_fill(cr);
    // The inner edge: a dark line with gold on it.
    cairo_move_to(cr, side, h);
    cairo_line_to(cr, side, top + r);
    cairo_arc(cr, side + r, top + r, r, kPi, 3 * kPi / 2);
    cairo_line_to(cr, w, top);
    SetRgb(cr, palette::kInk, 0.8);
    cairo_set_line_width(cr, 3.0);
    cairo_stroke_preserve(cr);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    // A rivet.
    const double cx = side / 2, cy = std::max(top / 2, side / 2), rr = std::min(side, top) * 0.3;
    cairo_arc(cr, cx, cy, rr + 1, 0, 2 * kPi);
    SetRgb(cr, palette::kInk, 0.8);
    cairo_fill(cr);
    cairo_pattern_t* ball = cairo_pattern_create_radial(cx - rr / 3, cy - rr / 3, 0.5, cx, cy, rr);
    AddStop(ball, 0, palette::kCream);
    AddStop(ball, 1, palette::kGold);
    cairo_arc(cr, cx, cy, rr, 0, 2 * kPi);
    cairo_set_source(cr, ball);
    cairo_fill(cr);
    cairo_pattern_destroy(ball);
}

bool ScreenBorder(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb body = FromHex(s.colour);
    const bool right = s.part.find("right") != std::string::npos;
    const bool bottom = s.part.find("bottom") != std::string::npos;
    const bool corner = s.part.find('-') != std::string::npos;
    // Mirror so that the piece is drawn as a top or left one.
    cairo_translate(cr, right ? w : 0, bottom ? h : 0);
    cairo_scale(cr, right ? -1 : 1, bottom ? -1 : 1);
    if (corner) {
        FrameCorner(cr, w, h, kFrameSide, bottom ? kFrameBottom : kFrameTop, body);
        return true;
    }
    const bool vertical = s.part == "left" || s.part == "right";
    if (!vertical && s.part != "top" && s.part != "bottom")
        return false;
    FrameBand(cr, 0, 0, w, h, vertical, body);
    if (vertical) {
        cairo_move_to(cr, w, 0);
        cairo_line_to(cr, w, h);
    } else {
        cairo_move_to(cr, 0, h);
        cairo_line_to(cr, w, h);
    }
    SetRgb(cr, palette::kInk, 0.8);
    cairo_set_line_width(cr, 3.0);
    cairo_stroke_preserve(cr);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    return true;
}

// The face of a morph button at (x, y): a plate with a dark well for the flimb and a small
// plate for the count.
void MorphFace(cairo_t* cr, double x, double y, double w, double h, Rgb base, State state)
{
    GlossyBody(cr, x + 1.5, y + 1.5, w - 3, h - 3.5, 9, base, state);
    InsetField(cr, x + 6, y + 6, w - 12, h - 18, 8, Darken(base, 0.7));
    RoundedRect(cr, x + w - 22, y + h - 15, 18, 11, 4);
    SetRgb(cr, Darken(base, 0.55), 0.9);
    cairo_fill(cr);
}

// The closed hatch shown while no morph of the type is left.
void MorphHatch(cairo_t* cr, double x, double y, double w, double h, Rgb base)
{
    const Rgb metal = Mix(Darken(base, 0.35), palette::kDisabled, 0.5);
    GlossyBody(cr, x + 1.5, y + 1.5, w - 3, h - 3.5, 9, metal, State::Normal);
    for (double sy = y + 9; sy < y + h - 8; sy += 7) {
        cairo_rectangle(cr, x + 7, sy, w - 14, 2);
        SetRgb(cr, palette::kInk, 0.45);
        cairo_fill(cr);
    }
}

bool MorphBase(cairo_t* cr, const ImageSpec& s, int frame)
{
    MorphFace(cr, 0, 0, s.frameWidth, s.frameHeight, FromHex(s.colour), StateOfFrame(frame));
    return true;
}

// The flip: the hatch turns over about the middle line and the face comes up; the last
// frame is the face as the button draws it, one pixel in and four down.
bool MorphFlip(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double bw = s.frameWidth - 4, bh = s.frameHeight - 7;
    const double u = s.frames > 1 ? double(frame) / double(std::max(1, s.frames - 1)) : 1.0;
    const double squash = std::abs(std::cos(kPi * u));
    const double cy = 4 + bh / 2;
    if (squash < 0.02)
        return true;
    cairo_save(cr);
    cairo_translate(cr, 0, cy);
    cairo_scale(cr, 1.0, squash);
    cairo_translate(cr, 0, -cy);
    if (u < 0.5)
        MorphHatch(cr, 1, 4, bw, bh, FromHex(s.colour));
    else
        MorphFace(cr, 1, 4, bw, bh, FromHex(s.colour), State::Normal);
    cairo_restore(cr);
    return true;
}

bool MorphOverlay(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    cairo_pattern_t* glass = cairo_pattern_create_linear(0, 3, 0, h * 0.5);
    AddStop(glass, 0, {1, 1, 1}, 0.45);
    AddStop(glass, 1, {1, 1, 1}, 0.0);
    RoundedRect(cr, 4, 3, w - 8, h * 0.45, 7);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
    RoundedRect(cr, 2.5, 2.5, w - 5, h - 5.5, 8);
    SetRgb(cr, palette::kCream, 0.35);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    return true;
}

bool MorphUnavailable(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb red = FromHex(s.colour);
    if (s.part == "underlay") {
        RoundedRect(cr, 2, 2, w - 4, h - 5, 9);
        SetRgb(cr, red);
        cairo_fill(cr);
        return true;
    }
    if (s.part != "overlay")
        return false;
    const double r = std::min(w, h) / 2 - 3;
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * kPi);
    cairo_move_to(cr, w / 2 - r * 0.7, h / 2 + r * 0.7);
    cairo_line_to(cr, w / 2 + r * 0.7, h / 2 - r * 0.7);
    SetRgb(cr, palette::kInk, 0.8);
    cairo_set_line_width(cr, r * 0.32 + 2);
    cairo_stroke_preserve(cr);
    SetRgb(cr, red);
    cairo_set_line_width(cr, r * 0.32);
    cairo_stroke(cr);
    return true;
}

// A white arrow pointing down and forward (tinted with the group's colour when drawn).
bool GulpGlyph(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    cairo_move_to(cr, w * 0.15, h * 0.15);
    cairo_line_to(cr, w * 0.8, h * 0.8);
    cairo_move_to(cr, w * 0.85, h * 0.35);
    cairo_line_to(cr, w * 0.85, h * 0.85);
    cairo_line_to(cr, w * 0.35, h * 0.85);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetRgb(cr, palette::kInk, 0.8);
    cairo_set_line_width(cr, 4.0);
    cairo_stroke_preserve(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 2.0);
    cairo_stroke(cr);
    return true;
}

// Belt pictures: one pictogram per flimb type, drawn in cream with a dark edge over a
// coloured disc.
void Edge(cairo_t* cr, double width)
{
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetRgb(cr, palette::kInk, 0.9);
    cairo_set_line_width(cr, width + 2.4);
    cairo_stroke_preserve(cr);
    SetRgb(cr, palette::kCream);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void Star(cairo_t* cr, double cx, double cy, double outer, double inner, int points)
{
    for (int i = 0; i < 2 * points; ++i) {
        const double a = kPi * i / points - kPi / 2, r = i % 2 ? inner : outer;
        if (i == 0)
            cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

bool BeltIcon(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2, u = std::min(w, h) / 40.0;
    const std::string& type = s.part;
    static const char* const kTypes[] = {"clob", "mold", "nova", "drill", "gulp", "doppel",
                                         "puff", "spin", "atomize", "lop", "walk", "squish"};
    if (std::find(std::begin(kTypes), std::end(kTypes), type) == std::end(kTypes))
        return false;
    // The disc.
    cairo_pattern_t* disc = cairo_pattern_create_radial(cx - 5 * u, cy - 6 * u, 2 * u, cx, cy, 18 * u);
    AddStop(disc, 0, Lighten(FromHex(s.colour), 0.35));
    AddStop(disc, 1, Darken(FromHex(s.colour), 0.2));
    cairo_arc(cr, cx, cy, 18 * u, 0, 2 * kPi);
    cairo_set_source(cr, disc);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(disc);
    SetRgb(cr, palette::kInk, 0.9);
    cairo_set_line_width(cr, 1.5 * u);
    cairo_stroke(cr);

    const double line = 2.6 * u;
    if (type == "clob") { // a fist-like block punching forward
        RoundedRect(cr, cx - 9 * u, cy - 7 * u, 12 * u, 14 * u, 3 * u);
        cairo_move_to(cr, cx + 5 * u, cy - 5 * u);
        cairo_line_to(cr, cx + 11 * u, cy);
        cairo_line_to(cr, cx + 5 * u, cy + 5 * u);
    } else if (type == "mold") { // bricks
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 2; ++col)
                cairo_rectangle(cr, cx - 10 * u + col * 10 * u + (row % 2) * 4 * u - 2 * u, cy + 5 * u - row * 7 * u,
                                9 * u, 5 * u);
    } else if (type == "nova") {
        Star(cr, cx, cy, 13 * u, 5 * u, 8);
    } else if (type == "drill") { // a drill bit pointing down
        cairo_move_to(cr, cx - 6 * u, cy - 11 * u);
        cairo_line_to(cr, cx + 6 * u, cy - 11 * u);
        cairo_line_to(cr, cx, cy + 12 * u);
        cairo_close_path(cr);
        cairo_move_to(cr, cx - 4 * u, cy - 4 * u);
        cairo_line_to(cr, cx + 4 * u, cy - 7 * u);
        cairo_move_to(cr, cx - 2.5 * u, cy + 2 * u);
        cairo_line_to(cr, cx + 2.5 * u, cy);
    } else if (type == "gulp") { // a mouth biting downwards along a diagonal
        cairo_arc(cr, cx - 2 * u, cy - 2 * u, 9 * u, kPi * 0.05, kPi * 1.45);
        cairo_move_to(cr, cx + 1 * u, cy + 1 * u);
        cairo_line_to(cr, cx + 11 * u, cy + 11 * u);
        cairo_move_to(cr, cx + 11 * u, cy + 4 * u);
        cairo_line_to(cr, cx + 11 * u, cy + 11 * u);
        cairo_line_to(cr, cx + 4 * u, cy + 11 * u);
    } else if (type == "doppel") { // two figures
        for (double dx : {-6.0, 6.0}) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx + dx * u, cy - 7 * u, 3.5 * u, 0, 2 * kPi);
            cairo_move_to(cr, cx + dx * u, cy - 3 * u);
            cairo_line_to(cr, cx + dx * u, cy + 11 * u);
        }
    } else if (type == "puff") { // a cloud
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx - 6 * u, cy + 2 * u, 6 * u, kPi * 0.5, kPi * 1.5);
        cairo_arc(cr, cx, cy - 4 * u, 7 * u, kPi, 2 * kPi);
        cairo_arc(cr, cx + 7 * u, cy + 2 * u, 6 * u, kPi * 1.5, kPi * 0.5);
        cairo_close_path(cr);
    } else if (type == "spin") { // a spiral
        for (int i = 0; i <= 40; ++i) {
            const double a = i * 0.4, r = 1.5 * u + i * 0.3 * u;
            if (i == 0)
                cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
            else
                cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        }
    } else if (type == "atomize") { // an atom
        for (int i = 0; i < 3; ++i) {
            cairo_save(cr);
            cairo_translate(cr, cx, cy);
            cairo_rotate(cr, i * kPi / 3);
            cairo_scale(cr, 1.0, 0.38);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, 0, 13 * u, 0, 2 * kPi);
            cairo_restore(cr);
        }
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, 2 * u, 0, 2 * kPi);
    } else if (type == "lop") { // a lobbed shot
        cairo_move_to(cr, cx - 12 * u, cy + 9 * u);
        cairo_curve_to(cr, cx - 6 * u, cy - 16 * u, cx + 6 * u, cy - 16 * u, cx + 12 * u, cy + 9 * u);
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx + 12 * u, cy + 9 * u, 2.5 * u, 0, 2 * kPi);
    } else if (type == "walk") { // two footprints
        for (int i = 0; i < 2; ++i) {
            cairo_save(cr);
            cairo_translate(cr, cx + (i ? 5 : -5) * u, cy + (i ? -4 : 4) * u);
            cairo_scale(cr, 1.0, 1.6);
            cairo_new_sub_path(cr);
            cairo_arc(cr, 0, 0, 3.5 * u, 0, 2 * kPi);
            cairo_restore(cr);
        }
    } else { // squish: a flattened blob with splash marks
        cairo_save(cr);
        cairo_translate(cr, cx, cy + 5 * u);
        cairo_scale(cr, 1.0, 0.35);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 0, 11 * u, 0, 2 * kPi);
        cairo_restore(cr);
        for (double dx : {-9.0, 0.0, 9.0}) {
            cairo_move_to(cr, cx + dx * u, cy - 2 * u);
            cairo_line_to(cr, cx + dx * 1.3 * u, cy - 9 * u);
        }
    }
    Edge(cr, line);
    return true;
}

} // namespace

void AddHudLooks(LookTable& table)
{
    table["screen-border"] = ScreenBorder;
    table["morph-base"] = MorphBase;
    table["morph-flip"] = MorphFlip;
    table["morph-overlay"] = MorphOverlay;
    table["morph-unavailable"] = MorphUnavailable;
    table["gulp-glyph"] = GulpGlyph;
    table["belt-icon"] = BeltIcon;
}

} // namespace artgen
