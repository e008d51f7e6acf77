#pragma once
// Symbols the icon looks share, drawn in a unit box (0..1 both ways) scaled to the frame:
// outlines, badges, flimbs, stars, arrows and Qdots.
#include "tools/artgen/Paint.h"

namespace artgen {

struct Box {
    double x, y, size;
    double X(double u) const { return x + u * size; }
    double Y(double v) const { return y + v * size; }
    double L(double d) const { return d * size; }
};

// The largest square of the frame, centred, shrunk by inset on every side (a fraction).
Box FrameBox(const ImageSpec& s, double inset = 0.0);
// Strokes the current path with the dark outline.
void Outline(cairo_t* cr, const Box& b, double width = 0.07);
void FillOutlined(cairo_t* cr, const Box& b, Rgb c);
// A round dark badge with a coloured rim.
void Badge(cairo_t* cr, const Box& b, Rgb rim);
// A flimb: a round body with two eyes and little feet.
void Flimb(cairo_t* cr, const Box& b, Rgb c, double cx = 0.5, double cy = 0.55, double r = 0.24);
// A star path (not filled).
void Star(cairo_t* cr, const Box& b, double cx, double cy, double outer, double inner, int points);
void Arrow(cairo_t* cr, const Box& b, double x, double y0, double y1, Rgb c);
void Qdot(cairo_t* cr, const Box& b, double cx, double cy, double r);

} // namespace artgen
