// Looks of the game modes: the flimb statues (stamped into the terrain, so solid stone
// with clean edges), the SuperNova prompt's large button and icons, the Multiverse and
// Quantum loop menu pictures, the capture flag, and the bonus items' decoration and stamps.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"
#include "tools/artgen/Symbols.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace artgen {
namespace {

const Rgb kFire = FromHex(0xff7a2a);
const Rgb kYes = FromHex(0x6fd86a);
const Rgb kNo = FromHex(0xe8503a);
const Rgb kFlag = FromHex(0xe8503a);

// A stone flimb on a plinth; the three statues stand differently (upright, waving, wide).
bool Statue(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb stone = FromHex(s.colour); // the statue's stone; the bash tints it

    const int pose = s.part.empty() ? 0 : s.part[0] - '0';
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE); // a brush: every pixel is terrain or not
    // Plinth.
    cairo_rectangle(cr, w * 0.12, h * 0.82, w * 0.76, h * 0.18);
    SetRgb(cr, Darken(stone, 0.25));
    cairo_fill(cr);
    // Body.
    const double bodyW = pose == 2 ? 0.42 : 0.34;
    cairo_save(cr);
    cairo_translate(cr, w / 2, h * 0.55);
    cairo_scale(cr, w * bodyW, h * 0.28);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    SetRgb(cr, stone);
    cairo_fill(cr);
    // Arms: at the sides, or one raised.
    cairo_set_line_width(cr, std::max(2.0, w * 0.1));
    SetRgb(cr, stone);
    cairo_move_to(cr, w * (0.5 - bodyW * 0.9), h * 0.55);
    cairo_line_to(cr, w * 0.08, pose == 1 ? h * 0.2 : h * 0.62);
    cairo_move_to(cr, w * (0.5 + bodyW * 0.9), h * 0.55);
    cairo_line_to(cr, w * 0.92, h * 0.62);
    cairo_stroke(cr);
    // Eyes cut into the stone.
    for (double side : {-1.0, 1.0}) {
        cairo_rectangle(cr, w * (0.5 + side * 0.12) - 1.5, h * 0.45, 3, 3);
        SetRgb(cr, Darken(stone, 0.45));
        cairo_fill(cr);
    }
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    return true;
}

// The prompts' frame: a banner whose top and bottom bands carry the outline, a warm rim and
// (on top) a gloss, while its sides are the plain body. The window stretches only the top
// and bottom strips and the fill between them, so no side piece is needed: the fill's straight
// edges meet the corners' without a seam.
bool BannerFrame(cairo_t* cr, const ImageSpec& s, int)
{
    const std::string& part = s.part;
    const bool corner = part == "top-left" || part == "top-right" || part == "bottom-left" || part == "bottom-right";
    const double thickness = corner ? std::min(s.frameWidth, s.frameHeight)
                                    : part == "top" || part == "bottom" ? s.frameHeight : 24.0;
    const SliceCanvas canvas = Slice9(cr, s, part, thickness);
    if (!canvas.valid)
        return false;
    const double w = canvas.width, h = canvas.height, r = std::min(12.0, thickness - 3.0);
    const Rgb body = FromHex(s.colour);
    RoundedRect(cr, 0.5, 0.5, w - 1.0, h - 1.0, r);
    SetRgb(cr, body); // flat: the fill stretches both ways
    cairo_fill(cr);
    // The outline and the rim follow the top and the bottom edge round their corners and end
    // where the sides turn straight.
    const auto edges = [&](double inset) {
        const double rr = std::max(1.0, r - inset);
        cairo_new_path(cr);
        cairo_arc(cr, inset + rr, inset + rr, rr, kPi, 1.5 * kPi);
        cairo_arc(cr, w - inset - rr, inset + rr, rr, 1.5 * kPi, 2 * kPi);
        cairo_new_sub_path(cr);
        cairo_arc(cr, w - inset - rr, h - inset - rr, rr, 0, 0.5 * kPi);
        cairo_arc(cr, inset + rr, h - inset - rr, rr, 0.5 * kPi, kPi);
    };
    edges(1.0);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 1.8);
    cairo_stroke(cr);
    edges(4.0);
    SetRgb(cr, kFire);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, w, thickness * 0.6);
    cairo_clip(cr);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, 0, 0, thickness * 0.6);
    AddStop(gloss, 0, {1, 1, 1}, 0.25);
    AddStop(gloss, 1, {1, 1, 1}, 0.0);
    cairo_rectangle(cr, 2, 2, w - 4, thickness * 0.6);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);
    return true;
}

// A large plate button, one frame per state: normal, hover, pressed, disabled.
bool LargeButton(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    GlossyBody(cr, 3, 3, w - 6, h - 7, std::min(w, h) * 0.18, FromHex(s.colour), StateOfFrame(frame));
    return true;
}

// A flag on a pole.
void FlagShape(cairo_t* cr, const Box& b, double x, double y, double size, Rgb colour)
{
    cairo_rectangle(cr, b.X(x), b.Y(y), b.L(size * 0.08), b.L(size));
    FillOutlined(cr, b, FromHex(0x7a5230));
    cairo_new_path(cr);
    cairo_move_to(cr, b.X(x + size * 0.08), b.Y(y + size * 0.02));
    cairo_curve_to(cr, b.X(x + size * 0.4), b.Y(y - size * 0.08), b.X(x + size * 0.5), b.Y(y + size * 0.2),
                   b.X(x + size * 0.75), b.Y(y + size * 0.12));
    cairo_line_to(cr, b.X(x + size * 0.75), b.Y(y + size * 0.5));
    cairo_curve_to(cr, b.X(x + size * 0.5), b.Y(y + size * 0.58), b.X(x + size * 0.4), b.Y(y + size * 0.32),
                   b.X(x + size * 0.08), b.Y(y + size * 0.42));
    cairo_close_path(cr);
    FillOutlined(cr, b, colour);
}

void Cross(cairo_t* cr, const Box& b, double cx, double cy, double r, Rgb colour)
{
    cairo_new_path(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (double side : {-1.0, 1.0}) {
        cairo_move_to(cr, b.X(cx - r), b.Y(cy - side * r));
        cairo_line_to(cr, b.X(cx + r), b.Y(cy + side * r));
    }
    cairo_set_line_width(cr, b.L(r * 0.75));
    SetRgb(cr, palette::kInk);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, b.L(r * 0.45));
    SetRgb(cr, colour);
    cairo_stroke(cr);
}

void Plus(cairo_t* cr, const Box& b, double cx, double cy, double r, Rgb colour)
{
    cairo_new_path(cr);
    cairo_move_to(cr, b.X(cx - r), b.Y(cy));
    cairo_line_to(cr, b.X(cx + r), b.Y(cy));
    cairo_move_to(cr, b.X(cx), b.Y(cy - r));
    cairo_line_to(cr, b.X(cx), b.Y(cy + r));
    cairo_set_line_width(cr, b.L(r * 0.75));
    SetRgb(cr, palette::kInk);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, b.L(r * 0.45));
    SetRgb(cr, colour);
    cairo_stroke(cr);
}

// A circular arrow (the reset picture).
void ResetArrow(cairo_t* cr, const Box& b, Rgb colour)
{
    cairo_new_path(cr);
    cairo_arc(cr, b.X(0.5), b.Y(0.52), b.L(0.28), -kPi * 0.35, kPi * 1.45);
    cairo_set_line_width(cr, b.L(0.16));
    SetRgb(cr, palette::kInk);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, b.L(0.1));
    SetRgb(cr, colour);
    cairo_stroke(cr);
    const double a = -kPi * 0.35, x = 0.5 + 0.28 * std::cos(a), y = 0.52 + 0.28 * std::sin(a);
    cairo_move_to(cr, b.X(x - 0.16), b.Y(y - 0.1));
    cairo_line_to(cr, b.X(x + 0.12), b.Y(y - 0.12));
    cairo_line_to(cr, b.X(x + 0.02), b.Y(y + 0.16));
    cairo_close_path(cr);
    FillOutlined(cr, b, colour);
}

// The icons of the prompts and menus, one per part.
bool ModeIcon(cairo_t* cr, const ImageSpec& s, int)
{
    const Box b = FrameBox(s, 0.04);
    const Rgb colour = FromHex(s.colour);
    const std::string& part = s.part;
    if (part == "yes") { // a flimb going nova
        Star(cr, b, 0.5, 0.5, 0.48, 0.26, 12);
        FillOutlined(cr, b, kFire);
        Star(cr, b, 0.5, 0.5, 0.36, 0.22, 12);
        SetRgb(cr, FromHex(0xffe066));
        cairo_fill(cr);
        Flimb(cr, b, colour, 0.5, 0.52, 0.2);
    } else if (part == "cancel") { // a flimb kept safe: a calm flimb and a red cross
        Flimb(cr, b, colour, 0.42, 0.55, 0.26);
        Cross(cr, b, 0.74, 0.3, 0.13, kNo);
    } else if (part == "checkpoint-user" || part == "checkpoint-user-add") {
        FlagShape(cr, b, 0.2, 0.12, 0.76, colour);
        if (part == "checkpoint-user-add")
            Plus(cr, b, 0.72, 0.74, 0.15, kYes);
    } else if (part == "checkpoint-auto") { // a flag and a clock
        FlagShape(cr, b, 0.12, 0.1, 0.7, colour);
        cairo_new_path(cr);
        cairo_arc(cr, b.X(0.7), b.Y(0.7), b.L(0.22), 0, 2 * kPi);
        FillOutlined(cr, b, palette::kCream);
        cairo_move_to(cr, b.X(0.7), b.Y(0.7));
        cairo_line_to(cr, b.X(0.7), b.Y(0.56));
        cairo_move_to(cr, b.X(0.7), b.Y(0.7));
        cairo_line_to(cr, b.X(0.8), b.Y(0.74));
        Outline(cr, b, 0.05);
    } else if (part == "checkpoint-cancel") {
        Cross(cr, b, 0.5, 0.5, 0.28, kNo);
    } else if (part == "flimb-head") { // a big flimb face
        Flimb(cr, b, colour, 0.5, 0.5, 0.38);
    } else if (part == "reset") {
        ResetArrow(cr, b, colour);
    } else if (part == "flag") {
        FlagShape(cr, b, 0.2, 0.1, 0.8, colour);
    } else if (part == "expression") { // the group's flimb, beaming
        Badge(cr, b, colour);
        Flimb(cr, b, colour, 0.5, 0.5, 0.3);
        cairo_new_path(cr);
        cairo_arc(cr, b.X(0.5), b.Y(0.56), b.L(0.12), 0.15 * kPi, 0.85 * kPi);
        Outline(cr, b, 0.05);
    } else {
        return false;
    }
    return true;
}

// A top hat for a flimb to wear; it bobs a little from frame to frame.
bool TopHat(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const double bob = (frame % 2) ? 1.0 : 0.0;
    const Box outline{0, 0, std::min(w, h)}; // sets the outline's width
    cairo_rectangle(cr, w * 0.12, h * 0.72 + bob, w * 0.76, h * 0.16);
    FillOutlined(cr, outline, FromHex(s.colour));
    cairo_rectangle(cr, w * 0.28, h * 0.12 + bob, w * 0.44, h * 0.62);
    FillOutlined(cr, outline, FromHex(s.colour));
    cairo_rectangle(cr, w * 0.28, h * 0.56 + bob, w * 0.44, h * 0.1);
    SetRgb(cr, kFlag);
    cairo_fill(cr);
    return true;
}

// Stamps for the HUD's stamp tool.
bool Stamp(cairo_t* cr, const ImageSpec& s, int)
{
    const Box b = FrameBox(s, 0.06);
    const Rgb colour = FromHex(s.colour);
    if (s.part == "star") {
        Star(cr, b, 0.5, 0.54, 0.46, 0.2, 5);
        FillOutlined(cr, b, colour);
    } else if (s.part == "heart") {
        cairo_new_path(cr);
        cairo_move_to(cr, b.X(0.5), b.Y(0.9));
        cairo_curve_to(cr, b.X(0.05), b.Y(0.55), b.X(0.1), b.Y(0.1), b.X(0.5), b.Y(0.3));
        cairo_curve_to(cr, b.X(0.9), b.Y(0.1), b.X(0.95), b.Y(0.55), b.X(0.5), b.Y(0.9));
        cairo_close_path(cr);
        FillOutlined(cr, b, colour);
    } else {
        return false;
    }
    return true;
}

} // namespace

void AddModeLooks(LookTable& table)
{
    table["statue"] = Statue;
    table["banner-frame"] = BannerFrame;
    table["large-button"] = LargeButton;
    table["mode-icon"] = ModeIcon;
    table["tophat"] = TopHat;
    table["stamp"] = Stamp;
}

} // namespace artgen
