#pragma once
// Drawing helpers shared by the looks: colours, rounded shapes, glossy bodies, the button
// states and the slicing of one whole shape into the pieces of a stretched widget.
#include "tools/artgen/Looks.h"

#include <cairo.h>

namespace artgen {

constexpr double kPi = 3.14159265358979;

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb FromHex(uint32_t rgb);
Rgb Mix(Rgb a, Rgb b, double t); // t = 0 gives a, 1 gives b
Rgb Lighten(Rgb c, double t);
Rgb Darken(Rgb c, double t);
void SetRgb(cairo_t* cr, Rgb c, double alpha = 1.0);
void AddStop(cairo_pattern_t* pattern, double at, Rgb c, double alpha = 1.0);

// The skin's fixed colours: outlines, rims and light.
namespace palette {
inline const Rgb kInk = FromHex(0x2a170f);
inline const Rgb kGold = FromHex(0xf2b447);
inline const Rgb kCream = FromHex(0xfff1d2);
inline const Rgb kShade = FromHex(0x120a08);
inline const Rgb kDisabled = FromHex(0x7d7573);
} // namespace palette

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A rectangle with only its top corners rounded.
void TopRoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// Widget states drawn by state strips, in frame order.
enum class State { Normal, Hover, Pressed, Disabled };
State StateOfFrame(int frame);
// The body colour of a state.
Rgb StateColour(Rgb base, State state);

// A glossy pill or plate body at (x, y, w, h) with radius r: dark outline, vertical
// gradient, a light inner rim and a soft gloss over the upper half. Pressed bodies are
// darker at the top and have no gloss; hovered ones get a warm glow in the outline.
void GlossyBody(cairo_t* cr, double x, double y, double w, double h, double r, Rgb base, State state);

// A dark recessed field (edit boxes, tracks): shadow along the top, light rim below.
void InsetField(cairo_t* cr, double x, double y, double w, double h, double r, Rgb base);

// Slicing. A whole shape is drawn at a size chosen so that the requested piece sits in
// one cell; Slice3 and Slice9 give that size and move the origin so that the piece's cell
// lies on the frame. The middle cells of the whole shape must be uniform along their
// stretch direction (the looks draw only straight bands there).
struct SliceCanvas {
    double width = 0, height = 0;
    bool valid = false;
};
// part: "left", "mid" or "right". cap: the cap width used for the middle piece.
SliceCanvas Slice3(cairo_t* cr, const ImageSpec& s, const std::string& part, double cap);
// part: "top-left", "top", "top-right", "left", "fill", "right", "bottom-left", "bottom",
// "bottom-right". thickness: the border used for pieces that do not show it.
SliceCanvas Slice9(cairo_t* cr, const ImageSpec& s, const std::string& part, double thickness);

} // namespace artgen
