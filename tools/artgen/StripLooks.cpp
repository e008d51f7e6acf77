// Three-piece looks: stretched buttons, title tablets, edit fields, menu bars, tabs, and the
// row strips of lists and grids. Each is drawn whole as one glossy pill or plate (dark
// outline, vertical gradient, light inner rim, gloss over the upper half) and cut into left
// cap, middle and right cap; the middle is straight, so it stretches cleanly. State strips
// repeat the shape per frame: normal, hover (lighter, warm outline), pressed (darker,
// lowered, no gloss), disabled (greyed).
#include "tools/artgen/Paint.h"

#include <algorithm>

namespace artgen {
namespace {

// Paints the whole shape (w x h) for a frame; variant is what follows "mid-" in the part.
using StripPainter = std::function<void(cairo_t*, double w, double h, Rgb colour, int frame, const std::string& variant)>;

Look StripLook(double cap, StripPainter paint)
{
    return [cap, paint](cairo_t* cr, const ImageSpec& s, int frame) {
        std::string part = s.part, variant;
        if (part.rfind("mid-", 0) == 0)
            variant = part.substr(4), part = "mid";
        const SliceCanvas canvas = Slice3(cr, s, part, cap);
        if (!canvas.valid)
            return false;
        paint(cr, canvas.width, canvas.height, FromHex(s.colour), frame, variant);
        return true;
    };
}

void PillButton(cairo_t* cr, double w, double h, Rgb colour, int frame, const std::string&)
{
    GlossyBody(cr, 1, 1, w - 2, h - 2.5, (h - 3) / 2, colour, StateOfFrame(frame));
}

void Tablet(cairo_t* cr, double w, double h, Rgb colour, int, const std::string&)
{
    GlossyBody(cr, 1, 1, w - 2, h - 2, 10, colour, State::Normal);
    // A gold hairline inside the plate.
    RoundedRect(cr, 4.5, 4.5, w - 9, h - 10, 7);
    SetRgb(cr, palette::kGold, 0.55);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

void EditField(cairo_t* cr, double w, double h, Rgb colour, int, const std::string&)
{
    InsetField(cr, 0, 0, w, h, 5, colour);
}

void MenuBar(cairo_t* cr, double w, double h, Rgb colour, int, const std::string& variant)
{
    Rgb body = colour;
    State state = State::Normal;
    if (variant == "hover")
        state = State::Hover;
    else if (variant == "on")
        body = Mix(colour, FromHex(0xe0782a), 0.75);
    GlossyBody(cr, 1, 1, w - 2, h - 2.5, 8, body, state);
    if (variant == "on") {
        // A lit underline marks the checked item.
        cairo_rectangle(cr, 0, h - 6, w, 2);
        SetRgb(cr, palette::kGold);
        cairo_fill(cr);
    }
}

// A tab with rounded top corners; lit tabs are orange, the others dark.
void TabShape(cairo_t* cr, double w, double h, Rgb body, bool lit)
{
    const double r = std::min(9.0, h / 2);
    TopRoundedRect(cr, 1, 1, w - 2, h - 1, r);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 1, 0, h);
    AddStop(fill, 0, Lighten(body, lit ? 0.35 : 0.2));
    AddStop(fill, 1, Darken(body, 0.2));
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.3);
    cairo_stroke(cr);
    TopRoundedRect(cr, 2.8, 2.8, w - 5.6, h + 4, r - 1.8);
    SetRgb(cr, lit ? palette::kCream : palette::kGold, lit ? 0.6 : 0.45);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    if (lit) {
        cairo_pattern_t* gloss = cairo_pattern_create_linear(0, 3, 0, h * 0.5);
        AddStop(gloss, 0, {1, 1, 1}, 0.45);
        AddStop(gloss, 1, {1, 1, 1}, 0.03);
        TopRoundedRect(cr, 4, 4, w - 8, h * 0.45, r - 3);
        cairo_set_source(cr, gloss);
        cairo_fill(cr);
        cairo_pattern_destroy(gloss);
    }
}

void Tab(cairo_t* cr, double w, double h, Rgb colour, int, const std::string&)
{
    TabShape(cr, w, h, colour, false);
}

// Tab button pieces: "fill-off" is the middle of a dark tab; "fill-on" lights it orange,
// fading back to the dark body at both ends so it meets the dark caps softly.
Look TabButtonLook()
{
    return [](cairo_t* cr, const ImageSpec& s, int) {
        const bool fill = s.part == "fill-on" || s.part == "fill-off";
        const SliceCanvas canvas = Slice3(cr, s, fill ? "mid" : s.part, 14);
        if (!canvas.valid)
            return false;
        const Rgb dark = FromHex(s.colour);
        TabShape(cr, canvas.width, canvas.height, dark, false);
        if (s.part != "fill-on")
            return true;
        // The lit tab, drawn through a mask that fades it out towards the piece's ends.
        cairo_push_group(cr);
        TabShape(cr, canvas.width, canvas.height, FromHex(0xe0782a), true);
        cairo_pop_group_to_source(cr);
        cairo_pattern_t* fade = cairo_pattern_create_linear(14, 0, 14 + s.frameWidth, 0);
        cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 0);
        cairo_pattern_add_color_stop_rgba(fade, 0.15, 0, 0, 0, 1);
        cairo_pattern_add_color_stop_rgba(fade, 0.85, 0, 0, 0, 1);
        cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0);
        cairo_mask(cr, fade);
        cairo_pattern_destroy(fade);
        return true;
    };
}

// Row strips, stretched both ways: straight horizontal bands only.
bool GridRow(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb body = FromHex(s.colour);
    if (s.part == "divider") {
        // A groove: dark line beside a light one.
        cairo_rectangle(cr, 0, 0, w / 2, h);
        SetRgb(cr, palette::kShade, 0.7);
        cairo_fill(cr);
        cairo_rectangle(cr, w / 2, 0, w / 2, h);
        SetRgb(cr, palette::kCream, 0.25);
        cairo_fill(cr);
        return true;
    }
    const bool header = s.part == "header";
    if (!header && s.part != "row")
        return false;
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(fill, 0, Lighten(body, header ? 0.3 : 0.05));
    AddStop(fill, header ? 0.5 : 1.0, body);
    if (header)
        AddStop(fill, 1, Darken(body, 0.3));
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
    cairo_rectangle(cr, 0, 0, w, 1);
    SetRgb(cr, palette::kCream, header ? 0.45 : 0.08);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, h - 1, w, 1);
    SetRgb(cr, palette::kShade, header ? 0.8 : 0.35);
    cairo_fill(cr);
    return true;
}

// The highlight under a list row: a translucent glossy band with lit edges.
bool ListHighlight(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb body = FromHex(s.colour);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(fill, 0, Lighten(body, 0.3), 0.85);
    AddStop(fill, 0.5, body, 0.7);
    AddStop(fill, 1, Darken(body, 0.2), 0.8);
    cairo_rectangle(cr, 0, 1, w, h - 2);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
    cairo_rectangle(cr, 0, 0, w, 1);
    SetRgb(cr, palette::kGold, 0.9);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, h - 1, w, 1);
    SetRgb(cr, Darken(body, 0.4), 0.9);
    cairo_fill(cr);
    return true;
}

} // namespace

void AddStripLooks(LookTable& table)
{
    table["pill-button"] = StripLook(42, PillButton);
    table["tablet"] = StripLook(24, Tablet);
    table["edit-field"] = StripLook(10, EditField);
    table["menu-bar"] = StripLook(16, MenuBar);
    table["tab"] = StripLook(14, Tab);
    table["tab-button"] = TabButtonLook();
    table["grid-row"] = GridRow;
    table["list-highlight"] = ListHighlight;
}

} // namespace artgen
