// Looks of the HUD's pop-ups and widgets: the belt's slot sheets (one frame per group
// colour), wedge and dividers; the voice bubble and chat skins; the small pictograms of
// buttons and menus; the end-of-match expressions; the FlimbMaster display (frame, cover,
// iris door, unknown shield); the in-game menu's pieces; the history film strip; the
// countdown pictures; the chat icons.
#include "tools/artgen/Paint.h"
#include "world/Groups.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace artgen {
namespace {

void Outline(cairo_t* cr, double width, Rgb fill, double alpha = 1.0)
{
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetRgb(cr, palette::kInk, 0.9 * alpha);
    cairo_set_line_width(cr, width + 2.4);
    cairo_stroke_preserve(cr);
    SetRgb(cr, fill, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void FillOutlined(cairo_t* cr, Rgb fill, double line = 1.5)
{
    SetRgb(cr, fill);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk, 0.9);
    cairo_set_line_width(cr, line);
    cairo_stroke(cr);
}

// ---- The belt.

// A belt sheet: frame f is the type's belt picture on a disc of group colour f.
bool BeltSlot(cairo_t* cr, const ImageSpec& s, int frame)
{
    ImageSpec icon = s;
    icon.look = "belt-icon";
    icon.colour = kGroupColours[size_t(frame % kGroupCount)] & 0xFFFFFFu;
    const bool up = s.part == "gulp-up";
    icon.part = s.part.rfind("gulp", 0) == 0 ? "gulp" : s.part;
    if (up) { // the Gulp picture turned upwards
        cairo_translate(cr, 0, s.frameHeight);
        cairo_scale(cr, 1, -1);
    }
    return DrawFrame(cr, icon, 0);
}

// The wedge under a slot: an annular sector about the hot spot (20, 113), pointing up.
bool BeltWedge(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double px = 20, py = 113, inner = 42, outer = 110, half = 14.0 * kPi / 180.0;
    const double a0 = -kPi / 2 - half, a1 = -kPi / 2 + half;
    cairo_new_path(cr);
    cairo_arc(cr, px, py, outer, a0, a1);
    cairo_arc_negative(cr, px, py, inner, a1, a0);
    cairo_close_path(cr);
    const Rgb base = FromHex(s.colour);
    const Rgb body = frame == 1 ? Lighten(base, 0.35) : (frame == 2 ? Darken(base, 0.3) : base);
    cairo_pattern_t* shade = cairo_pattern_create_radial(px, py, inner, px, py, outer);
    AddStop(shade, 0, Darken(body, 0.25), 0.85);
    AddStop(shade, 1, Lighten(body, 0.15), 0.9);
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    SetRgb(cr, frame == 1 ? palette::kGold : palette::kInk, 0.9);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    (void)s;
    return true;
}

bool BeltDivider(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    RoundedRect(cr, 1, 1, w - 2, h - 2, std::min(w, h) / 2 - 1);
    FillOutlined(cr, FromHex(s.colour), 1.2);
    return true;
}

// ---- Skins.

// A rounded box cut into its pieces (no side pieces: the fill runs under the sides).
Look BoxLook(double alpha, bool tail)
{
    return [alpha, tail](cairo_t* cr, const ImageSpec& s, int) {
        const Rgb body = FromHex(s.colour);
        if (s.part == "tail") {
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, s.frameWidth, 0);
            cairo_line_to(cr, s.frameWidth * 0.2, s.frameHeight - 1);
            cairo_close_path(cr);
            SetRgb(cr, body, alpha);
            cairo_fill_preserve(cr);
            SetRgb(cr, palette::kInk, 0.8 * alpha);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
            return true;
        }
        if (s.part == "fill") { // flat: it is stretched both ways
            cairo_rectangle(cr, 0, 0, s.frameWidth, s.frameHeight);
            SetRgb(cr, Darken(body, 0.04), alpha);
            cairo_fill(cr);
            return true;
        }
        const bool corner = s.part.find('-') != std::string::npos;
        const double thickness = corner ? std::min(s.frameWidth, s.frameHeight) : s.frameHeight;
        const SliceCanvas canvas = Slice9(cr, s, s.part, thickness);
        if (!canvas.valid)
            return false;
        const double r = std::min(10.0, thickness - 2.0);
        RoundedRect(cr, 1, 1, canvas.width - 2, canvas.height - 2, r);
        cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, canvas.height);
        AddStop(shade, 0, Lighten(body, 0.1), alpha);
        AddStop(shade, 1, Darken(body, 0.08), alpha);
        cairo_set_source(cr, shade);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(shade);
        SetRgb(cr, palette::kInk, 0.85 * alpha);
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);
        (void)tail;
        return true;
    };
}

// ---- Pictograms, in cream on a transparent ground unless said otherwise.

bool Pictogram(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2, u = std::min(w, h) / 24.0;
    const std::string& p = s.part;
    Rgb ink = FromHex(s.colour);
    if (frame == 1)
        ink = Lighten(ink, 0.35);
    else if (frame == 2)
        ink = Darken(ink, 0.25);
    const double line = 2.2 * u;
    cairo_new_path(cr);
    if (p == "flimb-head") { // a round head with two eyes and an antenna
        cairo_arc(cr, cx, cy + 2 * u, 8 * u, 0, 2 * kPi);
        FillOutlined(cr, FromHex(0x7ccf5a), 1.4 * u);
        for (double dx : {-3.0, 3.0}) {
            cairo_arc(cr, cx + dx * u, cy + 1 * u, 1.6 * u, 0, 2 * kPi);
            SetRgb(cr, palette::kInk);
            cairo_fill(cr);
        }
        cairo_move_to(cr, cx, cy - 6 * u);
        cairo_line_to(cr, cx + 3 * u, cy - 10 * u);
        Outline(cr, 1.4 * u, ink);
        return true;
    }
    if (p == "checkpoint" || p == "checkpoint-restore" || p == "checkpoint-set") { // a flag on a pole
        cairo_move_to(cr, cx - 6 * u, cy + 10 * u);
        cairo_line_to(cr, cx - 6 * u, cy - 10 * u);
        Outline(cr, line, ink);
        cairo_move_to(cr, cx - 6 * u, cy - 10 * u);
        cairo_line_to(cr, cx + 8 * u, cy - 6 * u);
        cairo_line_to(cr, cx - 6 * u, cy - 1 * u);
        cairo_close_path(cr);
        FillOutlined(cr, p == "checkpoint-set" ? FromHex(0x5ad16a) : FromHex(0xe8503a), 1.2 * u);
        if (p == "checkpoint-restore") { // a return arrow under it
            cairo_arc_negative(cr, cx + 3 * u, cy + 5 * u, 4 * u, 0, kPi);
            Outline(cr, 1.4 * u, ink);
        }
        return true;
    }
    if (p == "replay" || p == "play-again" || p == "return") { // round arrows
        if (p == "return") {
            cairo_move_to(cr, cx + 8 * u, cy - 6 * u);
            cairo_line_to(cr, cx + 8 * u, cy + 2 * u);
            cairo_line_to(cr, cx - 6 * u, cy + 2 * u);
            cairo_move_to(cr, cx - 2 * u, cy - 3 * u);
            cairo_line_to(cr, cx - 7 * u, cy + 2 * u);
            cairo_line_to(cr, cx - 2 * u, cy + 7 * u);
        } else {
            cairo_arc(cr, cx, cy, 8 * u, -kPi * 0.35, kPi * 1.45);
            const double a = kPi * 1.45, ex = cx + 8 * u * std::cos(a), ey = cy + 8 * u * std::sin(a);
            cairo_move_to(cr, ex - 4 * u, ey - 1 * u);
            cairo_line_to(cr, ex, ey);
            cairo_line_to(cr, ex + 1 * u, ey - 5 * u);
            if (p == "replay") { // with a play mark inside
                cairo_move_to(cr, cx - 2 * u, cy - 3 * u);
                cairo_line_to(cr, cx + 3 * u, cy);
                cairo_line_to(cr, cx - 2 * u, cy + 3 * u);
                cairo_close_path(cr);
            }
        }
        Outline(cr, line, ink);
        return true;
    }
    if (p == "rankings") { // a podium
        cairo_rectangle(cr, cx - 9 * u, cy + 1 * u, 6 * u, 8 * u);
        cairo_rectangle(cr, cx - 3 * u, cy - 5 * u, 6 * u, 14 * u);
        cairo_rectangle(cr, cx + 3 * u, cy + 3 * u, 6 * u, 6 * u);
        FillOutlined(cr, palette::kGold, 1.2 * u);
        return true;
    }
    if (p == "show-solution") { // an eye
        cairo_move_to(cr, cx - 10 * u, cy);
        cairo_curve_to(cr, cx - 4 * u, cy - 8 * u, cx + 4 * u, cy - 8 * u, cx + 10 * u, cy);
        cairo_curve_to(cr, cx + 4 * u, cy + 8 * u, cx - 4 * u, cy + 8 * u, cx - 10 * u, cy);
        Outline(cr, 1.6 * u, ink);
        cairo_arc(cr, cx, cy, 3 * u, 0, 2 * kPi);
        SetRgb(cr, ink);
        cairo_fill(cr);
        return true;
    }
    if (p == "star") {
        for (int i = 0; i < 10; ++i) {
            const double a = kPi * i / 5 - kPi / 2, r = i % 2 ? 4 * u : 10 * u;
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        }
        cairo_close_path(cr);
        FillOutlined(cr, palette::kGold, 1.2 * u);
        return true;
    }
    if (p == "players") { // two heads and shoulders
        for (double dx : {-4.0, 4.0}) {
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx + dx * u, cy - 4 * u, 3.5 * u, 0, 2 * kPi);
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx + dx * u, cy + 9 * u, 6 * u, kPi, 2 * kPi);
        }
        FillOutlined(cr, ink, 1.2 * u);
        return true;
    }
    if (p == "save") { // a floppy disk
        RoundedRect(cr, cx - 9 * u, cy - 9 * u, 18 * u, 18 * u, 2 * u);
        FillOutlined(cr, FromHex(0x3f8fd8), 1.2 * u);
        cairo_rectangle(cr, cx - 5 * u, cy - 9 * u, 10 * u, 6 * u);
        FillOutlined(cr, ink, 1.0 * u);
        return true;
    }
    if (p == "exit" || p == "chat-close" || p == "cancel") { // a cross
        cairo_move_to(cr, cx - 7 * u, cy - 7 * u);
        cairo_line_to(cr, cx + 7 * u, cy + 7 * u);
        cairo_move_to(cr, cx + 7 * u, cy - 7 * u);
        cairo_line_to(cr, cx - 7 * u, cy + 7 * u);
        Outline(cr, line * 1.2, p == "exit" ? FromHex(0xe8503a) : ink);
        return true;
    }
    if (p == "options") { // a cog
        for (int i = 0; i < 16; ++i) {
            const double a = kPi * i / 8, r = (i / 1) % 2 ? 7 * u : 10 * u;
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        }
        cairo_close_path(cr);
        cairo_new_sub_path(cr);
        cairo_arc_negative(cr, cx, cy, 3 * u, 2 * kPi, 0);
        FillOutlined(cr, ink, 1.2 * u);
        return true;
    }
    if (p == "pin") { // a drawing pin, head up
        cairo_arc(cr, cx, cy - 4 * u, 6 * u, 0, 2 * kPi);
        FillOutlined(cr, FromHex(0xe8503a), 1.2 * u);
        cairo_move_to(cr, cx, cy + 2 * u);
        cairo_line_to(cr, cx + 1 * u, cy + 10 * u);
        Outline(cr, 1.2 * u, FromHex(0xcccccc));
        return true;
    }
    if (p == "speaker") { // a loudspeaker
        cairo_move_to(cr, cx - 8 * u, cy - 3 * u);
        cairo_line_to(cr, cx - 3 * u, cy - 3 * u);
        cairo_line_to(cr, cx + 3 * u, cy - 8 * u);
        cairo_line_to(cr, cx + 3 * u, cy + 8 * u);
        cairo_line_to(cr, cx - 3 * u, cy + 3 * u);
        cairo_line_to(cr, cx - 8 * u, cy + 3 * u);
        cairo_close_path(cr);
        FillOutlined(cr, ink, 1.2 * u);
        return true;
    }
    if (p == "notice") { // an exclamation mark in a triangle
        cairo_move_to(cr, cx, cy - 10 * u);
        cairo_line_to(cr, cx + 10 * u, cy + 8 * u);
        cairo_line_to(cr, cx - 10 * u, cy + 8 * u);
        cairo_close_path(cr);
        FillOutlined(cr, palette::kGold, 1.2 * u);
        cairo_move_to(cr, cx, cy - 4 * u);
        cairo_line_to(cr, cx, cy + 2 * u);
        cairo_move_to(cr, cx, cy + 5 * u);
        cairo_line_to(cr, cx, cy + 5.2 * u);
        SetRgb(cr, palette::kInk);
        cairo_set_line_width(cr, 2 * u);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
        return true;
    }
    if (p == "play") {
        cairo_move_to(cr, cx - 5 * u, cy - 8 * u);
        cairo_line_to(cr, cx + 7 * u, cy);
        cairo_line_to(cr, cx - 5 * u, cy + 8 * u);
        cairo_close_path(cr);
        FillOutlined(cr, ink, 1.2 * u);
        return true;
    }
    if (p == "pause") {
        cairo_rectangle(cr, cx - 6 * u, cy - 7 * u, 4 * u, 14 * u);
        cairo_rectangle(cr, cx + 2 * u, cy - 7 * u, 4 * u, 14 * u);
        FillOutlined(cr, ink, 1.2 * u);
        return true;
    }
    if (p == "score") { // a trophy cup
        cairo_move_to(cr, cx - 7 * u, cy - 8 * u);
        cairo_line_to(cr, cx + 7 * u, cy - 8 * u);
        cairo_curve_to(cr, cx + 7 * u, cy + 2 * u, cx + 2 * u, cy + 3 * u, cx + 1 * u, cy + 4 * u);
        cairo_line_to(cr, cx + 4 * u, cy + 9 * u);
        cairo_line_to(cr, cx - 4 * u, cy + 9 * u);
        cairo_line_to(cr, cx - 1 * u, cy + 4 * u);
        cairo_curve_to(cr, cx - 2 * u, cy + 3 * u, cx - 7 * u, cy + 2 * u, cx - 7 * u, cy - 8 * u);
        FillOutlined(cr, frame == 0 ? palette::kGold : ink, 1.2 * u);
        return true;
    }
    if (p == "quantum" || p == "freeze") { // a round button: an hourglass or a snowflake
        cairo_arc(cr, cx, cy, 10.5 * u, 0, 2 * kPi);
        const Rgb plate = p == "quantum" ? FromHex(0x6a4ac8) : FromHex(0x3aa8d8);
        FillOutlined(cr, frame == 2 ? Lighten(plate, 0.35) : (frame == 1 ? Lighten(plate, 0.15) : plate), 1.4 * u);
        if (p == "quantum") {
            cairo_move_to(cr, cx - 5 * u, cy - 6 * u);
            cairo_line_to(cr, cx + 5 * u, cy - 6 * u);
            cairo_line_to(cr, cx - 5 * u, cy + 6 * u);
            cairo_line_to(cr, cx + 5 * u, cy + 6 * u);
            cairo_close_path(cr);
        } else {
            for (int i = 0; i < 3; ++i) {
                const double a = kPi * i / 3;
                cairo_move_to(cr, cx - 7 * u * std::cos(a), cy - 7 * u * std::sin(a));
                cairo_line_to(cr, cx + 7 * u * std::cos(a), cy + 7 * u * std::sin(a));
            }
        }
        Outline(cr, 1.4 * u, palette::kCream);
        return true;
    }
    return false;
}

// ---- End-of-match expressions: a flimb face of the group's colour, happy or sad.
bool Expression(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2, r = std::min(w, h) * 0.42;
    cairo_pattern_t* face = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, r / 6, cx, cy, r);
    AddStop(face, 0, Lighten(FromHex(s.colour), 0.4));
    AddStop(face, 1, Darken(FromHex(s.colour), 0.15));
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_set_source(cr, face);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(face);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, r * 0.06);
    cairo_stroke(cr);
    for (double dx : {-0.35, 0.35}) {
        cairo_arc(cr, cx + dx * r, cy - 0.2 * r, r * 0.14, 0, 2 * kPi);
        SetRgb(cr, palette::kCream);
        cairo_fill_preserve(cr);
        SetRgb(cr, palette::kInk);
        cairo_stroke(cr);
        cairo_arc(cr, cx + dx * r, cy - 0.17 * r, r * 0.06, 0, 2 * kPi);
        cairo_fill(cr);
    }
    if (s.part == "happy")
        cairo_arc_negative(cr, cx, cy + 0.05 * r, r * 0.45, kPi * 0.85, kPi * 0.15);
    else
        cairo_arc(cr, cx, cy + 0.6 * r, r * 0.4, kPi * 1.2, kPi * 1.8);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, r * 0.09);
    cairo_stroke(cr);
    return true;
}

// ---- The FlimbMaster display.

bool MasterFrame(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    RoundedRect(cr, 1, 1, w - 2, h - 2, 10);
    cairo_new_sub_path(cr);
    cairo_rectangle(cr, 4 + 98, 9, -98, 112); // the window (drawn counter-clockwise: a hole)
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_pattern_t* metal = cairo_pattern_create_linear(0, 0, w, h);
    AddStop(metal, 0, Lighten(FromHex(s.colour), 0.25));
    AddStop(metal, 1, Darken(FromHex(s.colour), 0.3));
    cairo_set_source(cr, metal);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(metal);
    SetRgb(cr, palette::kGold);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    return true;
}

bool MasterCover(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_pattern_t* plate = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(plate, 0, FromHex(0x4a4552));
    AddStop(plate, 1, FromHex(0x24212a));
    cairo_set_source(cr, plate);
    cairo_fill(cr);
    cairo_pattern_destroy(plate);
    // A closed iris: six blades meeting in the middle.
    for (int i = 0; i < 6; ++i) {
        const double a = kPi * i / 3;
        cairo_move_to(cr, w / 2, h / 2);
        cairo_line_to(cr, w / 2 + w * std::cos(a), h / 2 + w * std::sin(a));
    }
    SetRgb(cr, palette::kGold, 0.7);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    return true;
}

// Frame f of n: the iris opened by f / (n - 1) (frame 0 nearly shut, the last fully open).
bool IrisDoor(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2;
    const double open = s.frames > 1 ? double(frame) / (s.frames - 1) : 1.0;
    const double hole = open * std::hypot(w, h) * 0.55;
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, cx, cy, std::max(0.5, hole), 2 * kPi, 0);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill(cr);
    for (int i = 0; i < 6; ++i) { // blade edges
        const double a = kPi * i / 3 + open;
        cairo_move_to(cr, cx + hole * std::cos(a), cy + hole * std::sin(a));
        cairo_line_to(cr, cx + (hole + w) * std::cos(a + 0.5), cy + (hole + w) * std::sin(a + 0.5));
    }
    SetRgb(cr, palette::kGold, 0.8);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    return true;
}

bool Shield(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2;
    cairo_move_to(cr, w * 0.12, h * 0.1);
    cairo_line_to(cr, w * 0.88, h * 0.1);
    cairo_curve_to(cr, w * 0.88, h * 0.6, w * 0.7, h * 0.8, cx, h * 0.94);
    cairo_curve_to(cr, w * 0.3, h * 0.8, w * 0.12, h * 0.6, w * 0.12, h * 0.1);
    cairo_close_path(cr);
    FillOutlined(cr, FromHex(s.colour), 2.5);
    cairo_set_line_width(cr, w * 0.09);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_arc(cr, cx, h * 0.38, w * 0.13, -kPi, kPi * 0.45);
    cairo_line_to(cr, cx, h * 0.6);
    SetRgb(cr, palette::kCream);
    cairo_stroke(cr);
    cairo_arc(cr, cx, h * 0.74, w * 0.05, 0, 2 * kPi);
    cairo_fill(cr);
    return true;
}

// ---- The in-game menu's button pieces: a dark tab with a gold rim; three state frames
// stacked (normal, hover, pressed) or, for the end pieces, one rounded end.
bool MenuPiece(cairo_t* cr, const ImageSpec& s, int frame)
{
    const bool end = s.part.find("-end") != std::string::npos;
    const std::string side = end ? s.part.substr(0, s.part.size() - 4) : s.part;
    const double w = s.frameWidth, h = s.frameHeight;
    Rgb body = FromHex(s.colour);
    if (frame == 1)
        body = Lighten(body, 0.25);
    else if (frame == 2)
        body = Darken(body, 0.25);
    const double left = side == "left" ? 0 : -20, right = side == "right" ? w : w + 20;
    RoundedRect(cr, left + 1, -10, right - left - 2, h + 9, 8);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(shade, 0, Darken(body, 0.2));
    AddStop(shade, 1, Lighten(body, 0.1));
    cairo_set_source(cr, shade);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(shade);
    SetRgb(cr, end ? palette::kInk : palette::kGold, 0.9);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    return true;
}

// ---- The history film strip: a dark strip of seven windows; the overlay holds the
// sprocket holes and the window frames over the pictures.
bool FilmStrip(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, slot = w / 7.0;
    const bool base = s.part == "base";
    if (base) {
        RoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 4);
        SetRgb(cr, FromHex(s.colour), 0.92);
        cairo_fill(cr);
        for (int i = 0; i < 7; ++i) {
            cairo_rectangle(cr, i * slot + 4, 9, slot - 8, h - 18);
            SetRgb(cr, FromHex(0x2c3a44));
            cairo_fill(cr);
        }
        return true;
    }
    for (int i = 0; i < 7; ++i) {
        for (double y : {2.5, h - 6.5})
            for (double dx : {slot * 0.25, slot * 0.6}) {
                cairo_rectangle(cr, i * slot + dx, y, 5, 4);
                SetRgb(cr, palette::kCream, 0.85);
                cairo_fill(cr);
            }
        cairo_rectangle(cr, i * slot + 4, 9, slot - 8, h - 18);
        SetRgb(cr, palette::kInk, 0.9);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    return true;
}

// ---- Countdown: a big outlined digit (or "GO!") over a burst.
bool CountDown(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const bool go = s.part == "go";
    for (int i = 0; i < 16; ++i) {
        const double a = kPi * i / 8, r = i % 2 ? w * 0.3 : w * 0.48;
        cairo_line_to(cr, w / 2 + r * std::cos(a), h / 2 + r * std::sin(a));
    }
    cairo_close_path(cr);
    SetRgb(cr, FromHex(s.colour), 0.85);
    cairo_fill(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    const std::string text = go ? "GO!" : s.part;
    cairo_set_font_size(cr, go ? w * 0.34 : h * 0.62);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_move_to(cr, w / 2 - e.width / 2 - e.x_bearing, h / 2 - e.height / 2 - e.y_bearing);
    cairo_text_path(cr, text.c_str());
    SetRgb(cr, palette::kCream);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, w * 0.025);
    cairo_stroke(cr);
    return true;
}

// ---- A chat icon: a speech balloon of the group's colour.
bool ChatIcon(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    RoundedRect(cr, 1, 1, w - 2, h * 0.72, 3);
    cairo_move_to(cr, w * 0.3, h * 0.7);
    cairo_line_to(cr, w * 0.2, h - 1);
    cairo_line_to(cr, w * 0.55, h * 0.7);
    FillOutlined(cr, FromHex(s.colour), 1.0);
    return true;
}

} // namespace

void AddHudShareLooks(LookTable& table)
{
    table["belt-slot"] = BeltSlot;
    table["belt-wedge"] = BeltWedge;
    table["belt-divider"] = BeltDivider;
    table["bubble-frame"] = BoxLook(1.0, false);
    table["chat-frame"] = BoxLook(0.72, true);
    table["pictogram"] = Pictogram;
    table["expression"] = Expression;
    table["master-frame"] = MasterFrame;
    table["master-cover"] = MasterCover;
    table["iris-door"] = IrisDoor;
    table["shield"] = Shield;
    table["menu-piece"] = MenuPiece;
    table["film-strip"] = FilmStrip;
    table["count-down"] = CountDown;
    table["chat-icon"] = ChatIcon;
}

} // namespace artgen
