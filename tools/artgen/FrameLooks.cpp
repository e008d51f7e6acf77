// Framed looks: the nine-piece window frames, the list and tooltip frames and the window
// background. Each frame is drawn whole as rounded rectangles and straight bands (dark
// outline, warm rim, inner line, a gloss band along the top only) at a size that puts the
// wanted piece in one cell, then cut to that cell; so every edge is uniform along the
// direction it is stretched in and the pieces meet without seams.
#include "tools/artgen/Paint.h"

#include <algorithm>

namespace artgen {
namespace {

struct FrameStyle {
    double thickness = 16;   // border width of the pieces
    double radius = 10;
    Rgb rim = palette::kGold;
    bool raised = true;      // raised window, else a recessed list frame
    double bodyAlpha = 1.0;
};

// Draws the whole frame in (0, 0, w, h) with the body colour inside.
void PaintFrame(cairo_t* cr, double w, double h, Rgb body, const FrameStyle& st)
{
    const double r = st.radius, t = st.thickness;
    if (!st.raised) {
        // Recessed: light bevel outside, dark outline, shadow band inside, open middle (the
        // panel shows through, so the list reads as cut into it).
        RoundedRect(cr, 0.5, 1.0, w - 1, h - 1.0, r);
        SetRgb(cr, palette::kCream, 0.35);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
        RoundedRect(cr, 1.0, 1.0, w - 2, h - 2.5, r);
        SetRgb(cr, body, st.bodyAlpha);
        cairo_fill_preserve(cr);
        SetRgb(cr, palette::kInk);
        cairo_set_line_width(cr, 1.4);
        cairo_stroke(cr);
        cairo_save(cr);
        cairo_rectangle(cr, 0, 0, w, t);
        cairo_clip(cr);
        cairo_pattern_t* shadow = cairo_pattern_create_linear(0, 1.5, 0, t);
        AddStop(shadow, 0, palette::kShade, 0.55);
        AddStop(shadow, 1, palette::kShade, 0.0);
        RoundedRect(cr, 1.7, 1.7, w - 3.4, h - 3.9, r - 0.7);
        cairo_set_source(cr, shadow);
        cairo_fill(cr);
        cairo_pattern_destroy(shadow);
        cairo_restore(cr);
        return;
    }
    // Drop shadow, then the body with its outline.
    RoundedRect(cr, 1, 2.5, w - 2, h - 2.5, r);
    SetRgb(cr, palette::kShade, 0.4);
    cairo_fill(cr);
    RoundedRect(cr, 1.5, 1.5, w - 3, h - 3.5, r);
    SetRgb(cr, body, st.bodyAlpha);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    // Warm rim and a thin dark line inside it.
    const double rimInset = std::max(3.0, t * 0.2);
    RoundedRect(cr, rimInset, rimInset, w - 2 * rimInset, h - 2 * rimInset - 1, r - rimInset + 1.5);
    SetRgb(cr, Mix(st.rim, body, 0.15));
    cairo_set_line_width(cr, std::max(1.5, t * 0.12));
    cairo_stroke(cr);
    const double inner = rimInset + std::max(2.0, t * 0.12);
    RoundedRect(cr, inner, inner, w - 2 * inner, h - 2 * inner - 1, std::max(1.0, r - inner + 1.5));
    SetRgb(cr, palette::kInk, 0.55);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // Gloss along the top band only.
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, w, t);
    cairo_clip(cr);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, 2, 0, t);
    AddStop(gloss, 0, {1, 1, 1}, 0.3);
    AddStop(gloss, 1, {1, 1, 1}, 0.0);
    RoundedRect(cr, 2.5, 2.5, w - 5, h - 5.5, r - 1);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);
}

// A nine-piece look; "left2"/"right2" are side pieces with a gold inlay.
Look FrameLook(FrameStyle st)
{
    return [st](cairo_t* cr, const ImageSpec& s, int) {
        const bool inlay = s.part == "left2" || s.part == "right2";
        const std::string part = inlay ? s.part.substr(0, s.part.size() - 1) : s.part;
        FrameStyle style = st;
        // The border width is the piece's own where it shows one.
        if (part == "top-left" || part == "top-right" || part == "bottom-left" || part == "bottom-right")
            style.thickness = std::min(s.frameWidth, s.frameHeight);
        else if (part == "top" || part == "bottom")
            style.thickness = s.frameHeight;
        else if (part == "left" || part == "right")
            style.thickness = s.frameWidth;
        // Every curve stays inside the corner cells (anti-aliasing included).
        style.radius = std::min(style.radius, style.thickness - 3.5);
        const SliceCanvas canvas = Slice9(cr, s, part, style.thickness);
        if (!canvas.valid)
            return false;
        PaintFrame(cr, canvas.width, canvas.height, FromHex(s.colour), style);
        if (inlay) {
            // A gold inlay with a dark groove, running along the side.
            const double x = part == "left" ? style.thickness * 0.5 : canvas.width - style.thickness * 0.5;
            cairo_rectangle(cr, x - 1.5, 0, 3, canvas.height);
            SetRgb(cr, palette::kInk, 0.6);
            cairo_fill(cr);
            cairo_rectangle(cr, x - 0.75, 0, 1.5, canvas.height);
            SetRgb(cr, palette::kGold);
            cairo_fill(cr);
        }
        return true;
    };
}

// The window background: the body colour, lighter in the middle, with a faint grid.
bool WindowGrid(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb body = FromHex(s.colour);
    cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2, h * 0.4, 0, w / 2, h * 0.4, std::max(w, h) * 0.75);
    AddStop(glow, 0, Lighten(body, 0.12));
    AddStop(glow, 1, Darken(body, 0.18));
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    const double cell = std::max(4.0, w / 8);
    for (double x = cell / 2; x < w; x += cell)
        cairo_rectangle(cr, x, 0, 1, h);
    for (double y = cell / 2; y < h; y += cell)
        cairo_rectangle(cr, 0, y, w, 1);
    SetRgb(cr, palette::kCream, 0.06);
    cairo_fill(cr);
    return true;
}

} // namespace

void AddFrameLooks(LookTable& table)
{
    table["window-frame"] = FrameLook({24, 14, palette::kGold, true, 0.97});
    table["window2-frame"] = FrameLook({20, 12, FromHex(0xe98a3c), true, 0.97});
    table["client-frame"] = FrameLook({16, 9, palette::kGold, true, 0.97});
    table["tooltip-frame"] = FrameLook({8, 6, palette::kGold, true, 0.95});
    table["list-frame"] = FrameLook({10, 6, palette::kGold, false, 0.0});
    table["window-grid"] = WindowGrid;
}

} // namespace artgen
