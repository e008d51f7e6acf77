// Looks of the playback controls (the tape-recorder panel, its clock window and its round
// buttons with the transport symbols) and of the glowing ribbon behind the closing
// cutscene's texts.
#include "tools/artgen/Paint.h"
#include "tools/artgen/Symbols.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

namespace artgen {
namespace {

// The panel: a brushed plate with a rounded top, a groove for the position slider along its
// top edge and a lit rim.
bool VcrBase(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb base = FromHex(s.colour);
    TopRoundedRect(cr, 1, 1, w - 2, h - 1, 16);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(fill, 0, Lighten(base, 0.25));
    AddStop(fill, 0.35, base);
    AddStop(fill, 1, Darken(base, 0.45));
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    SetRgb(cr, palette::kInk, 0.95);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Fine horizontal brushing.
    SetRgb(cr, Lighten(base, 0.4), 0.08);
    cairo_set_line_width(cr, 1);
    for (double y = 36; y < h - 3; y += 3) {
        cairo_move_to(cr, 6, y + 0.5);
        cairo_line_to(cr, w - 6, y + 0.5);
    }
    cairo_stroke(cr);
    // The slider's recess along the top.
    InsetField(cr, 22, 4, w - 50, 26, 8, Darken(base, 0.5));
    // A gold rim just under the recess.
    SetRgb(cr, palette::kGold, 0.55);
    cairo_rectangle(cr, 12, 33, w - 24, 1.2);
    cairo_fill(cr);
    return true;
}

// The clock window: a dark recessed display with a faint green glow.
bool VcrClock(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    InsetField(cr, 1, 1, w - 2, h - 2, 6, FromHex(s.colour));
    cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2, h / 2, 2, w / 2, h / 2, w / 2);
    AddStop(glow, 0, FromHex(0x3fd07a), 0.18);
    AddStop(glow, 1, FromHex(0x3fd07a), 0.0);
    RoundedRect(cr, 3, 3, w - 6, h - 6, 5);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    return true;
}

void Triangle(cairo_t* cr, const Box& b, double x0, double x1, double half)
{
    cairo_move_to(cr, b.X(x0), b.Y(0.5 - half));
    cairo_line_to(cr, b.X(x1), b.Y(0.5));
    cairo_line_to(cr, b.X(x0), b.Y(0.5 + half));
    cairo_close_path(cr);
}

void Bar(cairo_t* cr, const Box& b, double x, double width, double half)
{
    cairo_rectangle(cr, b.X(x), b.Y(0.5 - half), b.L(width), b.L(2 * half));
}

// The transport symbol of a button part, as a path.
void TransportSymbol(cairo_t* cr, const Box& b, const std::string& part)
{
    if (part == "play") {
        Triangle(cr, b, 0.34, 0.74, 0.24);
    } else if (part == "pause") {
        Bar(cr, b, 0.3, 0.14, 0.22);
        Bar(cr, b, 0.56, 0.14, 0.22);
    } else if (part == "ff") {
        Triangle(cr, b, 0.2, 0.52, 0.2);
        Triangle(cr, b, 0.5, 0.82, 0.2);
    } else if (part == "rew") {
        Triangle(cr, b, 0.8, 0.48, 0.2);
        Triangle(cr, b, 0.5, 0.18, 0.2);
    } else if (part == "back") { // to the start: a bar and a triangle pointing left
        Bar(cr, b, 0.24, 0.1, 0.2);
        Triangle(cr, b, 0.76, 0.36, 0.2);
    } else if (part == "skip") { // a jump ahead: a triangle and a bar
        Triangle(cr, b, 0.24, 0.64, 0.2);
        Bar(cr, b, 0.66, 0.1, 0.2);
    } else if (part == "exit") { // a door frame with an arrow leaving it
        cairo_rectangle(cr, b.X(0.2), b.Y(0.24), b.L(0.08), b.L(0.52));
        cairo_rectangle(cr, b.X(0.44), b.Y(0.24), b.L(0.08), b.L(0.52));
        cairo_rectangle(cr, b.X(0.28), b.Y(0.24), b.L(0.16), b.L(0.08));
        cairo_rectangle(cr, b.X(0.28), b.Y(0.68), b.L(0.16), b.L(0.08));
        Bar(cr, b, 0.56, 0.14, 0.05);
        Triangle(cr, b, 0.68, 0.86, 0.14);
    } else if (part == "start") { // a server: two stacked boxes with lights and a play mark
        RoundedRect(cr, b.X(0.2), b.Y(0.24), b.L(0.4), b.L(0.22), b.L(0.04));
        RoundedRect(cr, b.X(0.2), b.Y(0.54), b.L(0.4), b.L(0.22), b.L(0.04));
        Triangle(cr, b, 0.66, 0.84, 0.14);
    }
}

// Round transport buttons: a glossy disc (the colour is the button's) with the symbol.
bool VcrButton(cairo_t* cr, const ImageSpec& s, int)
{
    static const char* const kParts[] = {"play", "pause", "ff", "rew", "back", "skip", "exit", "start"};
    if (std::find(std::begin(kParts), std::end(kParts), s.part) == std::end(kParts))
        return false;
    const double w = s.frameWidth, h = s.frameHeight, d = std::min(w, h) - 2;
    const Box b = FrameBox(s, 0.1);
    GlossyBody(cr, (w - d) / 2, (h - d) / 2, d, d, d / 2, FromHex(s.colour), State::Normal);
    cairo_new_path(cr);
    TransportSymbol(cr, b, s.part);
    SetRgb(cr, palette::kCream);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk, 0.8);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    return true;
}

// A soft horizontal band of light, brightest along its middle and fading to nothing at
// its ends and edges (drawn large behind text).
bool RibbonGlow(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb c = FromHex(s.colour);
    cairo_pattern_t* across = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(across, 0, c, 0.0);
    AddStop(across, 0.3, c, 0.45);
    AddStop(across, 0.5, Lighten(c, 0.6), 0.9);
    AddStop(across, 0.7, c, 0.45);
    AddStop(across, 1, c, 0.0);
    cairo_pattern_t* along = cairo_pattern_create_linear(0, 0, w, 0);
    cairo_pattern_add_color_stop_rgba(along, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(along, 0.2, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(along, 0.8, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(along, 1, 0, 0, 0, 0);
    cairo_set_source(cr, across);
    cairo_mask(cr, along);
    cairo_pattern_destroy(across);
    cairo_pattern_destroy(along);
    return true;
}

} // namespace

void AddPlaybackLooks(LookTable& table)
{
    table["vcr-base"] = VcrBase;
    table["vcr-clock"] = VcrClock;
    table["vcr-button"] = VcrButton;
    table["ribbon-glow"] = RibbonGlow;
}

} // namespace artgen
