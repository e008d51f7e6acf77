// Small control looks: check boxes, arrow buttons, scroll bar and slider parts, the close
// button, the door leaves and the group antlers. They share the skin's recipe: a dark warm
// outline, a vertical gradient body with a light inner rim and gloss on top, and cream
// symbols with a dark edge so they read on any body. State frames run normal, hover,
// pressed (and disabled where a strip has a fourth frame).
#include "tools/artgen/Paint.h"

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

// A cream symbol path stroked with a dark edge under it.
void StrokeSymbol(cairo_t* cr, double width)
{
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetRgb(cr, palette::kInk, 0.85);
    cairo_set_line_width(cr, width + 2.2);
    cairo_stroke_preserve(cr);
    SetRgb(cr, palette::kCream);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// A chevron pointing up (dir -1) or down (dir +1) centred on (cx, cy).
void Chevron(cairo_t* cr, double cx, double cy, double size, int dir)
{
    cairo_move_to(cr, cx - size, cy - dir * size * 0.5);
    cairo_line_to(cr, cx, cy + dir * size * 0.5);
    cairo_line_to(cr, cx + size, cy - dir * size * 0.5);
}

bool CheckBox(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    if (s.part != "on" && s.part != "off")
        return false;
    InsetField(cr, 0, 0, w, h, 5, FromHex(0x1f1519));
    if (s.part == "on") {
        GlossyBody(cr, 3, 3, w - 6, h - 6.5, 3.5, FromHex(s.colour), State::Normal);
        cairo_move_to(cr, w * 0.28, h * 0.5);
        cairo_line_to(cr, w * 0.44, h * 0.66);
        cairo_line_to(cr, w * 0.74, h * 0.3);
        StrokeSymbol(cr, std::max(2.0, w * 0.12));
    }
    return true;
}

// A round arrow button; frames: normal, hover, pressed.
bool CollapseArrow(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const int dir = s.part == "down" ? 1 : s.part == "up" ? -1 : 0;
    if (!dir)
        return false;
    const State state = StateOfFrame(frame);
    const double d = std::min(w, h) - 2;
    GlossyBody(cr, (w - d) / 2, (h - d) / 2, d, d, d / 2, FromHex(s.colour), state);
    const double drop = state == State::Pressed ? 1 : 0;
    Chevron(cr, w / 2, h / 2 - 0.5 + drop, d * 0.22, dir);
    StrokeSymbol(cr, std::max(1.6, d * 0.1));
    return true;
}

bool ScrollArrow(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const int dir = s.part == "down" ? 1 : s.part == "up" ? -1 : 0;
    if (!dir)
        return false;
    GlossyBody(cr, 1, 1, w - 2, h - 2.5, 5, FromHex(s.colour), StateOfFrame(frame));
    // A filled triangle with a dark edge.
    const double cx = w / 2, cy = h / 2 - 0.5, size = w * 0.24;
    cairo_move_to(cr, cx - size, cy - dir * size * 0.55);
    cairo_line_to(cr, cx + size, cy - dir * size * 0.55);
    cairo_line_to(cr, cx, cy + dir * size * 0.6);
    cairo_close_path(cr);
    SetRgb(cr, palette::kInk, 0.85);
    cairo_set_line_width(cr, 2.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    SetRgb(cr, palette::kCream);
    cairo_fill(cr);
    return true;
}

// The scroll track: a recessed vertical groove (straight, stretched vertically).
bool ScrollTrack(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, inset = std::round(w * 0.22);
    cairo_pattern_t* groove = cairo_pattern_create_linear(inset, 0, w - inset, 0);
    AddStop(groove, 0, palette::kShade, 0.95);
    AddStop(groove, 0.35, Lighten(FromHex(s.colour), 0.05), 0.9);
    AddStop(groove, 1, FromHex(s.colour), 0.9);
    cairo_rectangle(cr, inset, 0, w - 2 * inset, h);
    cairo_set_source(cr, groove);
    cairo_fill(cr);
    cairo_pattern_destroy(groove);
    cairo_rectangle(cr, inset - 1, 0, 1, h);
    SetRgb(cr, palette::kInk);
    cairo_fill(cr);
    cairo_rectangle(cr, w - inset, 0, 1, h);
    SetRgb(cr, palette::kCream, 0.3);
    cairo_fill(cr);
    return true;
}

// The grip: a glossy vertical bar ("mid", stretched), collars at its ends ("end") and a
// ridged handle centred on it ("grip"). All shading runs across the bar.
bool ScrollGrip(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, x0 = 3, x1 = w - 3;
    const Rgb body = FromHex(s.colour);
    auto across = [&](Rgb c) {
        cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
        AddStop(p, 0, Lighten(c, 0.35));
        AddStop(p, 0.45, c);
        AddStop(p, 1, Darken(c, 0.35));
        return p;
    };
    if (s.part == "mid" || s.part == "end") {
        const bool end = s.part == "end";
        if (end)
            RoundedRect(cr, x0, 0.5, x1 - x0, h - 1, std::min(3.0, h / 2));
        else
            cairo_rectangle(cr, x0, 0, x1 - x0, h);
        cairo_pattern_t* p = across(end ? Darken(body, 0.15) : body);
        cairo_set_source(cr, p);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(p);
        if (end) {
            SetRgb(cr, palette::kInk);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke(cr);
        } else {
            cairo_new_path(cr);
            cairo_rectangle(cr, x0 - 0.6, 0, 1.2, h);
            cairo_rectangle(cr, x1 - 0.6, 0, 1.2, h);
            SetRgb(cr, palette::kInk);
            cairo_fill(cr);
            cairo_rectangle(cr, x0 + 2, 0, 2, h);
            SetRgb(cr, {1, 1, 1}, 0.3);
            cairo_fill(cr);
        }
        return true;
    }
    if (s.part != "grip")
        return false;
    for (int i = 0; i < 3; ++i) {
        const double y = h / 2 - 4 + i * 3.5;
        cairo_rectangle(cr, w * 0.3, y, w * 0.4, 1.2);
        SetRgb(cr, palette::kInk, 0.8);
        cairo_fill(cr);
        cairo_rectangle(cr, w * 0.3, y + 1.2, w * 0.4, 1.0);
        SetRgb(cr, palette::kCream, 0.7);
        cairo_fill(cr);
    }
    return true;
}

// Slider: a recessed horizontal groove and a glossy knob with grip lines.
bool Slider(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    if (s.part == "groove") {
        InsetField(cr, 0, 0, w, h, h / 2, FromHex(s.colour));
        return true;
    }
    if (s.part != "knob")
        return false;
    GlossyBody(cr, 1, 1, w - 2, h - 2.5, 5, FromHex(s.colour), State::Normal);
    for (int i = -1; i <= 1; ++i) {
        const double x = w / 2 + i * 3 - 0.5;
        cairo_rectangle(cr, x, h * 0.3, 1, h * 0.4);
        SetRgb(cr, palette::kInk, 0.7);
        cairo_fill(cr);
    }
    return true;
}

// The window's close button: a glossy red disc with a cream cross; frame 0 normal, 1 lit.
bool CloseButton(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, d = std::min(w, h) - 2;
    GlossyBody(cr, (w - d) / 2, (h - d) / 2, d, d, d / 2, FromHex(s.colour), frame ? State::Hover : State::Normal);
    const double cx = w / 2, cy = h / 2 - 0.5, a = d * 0.2;
    cairo_move_to(cr, cx - a, cy - a);
    cairo_line_to(cr, cx + a, cy + a);
    cairo_move_to(cr, cx + a, cy - a);
    cairo_line_to(cr, cx - a, cy + a);
    StrokeSymbol(cr, std::max(2.0, d * 0.12));
    return true;
}

// A door leaf whose inner edge meets the other leaf; the right leaf mirrors the left one.
// The frames pulse a lamp on the half emblem at the inner edge.
bool DoorLeaf(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    if (s.part == "right") {
        cairo_translate(cr, w, 0);
        cairo_scale(cr, -1, 1);
    } else if (s.part != "left") {
        return false;
    }
    const Rgb body = FromHex(s.colour);
    // Leaf: rounded on the outer side, square where the leaves meet (right edge here).
    const double r = 14;
    cairo_new_sub_path(cr);
    cairo_move_to(cr, w, 1);
    cairo_line_to(cr, w, h - 1);
    cairo_arc(cr, 1 + r, h - 1 - r, r, kPi / 2, kPi);
    cairo_arc(cr, 1 + r, 1 + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, w, 0);
    AddStop(fill, 0, Darken(body, 0.25));
    AddStop(fill, 0.6, body);
    AddStop(fill, 1, Lighten(body, 0.15));
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Two recessed panels with gold trim.
    for (int i = 0; i < 2; ++i) {
        const double py = i ? h * 0.58 : h * 0.08, ph = h * 0.34;
        RoundedRect(cr, w * 0.14, py, w * 0.62, ph, 8);
        SetRgb(cr, Darken(body, 0.25));
        cairo_fill_preserve(cr);
        SetRgb(cr, palette::kGold, 0.8);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    // The half emblem with the lamp, brightness following the frame.
    const double pulse = 0.5 + 0.5 * std::cos(2 * kPi * frame / std::max(1, s.frames));
    const double er = w * 0.3;
    cairo_arc(cr, w, h / 2, er, kPi / 2, 3 * kPi / 2);
    cairo_close_path(cr);
    SetRgb(cr, palette::kInk);
    cairo_fill(cr);
    cairo_pattern_t* lamp = cairo_pattern_create_radial(w, h / 2, 0, w, h / 2, er - 3);
    AddStop(lamp, 0, Lighten(palette::kGold, 0.3 + 0.5 * pulse));
    AddStop(lamp, 0.7, palette::kGold, 0.55 + 0.45 * pulse);
    AddStop(lamp, 1, Darken(palette::kGold, 0.5));
    cairo_arc(cr, w, h / 2, er - 3, kPi / 2, 3 * kPi / 2);
    cairo_close_path(cr);
    cairo_set_source(cr, lamp);
    cairo_fill(cr);
    cairo_pattern_destroy(lamp);
    // Gloss down the leaf.
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, 0, 0, h * 0.5);
    AddStop(gloss, 0, {1, 1, 1}, 0.22);
    AddStop(gloss, 1, {1, 1, 1}, 0.0);
    cairo_rectangle(cr, 4, 4, w - 8, h * 0.5);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    return true;
}

// The group's antlers: two branching beams in the group colour with a dark edge.
bool Antlers(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, u = std::min(w, h) / 48.0;
    const Rgb colour = FromHex(s.colour);
    auto beams = [&](double side) {
        const double cx = w / 2;
        // Main beam, sweeping out and up.
        cairo_move_to(cr, cx + side * 4 * u, h - 6 * u);
        cairo_curve_to(cr, cx + side * 10 * u, h - 14 * u, cx + side * 20 * u, h - 20 * u, cx + side * 18 * u, 6 * u);
        // Tines.
        cairo_move_to(cr, cx + side * 12.5 * u, h - 17 * u);
        cairo_line_to(cr, cx + side * 7 * u, h - 28 * u);
        cairo_move_to(cr, cx + side * 18 * u, h - 26 * u);
        cairo_line_to(cr, cx + side * 11 * u, 12 * u);
        cairo_move_to(cr, cx + side * 18.5 * u, h - 30 * u);
        cairo_line_to(cr, cx + side * 22.5 * u, 9 * u);
    };
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int pass = 0; pass < 3; ++pass) {
        if (pass == 2)
            cairo_translate(cr, -0.8 * u, -0.8 * u); // the shine sits up and left
        beams(-1);
        beams(1);
        if (pass == 0)
            SetRgb(cr, palette::kInk), cairo_set_line_width(cr, 7 * u);
        else if (pass == 1)
            SetRgb(cr, colour), cairo_set_line_width(cr, 4.2 * u);
        else
            SetRgb(cr, Lighten(colour, 0.55), 0.7), cairo_set_line_width(cr, 1.3 * u);
        cairo_stroke(cr);
    }
    cairo_translate(cr, 0.8 * u, 0.8 * u);
    // The band that joins the beams.
    RoundedRect(cr, w / 2 - 8 * u, h - 9 * u, 16 * u, 6 * u, 3 * u);
    SetRgb(cr, Darken(colour, 0.2));
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.5 * u);
    cairo_stroke(cr);
    return true;
}

} // namespace

void AddControlLooks(LookTable& table)
{
    table["check-box"] = CheckBox;
    table["collapse-arrow"] = CollapseArrow;
    table["scroll-arrow"] = ScrollArrow;
    table["scroll-track"] = ScrollTrack;
    table["scroll-grip"] = ScrollGrip;
    table["slider"] = Slider;
    table["close-button"] = CloseButton;
    table["door-leaf"] = DoorLeaf;
    table["antlers"] = Antlers;
}

} // namespace artgen
