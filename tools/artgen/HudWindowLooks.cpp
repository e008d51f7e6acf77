// Looks of the in-game HUD window: the top bar, the two bottom panels and their wide-screen
// extenders, the door over the left panel (frames from shut to open), the round buttons and
// check boxes of the panels (a symbol per part), the speed slider and the small pieces.
#include "tools/artgen/Paint.h"
#include "tools/artgen/Symbols.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace artgen {
namespace {

// A plate with a bevel: light top edge, dark bottom edge, rivets in the corners.
void Plate(cairo_t* cr, double x, double y, double w, double h, Rgb base, bool rivets)
{
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, y, 0, y + h);
    AddStop(fill, 0, Lighten(base, 0.18));
    AddStop(fill, 0.5, base);
    AddStop(fill, 1, Darken(base, 0.35));
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
    SetRgb(cr, Lighten(base, 0.45), 0.8);
    cairo_rectangle(cr, x, y, w, 1.5);
    cairo_fill(cr);
    SetRgb(cr, palette::kShade, 0.8);
    cairo_rectangle(cr, x, y + h - 2, w, 2);
    cairo_fill(cr);
    if (!rivets)
        return;
    for (double rx : {x + 6, x + w - 6})
        for (double ry : {y + 6, y + h - 6}) {
            cairo_arc(cr, rx, ry, 2.2, 0, 2 * kPi);
            SetRgb(cr, palette::kGold, 0.85);
            cairo_fill(cr);
        }
}

// A recessed well inside a panel.
void Well(cairo_t* cr, double x, double y, double w, double h, Rgb base)
{
    InsetField(cr, x, y, w, h, 6, Darken(base, 0.45));
}

// The bottom panels: the left one has wells under the view options, the camera, the avatar
// and the strip behind the door; the right one under the stamps and the belt.
bool Panel(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb base = FromHex(s.colour);
    const std::string& p = s.part;
    if (p == "top-bar") {
        Plate(cr, 0, 0, w, h, base, false);
        SetRgb(cr, palette::kGold, 0.6);
        cairo_rectangle(cr, 0, h - 3.5, w, 1.2);
        cairo_fill(cr);
        return true;
    }
    if (p == "extender-left" || p == "extender-right") {
        Plate(cr, 0, 0, w, h, Darken(base, 0.1), false);
        SetRgb(cr, palette::kGold, 0.35);
        for (double y = 18; y < h - 10; y += 22) {
            cairo_rectangle(cr, 0, y, w, 1);
            cairo_fill(cr);
        }
        return true;
    }
    if (p != "left" && p != "right")
        return false;
    Plate(cr, 0, 0, w, h, base, true);
    if (p == "left") {
        Well(cr, 3, 30, 26, 94, base);     // the view options
        Well(cr, 30, 8, 74, 114, base);    // zoom and camera
        Well(cr, 108, 20, w - 118, 104, base); // behind the door
    } else {
        Well(cr, 22, 22, 56, 100, base);   // stamps and decorations
        Well(cr, 84, 20, w - 94, 104, base); // the belt
    }
    return true;
}

// One leaf of the door; frame f of n is the leaf as the door opens (its rim brightens).
bool DoorLeaf(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const int frames = std::max(1, s.frames);
    const double t = frames > 1 ? double(frame) / double(frames - 1) : 0.0;
    const Rgb base = Mix(FromHex(s.colour), Lighten(FromHex(s.colour), 0.3), t);
    Plate(cr, 0, 0, w, h, base, false);
    // Diagonal hazard bands and the seam on the inner edge.
    cairo_save(cr);
    cairo_rectangle(cr, 4, h * 0.38, w - 8, h * 0.24);
    cairo_clip(cr);
    for (double x = -h; x < w + h; x += 18) {
        cairo_move_to(cr, x, h * 0.62);
        cairo_line_to(cr, x + 9, h * 0.62);
        cairo_line_to(cr, x + 9 + h * 0.24, h * 0.38);
        cairo_line_to(cr, x + h * 0.24, h * 0.38);
        cairo_close_path(cr);
    }
    SetRgb(cr, palette::kGold, 0.75);
    cairo_fill(cr);
    cairo_restore(cr);
    const double seam = s.part == "left" ? w - 3 : 0;
    SetRgb(cr, Mix(palette::kInk, palette::kGold, t), 0.9);
    cairo_rectangle(cr, seam, 0, 3, h);
    cairo_fill(cr);
    return true;
}

// The symbol of a button or check box, in the box's unit square.
void Symbol(cairo_t* cr, const Box& b, const std::string& p, Rgb ink, bool on)
{
    cairo_new_path(cr);
    if (p == "zoom-in" || p == "zoom-out" || p == "zoom-nominal") {
        cairo_arc(cr, b.X(0.45), b.Y(0.45), b.L(0.22), 0, 2 * kPi);
        cairo_move_to(cr, b.X(0.61), b.Y(0.61));
        cairo_line_to(cr, b.X(0.8), b.Y(0.8));
        Outline(cr, b, 0.09);
        if (p != "zoom-nominal") {
            cairo_move_to(cr, b.X(0.35), b.Y(0.45));
            cairo_line_to(cr, b.X(0.55), b.Y(0.45));
            if (p == "zoom-in") {
                cairo_move_to(cr, b.X(0.45), b.Y(0.35));
                cairo_line_to(cr, b.X(0.45), b.Y(0.55));
            }
        } else {
            cairo_arc(cr, b.X(0.45), b.Y(0.45), b.L(0.05), 0, 2 * kPi);
        }
        cairo_set_line_width(cr, b.L(0.07));
        SetRgb(cr, ink);
        cairo_stroke(cr);
        return;
    }
    if (p.rfind("camera-", 0) == 0 && p != "camera-autoalign") { // a wedge pointing its way
        const double angle = p == "camera-down" ? kPi / 2 : p == "camera-up" ? -kPi / 2 : p == "camera-left" ? kPi : 0.0;
        const double c = std::cos(angle), sn = std::sin(angle);
        auto at = [&](double u, double v) { return std::pair{b.X(0.5 + u * c - v * sn), b.Y(0.5 + u * sn + v * c)}; };
        auto [x0, y0] = at(0.32, 0);
        auto [x1, y1] = at(-0.2, 0.28);
        auto [x2, y2] = at(-0.2, -0.28);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_line_to(cr, x2, y2);
        cairo_close_path(cr);
        FillOutlined(cr, b, on ? palette::kGold : ink);
        return;
    }
    if (p == "camera-autoalign") { // a target
        for (double r : {0.3, 0.16}) {
            cairo_new_path(cr);
            cairo_arc(cr, b.X(0.5), b.Y(0.5), b.L(r), 0, 2 * kPi);
            Outline(cr, b, 0.06);
        }
        cairo_arc(cr, b.X(0.5), b.Y(0.5), b.L(0.07), 0, 2 * kPi);
        SetRgb(cr, on ? palette::kGold : ink);
        cairo_fill(cr);
        return;
    }
    if (p == "minimap") { // a folded map
        cairo_move_to(cr, b.X(0.15), b.Y(0.25));
        cairo_line_to(cr, b.X(0.38), b.Y(0.18));
        cairo_line_to(cr, b.X(0.62), b.Y(0.25));
        cairo_line_to(cr, b.X(0.85), b.Y(0.18));
        cairo_line_to(cr, b.X(0.85), b.Y(0.75));
        cairo_line_to(cr, b.X(0.62), b.Y(0.82));
        cairo_line_to(cr, b.X(0.38), b.Y(0.75));
        cairo_line_to(cr, b.X(0.15), b.Y(0.82));
        cairo_close_path(cr);
        FillOutlined(cr, b, on ? palette::kGold : ink);
        return;
    }
    if (p == "hide-own" || p == "hide-others" || p == "show-counts") {
        const Rgb body = p == "hide-own" ? FromHex(0x7ccf5a) : p == "hide-others" ? FromHex(0xe8503a) : ink;
        Flimb(cr, b, on ? Darken(body, 0.45) : body, 0.45, 0.58, 0.26);
        if (p == "show-counts") {
            cairo_new_path(cr);
            cairo_arc(cr, b.X(0.76), b.Y(0.26), b.L(0.17), 0, 2 * kPi);
            FillOutlined(cr, b, palette::kGold);
        } else if (on) { // struck through
            cairo_new_path(cr);
            cairo_move_to(cr, b.X(0.15), b.Y(0.85));
            cairo_line_to(cr, b.X(0.85), b.Y(0.15));
            Outline(cr, b, 0.09);
        }
        return;
    }
    if (p == "stamp") { // a rubber stamp
        cairo_rectangle(cr, b.X(0.4), b.Y(0.15), b.L(0.2), b.L(0.35));
        FillOutlined(cr, b, FromHex(0xb07040));
        cairo_new_path(cr);
        cairo_rectangle(cr, b.X(0.2), b.Y(0.5), b.L(0.6), b.L(0.18));
        FillOutlined(cr, b, ink);
        cairo_new_path(cr);
        cairo_rectangle(cr, b.X(0.15), b.Y(0.72), b.L(0.7), b.L(0.1));
        FillOutlined(cr, b, FromHex(0xe8503a));
        return;
    }
    if (p == "decoration") { // a top hat
        cairo_rectangle(cr, b.X(0.32), b.Y(0.2), b.L(0.36), b.L(0.45));
        FillOutlined(cr, b, FromHex(0x2c2630));
        cairo_new_path(cr);
        cairo_rectangle(cr, b.X(0.18), b.Y(0.62), b.L(0.64), b.L(0.1));
        FillOutlined(cr, b, FromHex(0x2c2630));
        cairo_new_path(cr);
        cairo_rectangle(cr, b.X(0.32), b.Y(0.5), b.L(0.36), b.L(0.07));
        SetRgb(cr, FromHex(0xe8503a));
        cairo_fill(cr);
        return;
    }
    if (p == "supernova") {
        Star(cr, b, 0.5, 0.5, 0.4, 0.17, 8);
        FillOutlined(cr, b, FromHex(0xffc040));
        return;
    }
    if (p == "speed-clock") {
        cairo_arc(cr, b.X(0.5), b.Y(0.52), b.L(0.3), 0, 2 * kPi);
        FillOutlined(cr, b, palette::kCream);
        cairo_move_to(cr, b.X(0.5), b.Y(0.52));
        cairo_line_to(cr, b.X(0.5), b.Y(0.32));
        cairo_move_to(cr, b.X(0.5), b.Y(0.52));
        cairo_line_to(cr, b.X(0.64), b.Y(0.58));
        cairo_set_line_width(cr, b.L(0.07));
        SetRgb(cr, palette::kInk);
        cairo_stroke(cr);
        return;
    }
    if (p == "multiview") { // two overlapping screens
        cairo_rectangle(cr, b.X(0.15), b.Y(0.2), b.L(0.45), b.L(0.35));
        FillOutlined(cr, b, ink);
        cairo_new_path(cr);
        cairo_rectangle(cr, b.X(0.4), b.Y(0.45), b.L(0.45), b.L(0.35));
        FillOutlined(cr, b, palette::kGold);
        return;
    }
    if (p == "restart") { // a round arrow
        cairo_arc(cr, b.X(0.5), b.Y(0.5), b.L(0.27), -kPi * 0.3, kPi * 1.5);
        Outline(cr, b, 0.08);
        cairo_arc(cr, b.X(0.5), b.Y(0.5), b.L(0.27), -kPi * 0.3, kPi * 1.5);
        cairo_set_line_width(cr, b.L(0.07));
        SetRgb(cr, ink);
        cairo_stroke(cr);
        cairo_move_to(cr, b.X(0.5), b.Y(0.1));
        cairo_line_to(cr, b.X(0.66), b.Y(0.23));
        cairo_line_to(cr, b.X(0.5), b.Y(0.36));
        cairo_close_path(cr);
        FillOutlined(cr, b, ink);
        return;
    }
    if (p == "arrow-up") {
        cairo_move_to(cr, b.X(0.5), b.Y(0.25));
        cairo_line_to(cr, b.X(0.78), b.Y(0.7));
        cairo_line_to(cr, b.X(0.22), b.Y(0.7));
        cairo_close_path(cr);
        FillOutlined(cr, b, ink);
        return;
    }
    if (p == "arrow-down") {
        cairo_move_to(cr, b.X(0.5), b.Y(0.75));
        cairo_line_to(cr, b.X(0.78), b.Y(0.3));
        cairo_line_to(cr, b.X(0.22), b.Y(0.3));
        cairo_close_path(cr);
        FillOutlined(cr, b, ink);
        return;
    }
}

// Round state buttons (frames normal, hover, pressed) and two-frame check boxes (clear,
// checked: a gold rim and the symbol lit).
bool RoundControl(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, d = std::min(w, h) - 2;
    const bool check = s.look == "hud-check";
    const bool on = check && frame == 1;
    const State state = check ? State::Normal : StateOfFrame(frame);
    GlossyBody(cr, (w - d) / 2, (h - d) / 2, d, d, d / 2, FromHex(s.colour), state);
    if (on) {
        cairo_new_path(cr);
        cairo_arc(cr, w / 2, h / 2, d / 2 - 0.5, 0, 2 * kPi);
        SetRgb(cr, palette::kGold);
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
    }
    Box b = FrameBox(s, 0.12);
    Symbol(cr, b, s.part, state == State::Hover ? Lighten(palette::kCream, 0.2) : palette::kCream, on);
    return true;
}

bool Pieces(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const std::string& p = s.part;
    if (p == "camera-base") {
        cairo_arc(cr, w / 2, h / 2, std::min(w, h) / 2 - 1, 0, 2 * kPi);
        cairo_pattern_t* fill = cairo_pattern_create_radial(w / 2, h / 2, 2, w / 2, h / 2, w / 2);
        AddStop(fill, 0, Lighten(FromHex(s.colour), 0.2));
        AddStop(fill, 1, Darken(FromHex(s.colour), 0.4));
        cairo_set_source(cr, fill);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(fill);
        SetRgb(cr, palette::kInk, 0.9);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        return true;
    }
    if (p == "divider") {
        cairo_rectangle(cr, w / 2 - 1, 2, 2, h - 4);
        SetRgb(cr, palette::kGold, 0.7);
        cairo_fill(cr);
        return true;
    }
    if (p == "chat-icon") { // a speech balloon with three dots
        RoundedRect(cr, 1, 1, w - 2, h * 0.7, 3);
        FillOutlined(cr, FrameBox(s), palette::kCream);
        for (int i = 0; i < 3; ++i) {
            cairo_arc(cr, w * (0.3 + 0.2 * i), h * 0.36, 1.2, 0, 2 * kPi);
            SetRgb(cr, palette::kInk);
            cairo_fill(cr);
        }
        return true;
    }
    if (p == "drop-arrow") {
        cairo_move_to(cr, 1, 1);
        cairo_line_to(cr, w - 1, 1);
        cairo_line_to(cr, w / 2, h - 1);
        cairo_close_path(cr);
        SetRgb(cr, palette::kCream);
        cairo_fill(cr);
        return true;
    }
    if (p == "speed-bar") {
        InsetField(cr, 0, h / 2 - 3, w, 6, 3, FromHex(s.colour));
        return true;
    }
    if (p == "speed-gripper") {
        GlossyBody(cr, 0.5, 0.5, w - 1, h - 1, 2.5, FromHex(s.colour), State::Normal);
        return true;
    }
    return false;
}

} // namespace

void AddHudWindowLooks(LookTable& table)
{
    table["hud-panel"] = Panel;
    table["hud-door"] = DoorLeaf;
    table["hud-button"] = RoundControl;
    table["hud-check"] = RoundControl;
    table["hud-piece"] = Pieces;
}

} // namespace artgen
