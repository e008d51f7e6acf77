// Statistics looks: the HUD's stat icons (per group), the score panel's cards, bars and
// row symbols, and the end-of-match icon of each statistic kind. Every icon is a badge with
// one bold symbol so that it reads at 16 pixels.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"
#include "tools/artgen/Symbols.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace artgen {
namespace {

const Rgb kGood = FromHex(0x6fd86a);
const Rgb kBad = FromHex(0xe8503a);
const Rgb kGold = FromHex(0xf2c230);
const Rgb kSky = FromHex(0x7fd1ff);

// The HUD's stat icons: part flimb, start, lost, qdot or saved; colour the group's.
bool StatIcon(cairo_t* cr, const ImageSpec& s, int)
{
    const Box b = FrameBox(s);
    const Rgb group = FromHex(s.colour);
    Badge(cr, b, group);
    if (s.part == "flimb") {
        Flimb(cr, b, group);
    } else if (s.part == "start") {
        // The start hatch with a flimb waiting under its lid.
        RoundedRect(cr, b.X(0.2), b.Y(0.42), b.L(0.6), b.L(0.36), b.L(0.06));
        FillOutlined(cr, b, FromHex(0x8a8f99));
        Flimb(cr, b, group, 0.5, 0.46, 0.15);
        cairo_rectangle(cr, b.X(0.16), b.Y(0.3), b.L(0.68), b.L(0.1));
        FillOutlined(cr, b, FromHex(0xb8bec8));
    } else if (s.part == "lost") {
        Flimb(cr, b, Mix(group, palette::kDisabled, 0.55));
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, b.X(0.25), b.Y(0.25));
        cairo_line_to(cr, b.X(0.75), b.Y(0.8));
        cairo_move_to(cr, b.X(0.75), b.Y(0.25));
        cairo_line_to(cr, b.X(0.25), b.Y(0.8));
        SetRgb(cr, kBad);
        cairo_set_line_width(cr, b.L(0.11));
        cairo_stroke(cr);
    } else if (s.part == "qdot") {
        Qdot(cr, b, 0.5, 0.5, 0.2);
    } else if (s.part == "saved") {
        // The beam: chevrons rising over a pad.
        for (int i = 0; i < 3; ++i) {
            const double y = 0.62 - i * 0.16;
            cairo_move_to(cr, b.X(0.27), b.Y(y + 0.1));
            cairo_line_to(cr, b.X(0.5), b.Y(y - 0.06));
            cairo_line_to(cr, b.X(0.73), b.Y(y + 0.1));
            SetRgb(cr, Mix(kGood, palette::kCream, i * 0.25));
            cairo_set_line_width(cr, b.L(0.09));
            cairo_stroke(cr);
        }
        cairo_rectangle(cr, b.X(0.24), b.Y(0.76), b.L(0.52), b.L(0.07));
        FillOutlined(cr, b, FromHex(0x8a8f99));
    } else {
        return false;
    }
    return true;
}

// A score card: a plate in the group's colour with a dark field for the three rows.
bool ScoreCard(cairo_t* cr, const ImageSpec& s, int)
{
    const Rgb group = FromHex(s.colour);
    const double w = s.frameWidth, h = s.frameHeight;
    RoundedRect(cr, 1, 1, w - 2, h - 2, 6);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(body, 0, Lighten(group, 0.2));
    AddStop(body, 1, Darken(group, 0.45));
    cairo_set_source(cr, body);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(body);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    RoundedRect(cr, 5, 5, w - 10, h - 10, 4);
    SetRgb(cr, palette::kShade, 0.72);
    cairo_fill(cr);
    return true;
}

// A piece of a group's status bar: a glossy band, uniform along its length.
bool StatusBar(cairo_t* cr, const ImageSpec& s, int)
{
    const Rgb group = FromHex(s.colour);
    const double h = s.frameHeight;
    cairo_rectangle(cr, 0, 0, s.frameWidth, h);
    cairo_pattern_t* band = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(band, 0, Lighten(group, 0.55));
    AddStop(band, 0.45, group);
    AddStop(band, 1, Darken(group, 0.5));
    cairo_set_source(cr, band);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    cairo_rectangle(cr, 0, 0, s.frameWidth, 1);
    SetRgb(cr, palette::kCream, 0.6);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, h - 1, s.frameWidth, 1);
    SetRgb(cr, palette::kInk, 0.8);
    cairo_fill(cr);
    return true;
}

// The symbols of the score card's rows and its corner mark.
bool ScoreSymbol(cairo_t* cr, const ImageSpec& s, int)
{
    const Box b = FrameBox(s);
    const Rgb white = FromHex(0xf4f4f4);
    if (s.part == "out") {
        Flimb(cr, b, white, 0.5, 0.52, 0.3);
    } else if (s.part == "stored") {
        RoundedRect(cr, b.X(0.12), b.Y(0.3), b.L(0.76), b.L(0.56), b.L(0.08));
        FillOutlined(cr, b, FromHex(0xa8aeb8));
        cairo_rectangle(cr, b.X(0.06), b.Y(0.16), b.L(0.88), b.L(0.16));
        FillOutlined(cr, b, FromHex(0xd2d6de));
    } else if (s.part == "lost") {
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, b.X(0.18), b.Y(0.18));
        cairo_line_to(cr, b.X(0.82), b.Y(0.82));
        cairo_move_to(cr, b.X(0.82), b.Y(0.18));
        cairo_line_to(cr, b.X(0.18), b.Y(0.82));
        SetRgb(cr, palette::kInk);
        cairo_set_line_width(cr, b.L(0.3));
        cairo_stroke_preserve(cr);
        SetRgb(cr, kBad);
        cairo_set_line_width(cr, b.L(0.18));
        cairo_stroke(cr);
    } else if (s.part == "score") {
        Star(cr, b, 0.5, 0.53, 0.46, 0.2, 5);
        FillOutlined(cr, b, kGold);
    } else {
        return false;
    }
    return true;
}

// The end-of-match icon of each statistic kind, by its file stem.
bool StatKind(cairo_t* cr, const ImageSpec& s, int)
{
    const Box b = FrameBox(s);
    using Draw = std::function<Rgb()>;
    const std::map<std::string, Draw> symbols = {
        {"flimbs", [&] { Flimb(cr, b, kGood); return kGood; }},
        {"stolen", [&] {
             Flimb(cr, b, FromHex(0xffa040), 0.42, 0.56, 0.2);
             cairo_new_path(cr);
             cairo_arc(cr, b.X(0.62), b.Y(0.42), b.L(0.2), -kPi * 0.9, 0);
             SetRgb(cr, palette::kCream);
             cairo_set_line_width(cr, b.L(0.08));
             cairo_stroke(cr);
             Arrow(cr, b, 0.82, 0.4, 0.66, palette::kCream);
             return FromHex(0xffa040);
         }},
        {"lost", [&] {
             Flimb(cr, b, palette::kDisabled);
             cairo_move_to(cr, b.X(0.26), b.Y(0.26));
             cairo_line_to(cr, b.X(0.74), b.Y(0.78));
             cairo_move_to(cr, b.X(0.74), b.Y(0.26));
             cairo_line_to(cr, b.X(0.26), b.Y(0.78));
             SetRgb(cr, kBad);
             cairo_set_line_width(cr, b.L(0.1));
             cairo_stroke(cr);
             return kBad;
         }},
        {"nova", [&] { Star(cr, b, 0.5, 0.5, 0.42, 0.16, 8); FillOutlined(cr, b, FromHex(0xffd040)); return FromHex(0xff7030); }},
        {"morphs", [&] {
             cairo_new_path(cr);
             cairo_arc(cr, b.X(0.5), b.Y(0.5), b.L(0.26), kPi * 0.1, kPi * 0.9);
             cairo_new_sub_path(cr);
             cairo_arc(cr, b.X(0.5), b.Y(0.5), b.L(0.26), kPi * 1.1, kPi * 1.9);
             SetRgb(cr, kSky);
             cairo_set_line_width(cr, b.L(0.1));
             cairo_stroke(cr);
             Arrow(cr, b, 0.76, 0.44, 0.62, kSky);
             Arrow(cr, b, 0.24, 0.56, 0.38, kSky);
             return kSky;
         }},
        {"onside", [&] {
             cairo_rectangle(cr, b.X(0.3), b.Y(0.2), b.L(0.07), b.L(0.62));
             FillOutlined(cr, b, palette::kCream);
             cairo_move_to(cr, b.X(0.37), b.Y(0.2));
             cairo_line_to(cr, b.X(0.74), b.Y(0.32));
             cairo_line_to(cr, b.X(0.37), b.Y(0.46));
             cairo_close_path(cr);
             FillOutlined(cr, b, kGood);
             return kGood;
         }},
        {"pickup", [&] { Qdot(cr, b, 0.5, 0.72, 0.1); Arrow(cr, b, 0.5, 0.62, 0.18, kGood); return kGood; }},
        {"drop", [&] { Qdot(cr, b, 0.5, 0.76, 0.1); Arrow(cr, b, 0.5, 0.18, 0.64, kBad); return kBad; }},
        {"melt", [&] {
             cairo_move_to(cr, b.X(0.5), b.Y(0.16));
             cairo_curve_to(cr, b.X(0.74), b.Y(0.46), b.X(0.76), b.Y(0.8), b.X(0.5), b.Y(0.82));
             cairo_curve_to(cr, b.X(0.24), b.Y(0.8), b.X(0.26), b.Y(0.46), b.X(0.5), b.Y(0.16));
             FillOutlined(cr, b, kSky);
             return kSky;
         }},
        {"multi", [&] {
             Flimb(cr, b, kGood, 0.3, 0.6, 0.14);
             Flimb(cr, b, kSky, 0.7, 0.6, 0.14);
             Flimb(cr, b, kGold, 0.5, 0.42, 0.15);
             return kGold;
         }},
        {"lop", [&] {
             Flimb(cr, b, FromHex(0xc080ff));
             cairo_move_to(cr, b.X(0.14), b.Y(0.44));
             cairo_line_to(cr, b.X(0.86), b.Y(0.36));
             SetRgb(cr, palette::kCream);
             cairo_set_line_width(cr, b.L(0.08));
             cairo_stroke(cr);
             return FromHex(0xc080ff);
         }},
        {"clob", [&] {
             RoundedRect(cr, b.X(0.22), b.Y(0.2), b.L(0.56), b.L(0.3), b.L(0.06));
             FillOutlined(cr, b, FromHex(0xa8aeb8));
             cairo_rectangle(cr, b.X(0.45), b.Y(0.5), b.L(0.1), b.L(0.32));
             FillOutlined(cr, b, FromHex(0x9a6a3a));
             return FromHex(0xa8aeb8);
         }},
        {"score", [&] { Star(cr, b, 0.5, 0.53, 0.4, 0.17, 5); FillOutlined(cr, b, kGold); return kGold; }},
        {"first", [&] {
             cairo_arc(cr, b.X(0.5), b.Y(0.56), b.L(0.26), 0, 2 * kPi);
             FillOutlined(cr, b, kGold);
             cairo_move_to(cr, b.X(0.44), b.Y(0.46));
             cairo_line_to(cr, b.X(0.52), b.Y(0.42));
             cairo_line_to(cr, b.X(0.52), b.Y(0.7));
             SetRgb(cr, palette::kInk);
             cairo_set_line_width(cr, b.L(0.07));
             cairo_stroke(cr);
             return kGold;
         }},
        {"time", [&] {
             cairo_arc(cr, b.X(0.5), b.Y(0.5), b.L(0.3), 0, 2 * kPi);
             FillOutlined(cr, b, palette::kCream);
             cairo_move_to(cr, b.X(0.5), b.Y(0.5));
             cairo_line_to(cr, b.X(0.5), b.Y(0.3));
             cairo_move_to(cr, b.X(0.5), b.Y(0.5));
             cairo_line_to(cr, b.X(0.64), b.Y(0.56));
             SetRgb(cr, palette::kInk);
             cairo_set_line_width(cr, b.L(0.06));
             cairo_stroke(cr);
             return kSky;
         }},
        {"lead", [&] {
             cairo_move_to(cr, b.X(0.2), b.Y(0.7));
             cairo_line_to(cr, b.X(0.2), b.Y(0.34));
             cairo_line_to(cr, b.X(0.35), b.Y(0.5));
             cairo_line_to(cr, b.X(0.5), b.Y(0.26));
             cairo_line_to(cr, b.X(0.65), b.Y(0.5));
             cairo_line_to(cr, b.X(0.8), b.Y(0.34));
             cairo_line_to(cr, b.X(0.8), b.Y(0.7));
             cairo_close_path(cr);
             FillOutlined(cr, b, kGold);
             return kGold;
         }},
        {"mold", [&] {
             cairo_move_to(cr, b.X(0.2), b.Y(0.74));
             cairo_curve_to(cr, b.X(0.16), b.Y(0.36), b.X(0.4), b.Y(0.22), b.X(0.52), b.Y(0.3));
             cairo_curve_to(cr, b.X(0.7), b.Y(0.2), b.X(0.86), b.Y(0.44), b.X(0.8), b.Y(0.74));
             cairo_close_path(cr);
             FillOutlined(cr, b, FromHex(0x7cc060));
             return FromHex(0x7cc060);
         }},
        {"qdot", [&] { Qdot(cr, b, 0.5, 0.5, 0.2); return FromHex(0xff8800); }},
    };
    std::string stem = s.part;
    const auto symbol = symbols.find(stem);
    if (symbol == symbols.end())
        return false;
    // The badge first (its rim in the symbol's colour), then the symbol over it.
    cairo_push_group(cr);
    const Rgb rim = symbol->second();
    cairo_pattern_t* drawn = cairo_pop_group(cr);
    Badge(cr, b, rim);
    cairo_set_source(cr, drawn);
    cairo_paint(cr);
    cairo_pattern_destroy(drawn);
    return true;
}

} // namespace

void AddStatLooks(LookTable& table)
{
    table["stat-icon"] = StatIcon;
    table["score-card"] = ScoreCard;
    table["status-bar"] = StatusBar;
    table["score-symbol"] = ScoreSymbol;
    table["stat-kind"] = StatKind;
}

} // namespace artgen
