#include "tools/artgen/Paint.h"

#include <algorithm>

namespace artgen {

Rgb FromHex(uint32_t rgb)
{
    return {double((rgb >> 16) & 0xFF) / 255.0, double((rgb >> 8) & 0xFF) / 255.0, double(rgb & 0xFF) / 255.0};
}

Rgb Mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Lighten(Rgb c, double t) { return Mix(c, {1, 1, 1}, t); }
Rgb Darken(Rgb c, double t) { return Mix(c, {0, 0, 0}, t); }

void SetRgb(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void AddStop(cairo_pattern_t* pattern, double at, Rgb c, double alpha)
{
    cairo_pattern_add_color_stop_rgba(pattern, at, c.r, c.g, c.b, alpha);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    r = std::max(0.0, std::min({r, w / 2, h / 2}));
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void TopRoundedRect(cairo_t* cr, double x, double y, double w, double h, double r)
{
    r = std::max(0.0, std::min({r, w / 2, h}));
    cairo_new_sub_path(cr);
    cairo_move_to(cr, x, y + h);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_line_to(cr, x + w, y + h);
    cairo_close_path(cr);
}

State StateOfFrame(int frame)
{
    switch (frame) {
    case 1: return State::Hover;
    case 2: return State::Pressed;
    case 3: return State::Disabled;
    default: return State::Normal;
    }
}

Rgb StateColour(Rgb base, State state)
{
    switch (state) {
    case State::Hover: return Lighten(base, 0.12);
    case State::Pressed: return Darken(base, 0.22);
    case State::Disabled: return Mix(base, palette::kDisabled, 0.8);
    default: return base;
    }
}

void GlossyBody(cairo_t* cr, double x, double y, double w, double h, double r, Rgb base, State state)
{
    const Rgb body = StateColour(base, state);
    const bool pressed = state == State::Pressed;
    // Soft drop shadow below the body (none when pressed: the body sits lower).
    if (!pressed) {
        RoundedRect(cr, x, y + 1.5, w, h, r);
        SetRgb(cr, palette::kShade, 0.35);
        cairo_fill(cr);
    }
    const double top = pressed ? y + 1 : y;
    const double height = h - 1.5;
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, top, 0, top + height);
    AddStop(fill, 0, pressed ? Darken(body, 0.25) : Lighten(body, 0.35));
    AddStop(fill, 0.5, body);
    AddStop(fill, 1, pressed ? Lighten(body, 0.1) : Darken(body, 0.3));
    RoundedRect(cr, x + 0.5, top + 0.5, w - 1, height - 1, r);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    SetRgb(cr, state == State::Hover ? Mix(palette::kInk, palette::kGold, 0.45) : palette::kInk);
    cairo_set_line_width(cr, state == State::Hover ? 1.6 : 1.3);
    cairo_stroke(cr);
    // Light inner rim.
    RoundedRect(cr, x + 1.8, top + 1.8, w - 3.6, height - 3.6, std::max(0.0, r - 1.3));
    SetRgb(cr, palette::kCream, state == State::Disabled ? 0.12 : 0.28);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    if (pressed || state == State::Disabled)
        return;
    // Gloss: a white fade over the upper half, inset from the outline.
    const double gy = top + 2.5, gh = (height - 5) * 0.48;
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, gy, 0, gy + gh);
    AddStop(gloss, 0, {1, 1, 1}, state == State::Hover ? 0.55 : 0.42);
    AddStop(gloss, 1, {1, 1, 1}, 0.04);
    RoundedRect(cr, x + 3, gy, w - 6, gh, std::max(0.0, r - 3));
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
}

void InsetField(cairo_t* cr, double x, double y, double w, double h, double r, Rgb base)
{
    // Light lower rim, so the field looks pressed into the panel.
    RoundedRect(cr, x + 0.5, y + 1.0, w - 1, h - 1.0, r);
    SetRgb(cr, palette::kCream, 0.35);
    cairo_fill(cr);
    RoundedRect(cr, x + 0.5, y + 0.5, w - 1, h - 2.0, r);
    SetRgb(cr, base);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    // Inner shadow along the top.
    cairo_pattern_t* shadow = cairo_pattern_create_linear(0, y + 1, 0, y + std::min(7.0, h / 2));
    AddStop(shadow, 0, palette::kShade, 0.6);
    AddStop(shadow, 1, palette::kShade, 0.0);
    RoundedRect(cr, x + 1.2, y + 1.2, w - 2.4, h - 3.4, std::max(0.0, r - 1));
    cairo_set_source(cr, shadow);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);
}

SliceCanvas Slice3(cairo_t* cr, const ImageSpec& s, const std::string& part, double cap)
{
    SliceCanvas canvas;
    const double mid = 16;
    canvas.height = s.frameHeight;
    if (part == "left") {
        canvas.width = 2 * s.frameWidth + mid;
    } else if (part == "right") {
        canvas.width = 2 * s.frameWidth + mid;
        cairo_translate(cr, -(s.frameWidth + mid), 0);
    } else if (part == "mid") {
        canvas.width = 2 * cap + s.frameWidth;
        cairo_translate(cr, -cap, 0);
    } else {
        return canvas;
    }
    canvas.valid = true;
    return canvas;
}

SliceCanvas Slice9(cairo_t* cr, const ImageSpec& s, const std::string& part, double thickness)
{
    SliceCanvas canvas;
    // Column and row of the piece, and which of its sides are borders.
    int column = -1, row = -1;
    static const char* const kParts[3][3] = {
        {"top-left", "top", "top-right"}, {"left", "fill", "right"}, {"bottom-left", "bottom", "bottom-right"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (part == kParts[r][c])
                row = r, column = c;
    if (row < 0)
        return canvas;
    const double bw = column == 1 ? thickness : s.frameWidth;  // border column width
    const double bh = row == 1 ? thickness : s.frameHeight;    // border row height
    const double mw = column == 1 ? s.frameWidth : 16;         // middle column width
    const double mh = row == 1 ? s.frameHeight : 16;           // middle row height
    canvas.width = 2 * bw + mw;
    canvas.height = 2 * bh + mh;
    const double xs[3] = {0, bw, bw + mw}, ys[3] = {0, bh, bh + mh};
    cairo_translate(cr, -xs[column], -ys[row]);
    canvas.valid = true;
    return canvas;
}

} // namespace artgen
