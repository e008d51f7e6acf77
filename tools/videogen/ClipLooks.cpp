#include "tools/videogen/ClipLooks.h"

#include "tools/soundgen/Synth.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
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

} // namespace

const ClipLook* FindLook(const std::string& name)
{
    static const std::map<std::string, ClipLook> looks = {
        {"iris", {IrisFrames, IrisFrame, IrisSound}},
    };
    const auto it = looks.find(name);
    return it == looks.end() ? nullptr : &it->second;
}

} // namespace videogen
