#include "tools/videogen/ClipLooks.h"

#include "tools/soundgen/Synth.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace videogen {
namespace {

constexpr double kPi = 3.14159265358979;

struct Rgb {
    double r, g, b;
};

Rgb FromHex(uint32_t rgb)
{
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

Rgb Scale(Rgb c, double k)
{
    return {c.r * k, c.g * k, c.b * k};
}

Rgb Lighten(Rgb c, double t)
{
    return {c.r + (1 - c.r) * t, c.g + (1 - c.g) * t, c.b + (1 - c.b) * t};
}

double Smooth(double u)
{
    u = std::clamp(u, 0.0, 1.0);
    return u * u * (3 - 2 * u);
}

// The iris. The game plays this one clip twice per screen change (see FlimbsTransition):
// the closing play starts at 2/3 s and runs to the end, which is fully covered; the opening
// play runs from 0 and stops at 2/3 s, where the iris is wide open. So the clip holds the
// opening first (covered -> open) and the closing after it (open -> covered). Every covered
// pixel keeps a channel well above 8, so the game's colour key (channels below 8 are
// transparent) never punches holes into the cover; the open part is pure black.
constexpr double kOpeningSeconds = 2.0 / 3.0;
constexpr double kClosingSeconds = 0.8;

// 0 = covered, 1 = wide open, at time t.
double IrisOpening(double t)
{
    if (t < kOpeningSeconds) // opening: covered for a moment, eases open, holds open
        return 1.0 - (1.0 - Smooth((t - 0.05) / 0.5)) * (1.0 - Smooth((t - 0.05) / 0.5));
    const double c = t - kOpeningSeconds; // closing: open for a moment, eases shut, holds shut
    const double u = Smooth((c - 0.08) / 0.58);
    return 1.0 - u * u * (2.0 - u);
}

int IrisFrames(const ClipSpec& s)
{
    return static_cast<int>(std::lround(s.fps * (kOpeningSeconds + kClosingSeconds)));
}

void IrisFrame(cairo_t* cr, const ClipSpec& s, int frame)
{
    const double w = s.width, h = s.height, cx = w / 2, cy = h / 2;
    const double open = IrisOpening(double(frame) / s.fps);
    // An octagon whose inner radius reaches the corners when open.
    const double full = std::hypot(w, h) / 2 / std::cos(kPi / 8) + 4;
    const double r = full * open;
    const double turn = (1.0 - open) * kPi / 3;
    const int blades = 8;
    double vx[blades], vy[blades];
    for (int i = 0; i < blades; ++i) {
        const double a = turn + i * 2 * kPi / blades;
        vx[i] = cx + r * std::cos(a);
        vy[i] = cy + r * std::sin(a);
    }

    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    if (open >= 1.0)
        return;

    const Rgb base = FromHex(s.colour);
    auto aperture = [&] {
        cairo_move_to(cr, vx[0], vy[0]);
        for (int i = 1; i < blades; ++i)
            cairo_line_to(cr, vx[i], vy[i]);
        cairo_close_path(cr);
    };
    // The blades: the screen minus the aperture, lighter towards the opening.
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, w, h);
    aperture();
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
    cairo_pattern_t* shade = cairo_pattern_create_radial(cx, cy, r, cx, cy, std::max(r + 1, full));
    const Rgb inner = Lighten(base, 0.3), outer = Scale(base, 0.6);
    cairo_pattern_add_color_stop_rgb(shade, 0, inner.r, inner.g, inner.b);
    cairo_pattern_add_color_stop_rgb(shade, 1, outer.r, outer.g, outer.b);
    cairo_set_source(cr, shade);
    cairo_paint(cr);
    cairo_pattern_destroy(shade);
    // Seams between the blades: from each corner of the aperture along its edge outwards.
    const Rgb seam = Scale(base, 0.45);
    cairo_set_source_rgb(cr, seam.r, seam.g, seam.b);
    cairo_set_line_width(cr, 2.5);
    for (int i = 0; i < blades; ++i) {
        const double a = turn + i * 2 * kPi / blades + kPi / 2 + kPi / blades;
        cairo_move_to(cr, vx[i], vy[i]);
        cairo_line_to(cr, vx[i] + 2 * full * std::cos(a), vy[i] + 2 * full * std::sin(a));
    }
    cairo_stroke(cr);
    // A lit edge on each blade just beside its seam.
    const Rgb lit = Lighten(base, 0.5);
    cairo_set_source_rgba(cr, lit.r, lit.g, lit.b, 0.5);
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < blades; ++i) {
        const double a = turn + i * 2 * kPi / blades + kPi / 2 + kPi / blades;
        const double nx = -std::sin(a) * 2.5, ny = std::cos(a) * 2.5;
        cairo_move_to(cr, vx[i] + nx, vy[i] + ny);
        cairo_line_to(cr, vx[i] + nx + 2 * full * std::cos(a), vy[i] + ny + 2 * full * std::sin(a));
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    // A golden rim round the opening.
    if (r > 1.0) {
        aperture();
        cairo_set_source_rgb(cr, 0.95, 0.71, 0.28);
        cairo_set_line_width(cr, 3.0);
        cairo_stroke(cr);
    }
}

// Two soft rushes of air: one as the iris opens, one as it shuts, with a thump at the end.
std::vector<float> IrisSound(const ClipSpec&)
{
    using soundgen::Tone;
    using soundgen::Wave;
    const float closeAt = static_cast<float>(kOpeningSeconds);
    const std::vector<Tone> tones = {
        {Wave::Noise, 0.04f, 0.5f, 2400.0f, 500.0f, 0.6f},
        {Wave::Noise, closeAt + 0.06f, 0.6f, 400.0f, 2600.0f, 0.6f},
        {Wave::Sine, closeAt + 0.62f, 0.16f, 110.0f, 55.0f, 0.9f},
    };
    std::vector<float> samples;
    soundgen::RenderTones(tones, samples, 0x1215u);
    samples.resize(static_cast<size_t>((kOpeningSeconds + kClosingSeconds) * soundgen::kSampleRate), 0.0f);
    soundgen::Normalise(samples, 0.5f, 0.01f);
    return samples;
}

// The maker's intro: a hexagon mark grows out of the dark, its letter lights up, the
// wordmark fades in under it and a sweep of light crosses it; then everything dims for the
// fade-out the game adds on top.
int IntroFrames(const ClipSpec& s)
{
    return std::max(1, static_cast<int>(std::lround(s.fps * (s.seconds > 0 ? s.seconds : 4.0))));
}

void CentredText(cairo_t* cr, const char* text, double cx, double cy, double size)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    cairo_move_to(cr, cx - extents.width / 2 - extents.x_bearing, cy - extents.height / 2 - extents.y_bearing);
    cairo_text_path(cr, text);
}

void IntroFrame(cairo_t* cr, const ClipSpec& s, int frame)
{
    const double w = s.width, h = s.height;
    const double t = double(frame) / s.fps, length = double(IntroFrames(s)) / s.fps;
    const Rgb base = FromHex(s.colour);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    const double dim = 1.0 - Smooth((t - (length - 0.6)) / 0.6);
    // A glow behind the mark.
    const double glow = Smooth(t / 1.2) * dim;
    cairo_pattern_t* light = cairo_pattern_create_radial(w / 2, h * 0.4, 0, w / 2, h * 0.4, w * 0.5);
    cairo_pattern_add_color_stop_rgba(light, 0, base.r, base.g, base.b, 0.45 * glow);
    cairo_pattern_add_color_stop_rgba(light, 1, base.r, base.g, base.b, 0.0);
    cairo_set_source(cr, light);
    cairo_paint(cr);
    cairo_pattern_destroy(light);
    // The hexagon, growing with a little overshoot and a turn.
    const double grow = Smooth(t / 0.9);
    const double r = h * 0.2 * grow * (1.0 + 0.12 * std::sin(kPi * Smooth(t / 1.1)));
    const double turn = (1.0 - grow) * kPi / 2;
    if (r > 0.5) {
        cairo_new_path(cr);
        for (int i = 0; i < 6; ++i) {
            const double a = turn + kPi / 6 + i * kPi / 3;
            cairo_line_to(cr, w / 2 + r * std::cos(a), h * 0.4 + r * std::sin(a));
        }
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, base.r * dim, base.g * dim, base.b * dim, 1.0);
        cairo_fill_preserve(cr);
        const Rgb rim = Lighten(base, 0.7);
        cairo_set_source_rgba(cr, rim.r * dim, rim.g * dim, rim.b * dim, 1.0);
        cairo_set_line_width(cr, h * 0.015);
        cairo_stroke(cr);
    }
    // The letter, then the wordmark.
    const double letter = Smooth((t - 0.8) / 0.5) * dim;
    if (letter > 0) {
        CentredText(cr, "Q", w / 2, h * 0.4, h * 0.26);
        cairo_set_source_rgba(cr, 1.0, 0.95, 0.85, letter);
        cairo_fill(cr);
    }
    const double word = Smooth((t - 1.3) / 0.7) * dim;
    if (word > 0) {
        CentredText(cr, "QUARVEX", w / 2, h * 0.76, h * 0.13);
        cairo_set_source_rgba(cr, 0.92, 0.93, 1.0, word);
        cairo_fill(cr);
    }
    // A sweep of light across the word.
    const double sweep = (t - 2.0) / 0.8;
    if (sweep > 0 && sweep < 1) {
        const double x = -w * 0.2 + sweep * w * 1.4;
        cairo_pattern_t* band = cairo_pattern_create_linear(x - w * 0.08, 0, x + w * 0.08, 0);
        cairo_pattern_add_color_stop_rgba(band, 0, 1, 1, 1, 0);
        cairo_pattern_add_color_stop_rgba(band, 0.5, 1, 1, 1, 0.55 * dim);
        cairo_pattern_add_color_stop_rgba(band, 1, 1, 1, 1, 0);
        CentredText(cr, "QUARVEX", w / 2, h * 0.76, h * 0.13);
        cairo_set_source(cr, band);
        cairo_fill(cr);
        cairo_pattern_destroy(band);
    }
}

// A soft swell and a two-note chime as the mark lights up.
std::vector<float> IntroSound(const ClipSpec& s)
{
    using soundgen::Tone;
    using soundgen::Wave;
    const std::vector<Tone> tones = {
        {Wave::Noise, 0.0f, 0.9f, 300.0f, 1200.0f, 0.25f},
        {Wave::Sine, 0.8f, 1.2f, 660.0f, 660.0f, 0.6f},
        {Wave::Sine, 1.1f, 1.6f, 990.0f, 990.0f, 0.5f},
    };
    std::vector<float> samples;
    soundgen::RenderTones(tones, samples, 0x9a77u);
    samples.resize(static_cast<size_t>(double(IntroFrames(s)) / s.fps * soundgen::kSampleRate), 0.0f);
    soundgen::Normalise(samples, 0.5f, 0.01f);
    return samples;
}

int TimedFrames(const ClipSpec& s)
{
    return std::max(1, static_cast<int>(std::lround(s.fps * (s.seconds > 0 ? s.seconds : 1.0))));
}

// A test card that counts its seconds: the whole second now showing in large figures, a bar
// that fills over the clip and tenths as small figures, so that a picture of any frame tells
// the playing position.
void SecondsFrame(cairo_t* cr, const ClipSpec& s, int frame)
{
    const double w = s.width, h = s.height;
    const double t = double(frame) / s.fps, length = double(TimedFrames(s)) / s.fps;
    const Rgb base = FromHex(s.colour);
    cairo_pattern_t* back = cairo_pattern_create_linear(0, 0, 0, h);
    const Rgb top = Lighten(base, 0.15), bottom = Scale(base, 0.45);
    cairo_pattern_add_color_stop_rgb(back, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(back, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, back);
    cairo_paint(cr);
    cairo_pattern_destroy(back);
    // A sweep hand going round once a second behind the figures.
    const double a = 2 * kPi * (t - std::floor(t)) - kPi / 2;
    cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
    cairo_move_to(cr, w / 2, h * 0.45);
    cairo_arc(cr, w / 2, h * 0.45, h * 0.4, -kPi / 2, a);
    cairo_close_path(cr);
    cairo_fill(cr);
    char text[32];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(t));
    CentredText(cr, text, w / 2, h * 0.45, h * 0.5);
    cairo_set_source_rgb(cr, 1.0, 0.97, 0.88);
    cairo_fill(cr);
    std::snprintf(text, sizeof text, "%.1f s", t);
    CentredText(cr, text, w / 2, h * 0.8, h * 0.11);
    cairo_set_source_rgb(cr, 0.95, 0.71, 0.28);
    cairo_fill(cr);
    // The progress bar along the bottom edge.
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_rectangle(cr, 0, h * 0.92, w, h * 0.08);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.95, 0.71, 0.28);
    cairo_rectangle(cr, 0, h * 0.92, w * std::min(1.0, t / length), h * 0.08);
    cairo_fill(cr);
}

// A boss's cutscene: an evening sky over rolling hills, a round FlimbMaster bobbing on the
// crest while little flimbs hop past, and the seconds in a corner.
void CutsceneFrame(cairo_t* cr, const ClipSpec& s, int frame)
{
    const double w = s.width, h = s.height;
    const double t = double(frame) / s.fps, length = double(TimedFrames(s)) / s.fps;
    const Rgb base = FromHex(s.colour);
    const double dusk = Smooth(t / length);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h);
    const Rgb high = Scale(Lighten(base, 0.2), 1.0 - 0.5 * dusk), low = Lighten(base, 0.6);
    cairo_pattern_add_color_stop_rgb(sky, 0, high.r, high.g, high.b);
    cairo_pattern_add_color_stop_rgb(sky, 1, low.r, low.g, low.b);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);
    // The sun sinking behind the hills.
    cairo_set_source_rgb(cr, 1.0, 0.82, 0.4);
    cairo_arc(cr, w * 0.78, h * (0.2 + 0.5 * dusk), h * 0.12, 0, 2 * kPi);
    cairo_fill(cr);
    // Two layers of hills.
    for (int layer = 0; layer < 2; ++layer) {
        const double y0 = h * (layer == 0 ? 0.62 : 0.75);
        const Rgb hill = layer == 0 ? Rgb{0.22, 0.45, 0.25} : Rgb{0.14, 0.33, 0.17};
        cairo_move_to(cr, 0, h);
        for (int x = 0; x <= 32; ++x) {
            const double u = double(x) / 32;
            cairo_line_to(cr, u * w, y0 - h * 0.06 * std::sin(u * 2 * kPi * (layer + 1) + layer));
        }
        cairo_line_to(cr, w, h);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, hill.r, hill.g, hill.b);
        cairo_fill(cr);
    }
    // The FlimbMaster: a large round body with a crown, bobbing.
    const double bx = w * 0.4, by = h * (0.5 + 0.02 * std::sin(t * 3.0)), br = h * 0.15;
    cairo_arc(cr, bx, by, br, 0, 2 * kPi);
    cairo_set_source_rgb(cr, base.r, base.g, base.b);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.1, 0.06, 0.05);
    cairo_set_line_width(cr, h * 0.012);
    cairo_stroke(cr);
    for (int eye = -1; eye <= 1; eye += 2) {
        cairo_arc(cr, bx + eye * br * 0.35, by - br * 0.15, br * 0.16, 0, 2 * kPi);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill(cr);
        cairo_arc(cr, bx + eye * br * 0.35, by - br * 0.12, br * 0.07, 0, 2 * kPi);
        cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
        cairo_fill(cr);
    }
    cairo_move_to(cr, bx - br * 0.55, by - br * 0.8);
    for (int i = 0; i < 5; ++i)
        cairo_line_to(cr, bx - br * 0.55 + br * 0.275 * (i + 0.5), by - br * (i % 2 == 0 ? 1.35 : 0.95));
    cairo_line_to(cr, bx + br * 0.55, by - br * 0.8);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.95, 0.71, 0.28);
    cairo_fill(cr);
    // Small flimbs hopping along the front hill.
    for (int i = 0; i < 4; ++i) {
        const double u = std::fmod(t * 0.12 + i * 0.25, 1.0);
        const double fx = u * w, fy = h * 0.78 - std::fabs(std::sin((t * 4 + i) * 1.7)) * h * 0.05;
        cairo_arc(cr, fx, fy, h * 0.03, 0, 2 * kPi);
        cairo_set_source_rgb(cr, 0.53, 0.53, 1.0);
        cairo_fill(cr);
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02d", static_cast<int>(t));
    CentredText(cr, text, w * 0.92, h * 0.08, h * 0.08);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    cairo_fill(cr);
}

} // namespace

const ClipLook* FindLook(const std::string& name)
{
    static const std::map<std::string, ClipLook> looks = {
        {"iris", {IrisFrames, IrisFrame, IrisSound}},
        {"company-intro", {IntroFrames, IntroFrame, IntroSound}},
        {"seconds", {TimedFrames, SecondsFrame, nullptr}},
        {"cutscene", {TimedFrames, CutsceneFrame, nullptr}},
    };
    const auto it = looks.find(name);
    return it == looks.end() ? nullptr : &it->second;
}

} // namespace videogen
