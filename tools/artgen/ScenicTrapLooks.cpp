// Looks of the pickup, flow and scenery traps: the actions and speed pickups' symbols, the
// checkpoint post and its lights, the camera and sky icons, the annotation's frames, arrow and
// tails, the helmet decoration and flower stamp, the sample skies and background layers.
#include "tools/artgen/Looks.h"
#include "tools/artgen/Paint.h"
#include "tools/artgen/PickupSymbols.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace artgen {
namespace {

double Phase(const ImageSpec& s, int frame)
{
    return s.frames > 0 ? double(frame) / s.frames : 0.0;
}

// A deterministic value in [0, 1) for an index (scenery placement without a generator).
double Hash01(int i)
{
    uint32_t h = uint32_t(i) * 2654435761u;
    h ^= h >> 15;
    h *= 2246822519u;
    h ^= h >> 13;
    return double(h % 10000u) / 10000.0;
}

void Stroke(cairo_t* cr, double width)
{
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

// Fills the path with the colour and outlines it in ink.
void FillInked(cairo_t* cr, Rgb colour, double width)
{
    SetRgb(cr, colour);
    cairo_fill_preserve(cr);
    SetRgb(cr, palette::kInk);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void Disc(cairo_t* cr, double x, double y, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
}

// The morph actions' pictograms in cream on the orb.
bool ActionSymbol(cairo_t* cr, const std::string& name, double cx, double cy, double r)
{
    const double u = r * 0.5;
    if (name == "Clob") { // a fist punching forwards
        RoundedRect(cr, cx - u * 0.7, cy - u * 0.6, u * 1.2, u * 1.2, u * 0.3);
        cairo_fill(cr);
        cairo_move_to(cr, cx + u * 0.7, cy - u * 0.5);
        cairo_line_to(cr, cx + u * 1.2, cy - u * 0.8);
        cairo_move_to(cr, cx + u * 0.7, cy + u * 0.5);
        cairo_line_to(cr, cx + u * 1.2, cy + u * 0.8);
        Stroke(cr, r * 0.1);
    } else if (name == "Mold") { // rising steps
        for (int i = 0; i < 3; ++i)
            cairo_rectangle(cr, cx - u + i * u * 0.7, cy + u * 0.6 - (i + 1) * u * 0.5, u * 0.7, (i + 1) * u * 0.5);
        cairo_fill(cr);
    } else if (name == "Nova") { // a starburst
        for (int i = 0; i < 8; ++i) {
            const double a = i * kPi / 4;
            cairo_move_to(cr, cx + std::cos(a) * u * 0.3, cy + std::sin(a) * u * 0.3);
            cairo_line_to(cr, cx + std::cos(a) * u * 1.1, cy + std::sin(a) * u * 1.1);
        }
        Stroke(cr, r * 0.12);
    } else if (name == "Drill") { // a bit pointing down
        cairo_move_to(cr, cx - u * 0.6, cy - u * 0.9);
        cairo_line_to(cr, cx + u * 0.6, cy - u * 0.9);
        cairo_line_to(cr, cx, cy + u * 1.0);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else if (name == "Gulp") { // an open mouth
        cairo_arc(cr, cx, cy, u, kPi * 0.2, kPi * 1.8);
        cairo_line_to(cr, cx, cy);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else if (name == "Doppel") { // two figures
        Disc(cr, cx - u * 0.45, cy, u * 0.5);
        Disc(cr, cx + u * 0.45, cy, u * 0.5);
        Stroke(cr, r * 0.1);
    } else if (name == "Puff") { // a cloud
        Disc(cr, cx - u * 0.5, cy + u * 0.2, u * 0.45);
        Disc(cr, cx, cy - u * 0.2, u * 0.6);
        Disc(cr, cx + u * 0.5, cy + u * 0.2, u * 0.45);
        cairo_fill(cr);
    } else if (name == "Spin") { // a spiral
        for (int i = 0; i <= 40; ++i) {
            const double a = i * kPi / 10, d = u * (0.1 + i / 40.0);
            if (i == 0)
                cairo_move_to(cr, cx + std::cos(a) * d, cy + std::sin(a) * d);
            else
                cairo_line_to(cr, cx + std::cos(a) * d, cy + std::sin(a) * d);
        }
        Stroke(cr, r * 0.09);
    } else if (name == "Atomize") { // scattered dots
        for (int i = 0; i < 7; ++i)
            Disc(cr, cx + (Hash01(i) - 0.5) * u * 1.8, cy + (Hash01(i + 11) - 0.5) * u * 1.8, u * 0.16);
        cairo_fill(cr);
    } else if (name == "Lop") { // a blade cutting across
        cairo_move_to(cr, cx - u, cy + u * 0.8);
        cairo_line_to(cr, cx + u, cy - u * 0.8);
        Stroke(cr, r * 0.14);
        Disc(cr, cx + u * 0.7, cy - u * 0.5, u * 0.25);
        cairo_fill(cr);
    } else if (name == "Walk") { // two footprints
        cairo_save(cr);
        for (int i = 0; i < 2; ++i) {
            cairo_save(cr);
            cairo_translate(cr, cx + (i ? u * 0.4 : -u * 0.4), cy + (i ? -u * 0.3 : u * 0.3));
            cairo_scale(cr, u * 0.3, u * 0.5);
            Disc(cr, 0, 0, 1);
            cairo_restore(cr);
        }
        cairo_fill(cr);
        cairo_restore(cr);
    } else if (name == "extra") { // a plus
        cairo_move_to(cr, cx - u, cy);
        cairo_line_to(cr, cx + u, cy);
        cairo_move_to(cr, cx, cy - u);
        cairo_line_to(cr, cx, cy + u);
        Stroke(cr, r * 0.2);
    } else {
        return false;
    }
    return true;
}

// Speed: one to three chevrons for factors 2, 4, 8; dots under them tell whom it speeds
// up (one flimb, my group, the others, all).
bool SpeedSymbol(cairo_t* cr, int mode, int factor, double cx, double cy, double r)
{
    const int chevrons = factor >= 8 ? 3 : factor >= 4 ? 2 : 1;
    const double u = r * 0.3;
    for (int i = 0; i < chevrons; ++i) {
        const double x = cx - (chevrons - 1) * u * 0.45 + i * u * 0.9 - u * 0.3;
        cairo_move_to(cr, x, cy - u * 1.3);
        cairo_line_to(cr, x + u * 0.7, cy - u * 0.4);
        cairo_line_to(cr, x, cy + u * 0.5);
    }
    Stroke(cr, r * 0.13);
    const int dots = mode == 0 ? 1 : mode == 3 ? 4 : 2;
    for (int i = 0; i < dots; ++i)
        Disc(cr, cx - (dots - 1) * u * 0.35 + i * u * 0.7, cy + u * 1.4, u * 0.22);
    cairo_fill(cr);
    if (mode == 2) { // the others: a bar across
        cairo_move_to(cr, cx - u, cy + u * 1.4);
        cairo_line_to(cr, cx + u, cy + u * 1.4);
        Stroke(cr, r * 0.05);
    }
    return true;
}

// The checkpoint post: a pole with a group-coloured pennant that waves over the frames.
bool CheckpointHead(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb colour = FromHex(s.colour);
    GlossyBody(cr, w * 0.44, h * 0.18, w * 0.12, h * 0.8, w * 0.05, FromHex(0x8a7a66), State::Normal);
    RoundedRect(cr, w * 0.3, h * 0.92, w * 0.4, h * 0.08, 2);
    SetRgb(cr, palette::kInk);
    cairo_fill(cr);
    const double wave = std::sin(Phase(s, frame) * 2 * kPi) * h * 0.04;
    cairo_move_to(cr, w * 0.56, h * 0.3);
    cairo_curve_to(cr, w * 0.7, h * 0.3 + wave, w * 0.8, h * 0.36 - wave, w * 0.95, h * 0.38 + wave);
    cairo_line_to(cr, w * 0.56, h * 0.52);
    cairo_close_path(cr);
    FillInked(cr, colour, 1.2);
    return true;
}

// The lamp on top of the post: dark ("off") or lit ("on").
bool CheckpointLight(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h * 0.14, r = w * 0.16;
    const bool on = s.part == "on";
    const Rgb c = FromHex(s.colour);
    if (on) {
        cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, r * 0.5, cx, cy, r * 3);
        AddStop(halo, 0, Lighten(c, 0.5), 0.8);
        AddStop(halo, 1, c, 0.0);
        cairo_set_source(cr, halo);
        Disc(cr, cx, cy, r * 3);
        cairo_fill(cr);
        cairo_pattern_destroy(halo);
    }
    Disc(cr, cx, cy, r);
    FillInked(cr, on ? Lighten(c, 0.4) : Darken(c, 0.6), 1.2);
    return true;
}

// Editor icons: a film camera, and a sun over a horizon.
bool ScenicIcon(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb c = FromHex(s.colour);
    GlossyBody(cr, 1, 1, w - 2, h - 2, w * 0.18, Darken(c, 0.4), State::Normal);
    SetRgb(cr, palette::kCream);
    if (s.part == "camera") {
        RoundedRect(cr, w * 0.18, h * 0.38, w * 0.46, h * 0.34, 3);
        cairo_fill(cr);
        cairo_move_to(cr, w * 0.64, h * 0.55);
        cairo_line_to(cr, w * 0.84, h * 0.4);
        cairo_line_to(cr, w * 0.84, h * 0.7);
        cairo_close_path(cr);
        cairo_fill(cr);
        Disc(cr, w * 0.3, h * 0.28, w * 0.1);
        Disc(cr, w * 0.52, h * 0.28, w * 0.1);
        cairo_fill(cr);
    } else {
        Disc(cr, w * 0.5, h * 0.55, w * 0.18);
        cairo_fill(cr);
        cairo_rectangle(cr, w * 0.15, h * 0.62, w * 0.7, h * 0.06);
        cairo_fill(cr);
    }
    return true;
}

// The annotation box cut in nine: Standard a parchment plate with a gold rim, Voice a
// white speech bubble. Part "fill" is the inside; "close" the close button (two frames for
// Voice: plain and lit); "back" the Standard fill as the kind's sprite.
bool AnnotationFrame(cairo_t* cr, const ImageSpec& s, int frame)
{
    const bool voice = s.colour == 0xffffff;
    const Rgb body = FromHex(s.colour);
    if (s.part == "close") {
        const double w = s.frameWidth, h = s.frameHeight, r = std::min(w, h) * 0.42;
        Disc(cr, w / 2, h / 2, r);
        SetRgb(cr, frame ? FromHex(0xe8503a) : FromHex(0xb03a2a));
        cairo_fill_preserve(cr);
        SetRgb(cr, palette::kInk);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_move_to(cr, w / 2 - r * 0.45, h / 2 - r * 0.45);
        cairo_line_to(cr, w / 2 + r * 0.45, h / 2 + r * 0.45);
        cairo_move_to(cr, w / 2 + r * 0.45, h / 2 - r * 0.45);
        cairo_line_to(cr, w / 2 - r * 0.45, h / 2 + r * 0.45);
        SetRgb(cr, palette::kCream);
        Stroke(cr, r * 0.28);
        return true;
    }
    if (s.part == "back") {
        cairo_rectangle(cr, 0, 0, s.frameWidth, s.frameHeight);
        SetRgb(cr, body, voice ? 1.0 : 0.92);
        cairo_fill(cr);
        return true;
    }
    const double thickness = 16;
    const SliceCanvas canvas = Slice9(cr, s, s.part, thickness);
    if (!canvas.valid)
        return false;
    RoundedRect(cr, 1.5, 1.5, canvas.width - 3, canvas.height - 3, voice ? 12 : 7);
    SetRgb(cr, body, voice ? 1.0 : 0.92);
    cairo_fill_preserve(cr);
    SetRgb(cr, voice ? palette::kInk : palette::kGold);
    cairo_set_line_width(cr, voice ? 2 : 3);
    cairo_stroke(cr);
    return true;
}

// The Standard arrow: "head" a point to the right, "body" a shaft 32 pixels long.
bool AnnotationArrow(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    if (s.part == "head") {
        cairo_move_to(cr, 0, 1);
        cairo_line_to(cr, w - 1, h / 2);
        cairo_line_to(cr, 0, h - 1);
        cairo_close_path(cr);
    } else {
        cairo_rectangle(cr, 0, h * 0.25, w, h * 0.5);
    }
    FillInked(cr, FromHex(s.colour), 1);
    return true;
}

// The Voice tail: part "<side>-base" the wide root against the bubble, "<side>-end" the tip,
// pointing away from the bubble on that side.
bool VoiceTail(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const std::string side = s.part.substr(0, s.part.find('-'));
    const bool base = s.part.find("base") != std::string::npos;
    cairo_save(cr);
    // Draw pointing right, turned to the side.
    double len = w, across = h;
    if (side == "top" || side == "bottom")
        std::swap(len, across);
    cairo_translate(cr, w / 2, h / 2);
    const double turn = side == "right" ? 0 : side == "bottom" ? kPi / 2 : side == "left" ? kPi : -kPi / 2;
    cairo_rotate(cr, turn);
    const double from = base ? across * 0.45 : across * 0.25, to = base ? across * 0.25 : 0.5;
    cairo_move_to(cr, -len / 2 - 1, -from);
    cairo_line_to(cr, len / 2 + (base ? 1 : -1), -to);
    cairo_line_to(cr, len / 2 + (base ? 1 : -1), to);
    cairo_line_to(cr, -len / 2 - 1, from);
    cairo_close_path(cr);
    SetRgb(cr, FromHex(s.colour));
    cairo_fill(cr);
    cairo_restore(cr);
    return true;
}

// A miner's helmet with its lamp, bobbing with the walk.
bool Helmet(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight, bob = (frame % 2) ? 1.0 : 0.0;
    cairo_arc(cr, w / 2, h * 0.8 + bob, w * 0.34, kPi, 2 * kPi);
    cairo_close_path(cr);
    FillInked(cr, FromHex(s.colour), 1.2);
    cairo_rectangle(cr, w * 0.1, h * 0.78 + bob, w * 0.8, h * 0.12);
    SetRgb(cr, Darken(FromHex(s.colour), 0.3));
    cairo_fill(cr);
    Disc(cr, w * 0.5, h * 0.55 + bob, w * 0.09);
    SetRgb(cr, FromHex(0xfff4a0));
    cairo_fill(cr);
    return true;
}

// The flower stamp: five petals round a golden heart.
bool FlowerStamp(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight, cx = w / 2, cy = h / 2, r = std::min(w, h) * 0.22;
    for (int i = 0; i < 5; ++i) {
        const double a = i * 2 * kPi / 5 - kPi / 2;
        Disc(cr, cx + std::cos(a) * r * 1.1, cy + std::sin(a) * r * 1.1, r * 0.75);
    }
    FillInked(cr, FromHex(s.colour), 1.5);
    Disc(cr, cx, cy, r * 0.6);
    SetRgb(cr, FromHex(0xf2c230));
    cairo_fill(cr);
    return true;
}

// Skies: part "sunset" a warm gradient with a low sun and streaks of cloud (a tile that
// repeats left to right), "clouds" a day sky of soft clouds, "night" the landscape-sized sky
// with stars (transparent towards the top, where the base colour shows).
bool Sky(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb c = FromHex(s.colour);
    cairo_pattern_t* band = cairo_pattern_create_linear(0, 0, 0, h);
    if (s.part == "night") {
        AddStop(band, 0, c, 0.0);
        AddStop(band, 0.5, c, 0.6);
        AddStop(band, 1, Lighten(c, 0.35), 1.0);
    } else if (s.part == "clouds") {
        AddStop(band, 0, Darken(c, 0.25));
        AddStop(band, 1, Lighten(c, 0.45));
    } else {
        AddStop(band, 0, FromHex(0x2b1e4f));
        AddStop(band, 0.55, c);
        AddStop(band, 1, FromHex(0xffd27a));
    }
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_set_source(cr, band);
    cairo_fill(cr);
    cairo_pattern_destroy(band);
    if (s.part == "night") {
        for (int i = 0; i < int(w * h / 2500); ++i) {
            Disc(cr, Hash01(i) * w, Hash01(i + 7777) * h * 0.8, 0.6 + Hash01(i + 31) * 1.2);
            SetRgb(cr, palette::kCream, 0.5 + Hash01(i + 3) * 0.5);
            cairo_fill(cr);
        }
        return true;
    }
    const int clouds = s.part == "clouds" ? 14 : 6;
    for (int i = 0; i < clouds; ++i) {
        const double x = Hash01(i + 100) * w, y = (s.part == "clouds" ? 0.1 : 0.45) * h + Hash01(i + 200) * h * 0.4;
        const double r = (0.05 + Hash01(i + 300) * 0.07) * w;
        // Drawn three times across the width, so that the tile repeats without a seam.
        for (int copy = -1; copy <= 1; ++copy) {
            cairo_save(cr);
            cairo_translate(cr, x + copy * w, y);
            cairo_scale(cr, 1.0, s.part == "clouds" ? 0.5 : 0.18);
            Disc(cr, 0, 0, r);
            Disc(cr, r * 0.8, r * 0.2, r * 0.7);
            Disc(cr, -r * 0.8, r * 0.25, r * 0.6);
            cairo_restore(cr);
            SetRgb(cr, s.part == "clouds" ? FromHex(0xffffff) : FromHex(0xff9d6a), s.part == "clouds" ? 0.85 : 0.7);
            cairo_fill(cr);
        }
    }
    if (s.part == "sunset") {
        Disc(cr, w * 0.5, h * 0.78, w * 0.12);
        SetRgb(cr, FromHex(0xffe9a0), 0.9);
        cairo_fill(cr);
    }
    return true;
}

// Background layers: "mountains" far peaks with snow, "hills" rolling hills, "forest" a row
// of pines; transparent above the shapes. Shapes meet the tile's left and right edges at the
// same height, so tiles join side by side.
bool SceneryLayer(cairo_t* cr, const ImageSpec& s, int)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const Rgb c = FromHex(s.colour);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, h);
    AddStop(shade, 0, Lighten(c, 0.2));
    AddStop(shade, 1, Darken(c, 0.3));
    if (s.part == "mountains") {
        cairo_move_to(cr, 0, h * 0.7);
        const int peaks = 4;
        for (int i = 0; i < peaks; ++i) {
            const double x0 = w * i / peaks, top = h * (0.15 + Hash01(i + 40) * 0.3);
            cairo_line_to(cr, x0 + w / peaks * 0.5, top);
            cairo_line_to(cr, x0 + w / peaks, h * 0.7);
        }
        cairo_line_to(cr, w, h);
        cairo_line_to(cr, 0, h);
        cairo_close_path(cr);
        cairo_set_source(cr, shade);
        cairo_fill(cr);
        for (int i = 0; i < peaks; ++i) {
            const double x0 = w * i / peaks, top = h * (0.15 + Hash01(i + 40) * 0.3), half = w / peaks * 0.5;
            const double drop = (h * 0.7 - top) * 0.25;
            cairo_move_to(cr, x0 + half, top);
            cairo_line_to(cr, x0 + half + half * drop / (h * 0.7 - top), top + drop);
            cairo_line_to(cr, x0 + half - half * drop / (h * 0.7 - top), top + drop);
            cairo_close_path(cr);
            SetRgb(cr, FromHex(0xf4f6ff), 0.9);
            cairo_fill(cr);
        }
    } else if (s.part == "hills") {
        cairo_move_to(cr, 0, h * 0.5);
        for (int i = 0; i <= 64; ++i) {
            const double x = w * i / 64.0;
            cairo_line_to(cr, x, h * (0.5 - 0.18 * std::sin(x / w * 2 * kPi * 2) - 0.08 * std::sin(x / w * 2 * kPi * 5)));
        }
        cairo_line_to(cr, w, h);
        cairo_line_to(cr, 0, h);
        cairo_close_path(cr);
        cairo_set_source(cr, shade);
        cairo_fill(cr);
    } else {
        cairo_rectangle(cr, 0, h * 0.85, w, h * 0.15);
        cairo_set_source(cr, shade);
        cairo_fill(cr);
        const int trees = 6;
        for (int i = 0; i < trees; ++i) {
            const double cx = w * (i + 0.5) / trees, top = h * (0.1 + Hash01(i + 60) * 0.3);
            for (int tier = 0; tier < 3; ++tier) {
                const double y0 = top + (h * 0.85 - top) * tier / 3.0, y1 = y0 + (h * 0.85 - top) * 0.5;
                const double half = w / trees * (0.25 + tier * 0.08);
                cairo_move_to(cr, cx, y0);
                cairo_line_to(cr, cx + half, y1);
                cairo_line_to(cr, cx - half, y1);
                cairo_close_path(cr);
            }
            cairo_set_source(cr, shade);
            cairo_fill(cr);
            cairo_rectangle(cr, cx - w * 0.01, h * 0.8, w * 0.02, h * 0.1);
            SetRgb(cr, FromHex(0x4a3020));
            cairo_fill(cr);
        }
    }
    cairo_pattern_destroy(shade);
    return true;
}

// Birds crossing the sky: a flock whose wings beat over the frames.
bool Birds(cairo_t* cr, const ImageSpec& s, int frame)
{
    const double w = s.frameWidth, h = s.frameHeight;
    const double beat = std::sin(Phase(s, frame) * 2 * kPi);
    SetRgb(cr, FromHex(s.colour));
    for (int i = 0; i < 3; ++i) {
        const double cx = w * (0.2 + 0.3 * i), cy = h * (0.4 + 0.2 * Hash01(i + 5)), span = w * 0.1;
        cairo_move_to(cr, cx - span, cy - beat * h * 0.15);
        cairo_curve_to(cr, cx - span * 0.5, cy - h * 0.1, cx - span * 0.2, cy, cx, cy + h * 0.05);
        cairo_curve_to(cr, cx + span * 0.2, cy, cx + span * 0.5, cy - h * 0.1, cx + span, cy - beat * h * 0.15);
        Stroke(cr, 2.0);
    }
    return true;
}

} // namespace

bool DrawScenicPickupSymbol(cairo_t* cr, const std::string& symbol, double cx, double cy, double r)
{
    if (symbol.rfind("action-", 0) == 0)
        return ActionSymbol(cr, symbol.substr(7), cx, cy, r);
    int mode = 0, factor = 0;
    if (std::sscanf(symbol.c_str(), "speed-%d-%d", &mode, &factor) == 2)
        return SpeedSymbol(cr, mode, factor, cx, cy, r);
    return false;
}

void AddScenicTrapLooks(LookTable& table)
{
    table["checkpoint-head"] = CheckpointHead;
    table["checkpoint-light"] = CheckpointLight;
    table["scenic-icon"] = ScenicIcon;
    table["annotation-frame"] = AnnotationFrame;
    table["annotation-arrow"] = AnnotationArrow;
    table["voice-tail"] = VoiceTail;
    table["helmet"] = Helmet;
    table["flower-stamp"] = FlowerStamp;
    table["sky"] = Sky;
    table["scenery-layer"] = SceneryLayer;
    table["birds"] = Birds;
}

} // namespace artgen
